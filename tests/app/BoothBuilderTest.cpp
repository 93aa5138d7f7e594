#include "app/BoothBuilder.h"

#include <gtest/gtest.h>

#include "booths/BoothEvents.h"
#include "support/BoothTestEnv.h"

namespace miradel {
namespace {

// Stands in for an advance-holding kind: records the events it gets and what the till held
// when the switch-on came, and adds the advance back as a real booth's switch-on does.
class RecordingBooth final : public Kabina {
  public:
    RecordingBooth(BoothKind kind, int panel, int16_t number, BoothEnvironment& env)
        : Kabina(panel, number, env) {
        SetUpAsKind(kind);
    }
    int16_t HandleEvent(uint32_t event, int32_t argument) override {
        events.push_back({event, argument});
        if (event == kEventSwitchOn) {
            tillAtSwitchOn = Env().kassa.Copy().Get(kKassaBoothAdvances);
            advance = argument;
            SetState(2);
            if (Kind() != kKindVinos) {
                Env().kassa.Modify([&](KassaData& k) {
                    k.Add(kKassaBoothAdvances, argument);
                    k.Add(kKassaTotal, argument);
                });
            }
        }
        return 0;
    }
    BoothSnapshot GetInfo() override {
        BoothSnapshot s;
        s.state = State();
        s.boothNumber = BoothNumber();
        s.panel = Panel();
        s.kind = Kind();
        s.advanceLeft = advance;
        return s;
    }

    std::vector<std::pair<uint32_t, int32_t>> events;
    int32_t tillAtSwitchOn = -1;
    int32_t advance = 0;
};

BoothFactory RecordingFactory() {
    BoothFactory f;
    for (BoothKind kind :
         {kKindAvtomat, kKindZakaz, kKindVinos, kKindFax, kKindAround, kKindUniver}) {
        f.Register(kind, [kind](int panel, int16_t number, BoothEnvironment& env) {
            return std::make_unique<RecordingBooth>(kind, panel, number, env);
        });
    }
    return f;
}

RecordingBooth& Recorded(BuiltBooths& b, int panel) {
    return dynamic_cast<RecordingBooth&>(*b.booths[panel]);
}

TEST(BuildBooths, WithoutKabinCfgEveryPositionIsAnAutomaticBoothNumberedOneToSixteen) {
    testing::BoothTestEnv t;
    BuiltBooths b = BuildBooths(false, BoothFactory{}, t.env);
    for (int i = 0; i < kBoothCount; ++i) {
        EXPECT_EQ(b.booths[i]->Kind(), kKindAvtomat);
        EXPECT_EQ(b.booths[i]->BoothNumber(), i + 1);
        EXPECT_FALSE(b.restored[i]);
        // The image describes them, so the first flush does not write disabled positions.
        EXPECT_EQ(t.kabin.Copy().Record(i), (BoothSlotRecord{1, int16_t(i + 1), 1, 0}));
    }
    EXPECT_EQ(b.restoredTotal, 0);
    EXPECT_FALSE(t.kabin.Dirty());
}

TEST(BuildBooths, HeldAdvancesResumeAndTheTillIsAdjustedByKind) {
    testing::BoothTestEnv t;
    t.kassa.Modify([](KassaData& k) {
        k.Set(kKassaBoothAdvances, 1700);
        k.Set(kKassaTotal, 2700);
    });
    KabinData d;
    d.Record(0) = {2, 11, kKindAvtomat, 500};
    d.Record(1) = {2, 12, kKindVinos, 500};
    d.Record(2) = {1, 13, kKindAvtomat, 900};  // switched off: nothing to restore
    d.Record(3) = {10, 14, kKindFax, 700};     // advance used up still resumes
    d.Record(4) = {2, 15, kKindZakaz, 300};    // an order booth holds no advance
    d.Record(5) = {2, 16, 9, 100};             // unknown kind: disabled
    d.Record(6) = {0, 17, kKindUniver, 200};   // state 0: nothing to restore
    t.kabin.Load(d);

    BuiltBooths b = BuildBooths(true, RecordingFactory(), t.env);

    EXPECT_EQ(Recorded(b, 0).events, (std::vector<std::pair<uint32_t, int32_t>>{{1, 500}}));
    EXPECT_EQ(Recorded(b, 0).tillAtSwitchOn, 1200);  // taken off before the switch-on
    EXPECT_EQ(Recorded(b, 1).events, (std::vector<std::pair<uint32_t, int32_t>>{{1, 500}}));
    EXPECT_TRUE(Recorded(b, 2).events.empty());
    EXPECT_EQ(Recorded(b, 3).events, (std::vector<std::pair<uint32_t, int32_t>>{{1, 700}}));
    EXPECT_TRUE(Recorded(b, 4).events.empty());
    EXPECT_EQ(b.booths[5]->Kind(), kKindNone);
    EXPECT_FALSE(b.booths[5]->View().button.visible);
    EXPECT_TRUE(Recorded(b, 6).events.empty());

    EXPECT_EQ(b.restored, (std::array<bool, 16>{true, true, false, true}));
    EXPECT_EQ(b.restoredTotal, 500 + 500 + 700);
    // Kinds 1 and 4 took their advances off and put them back; the remote line never touched it.
    EXPECT_EQ(t.kassa.Copy().Get(kKassaBoothAdvances), 1700);
    EXPECT_EQ(t.kassa.Copy().Get(kKassaTotal), 2700);
    EXPECT_TRUE(t.kassa.Dirty());
    EXPECT_EQ(b.booths[0]->BoothNumber(), 11);
}

TEST(BuildBooths, RebuildWritesEachBoothsSnapshotAndZerosForDisabledPositions) {
    testing::BoothTestEnv t;
    KabinData d;
    d.Record(0) = {2, 11, kKindAvtomat, 500};
    d.Record(1) = {1, 12, 42, 0};
    t.kabin.Load(d);
    BuiltBooths b = BuildBooths(true, RecordingFactory(), t.env);
    b.booths[0] = std::make_unique<RecordingBooth>(kKindFax, 0, 21, t.env);
    RebuildKabinImage(b.booths, t.kabin);
    EXPECT_TRUE(t.kabin.Dirty());
    EXPECT_EQ(t.kabin.Copy().Record(0), (BoothSlotRecord{1, 21, kKindFax, 0}));
    EXPECT_EQ(t.kabin.Copy().Record(1), BoothSlotRecord{});
}

}  // namespace
}  // namespace miradel
