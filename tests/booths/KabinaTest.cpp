#include "booths/Kabina.h"

#include <gtest/gtest.h>

#include "booths/BoothEvents.h"
#include "booths/BoothFactory.h"
#include "booths/BoothStates.h"
#include "support/BoothTestEnv.h"

namespace miradel {
namespace {

// Opens the base's protected drawing and slot operations to the tests.
class TestBooth final : public Kabina {
  public:
    TestBooth(BoothKind kind, int panel, int16_t number, BoothEnvironment& env)
        : Kabina(panel, number, env) {
        SetUpAsKind(kind);
    }
    void Enter(int16_t state) {
        SetState(state);
        RequestRedraw();
    }
    using Kabina::DrawStateNow;
    using Kabina::RedrawIfRequested;
    using Kabina::RepaintNow;
    using Kabina::SetState;
    using Kabina::WriteSlot;
    using Kabina::WriteSlotState;
};

TEST(Kabina, PositionWithoutBoothShowsNothingAndIgnoresEveryEvent) {
    testing::BoothTestEnv t;
    Kabina none(7, 33, t.env);
    for (uint32_t event = 0; event <= 12; ++event) {
        EXPECT_EQ(none.HandleEvent(event, 100), 0);
    }
    none.AddAdvance(500);
    const BoothView& v = none.View();
    EXPECT_FALSE(v.button.visible || v.nameLabel.visible || v.moneyLabel.visible);
    BoothSnapshot expected;
    expected.panel = 7;
    EXPECT_EQ(none.GetInfo(), expected);
    EXPECT_FALSE(t.kabin.Dirty());
}

TEST(Kabina, FreshBoothOfEachKindShowsItsNameSwitchedOffStateAndStartingMoneyText) {
    struct Case {
        BoothKind kind;
        const char* name;
        Colour colour;
        Colour background;
        const char* money;
        const char* hint;
    } cases[] = {
        {kKindAvtomat, "Автомат 12", Colour::Black, Colour::Default, "0.00", ""},
        {kKindZakaz, "  Заказ 12", Colour::Green, Colour::Default, "00 : 00",
         "Кабина для обслуживания заказных переговоров"},
        {kKindVinos, " Вынос  12", Colour::Default, Colour::MenuBackground, "0.00", ""},
        {kKindFax, "   Факс 12", Colour::Blue, Colour::Default, "0.00", ""},
        {kKindAround, " Обзвон 12", Colour::Red, Colour::Default, "",
         "Кабина обзвона - оповещение должников"},
        {kKindUniver, "Универ. 12", Colour::Navy, Colour::Default, "0.00", ""},
    };
    testing::BoothTestEnv t;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KabinaInert booth(c.kind, 3, 12, t.env);
        const BoothView& v = booth.View();
        EXPECT_EQ(booth.State(), 1);
        EXPECT_EQ(v.nameLabel.text, c.name);
        EXPECT_EQ(v.nameLabel.textColour, c.colour);
        EXPECT_EQ(v.nameLabel.background, c.background);
        EXPECT_EQ(v.button.text, "выключен");
        EXPECT_EQ(PictureName(v.button.picture), "TLF_EMPTY");
        EXPECT_EQ(v.button.hint, c.hint);
        EXPECT_EQ(v.moneyLabel.text, c.money);
        EXPECT_EQ(v.moneyLabel.background, Colour::MenuBackground);
        EXPECT_TRUE(v.button.visible && v.nameLabel.visible && v.moneyLabel.visible);
        EXPECT_EQ(booth.GetInfo().kind, c.kind);
        EXPECT_EQ(booth.HandleEvent(kEventSwitchOn, 500), 0);
        EXPECT_EQ(booth.State(), 1);
    }
}

TEST(Kabina, StatesThatShareACaptionCanDifferInPicture) {
    struct Case {
        int state;
        const char* caption;
        const char* picture;
    } cases[] = {{1, "выключен", "TLF_EMPTY"},   {12, "выключен", "TLF_ISH"},
                 {13, " > 30", "TLF_15"},        {32, "простой", "TLF_STOPPED"},
                 {10, "аванс=0", "TLF_NOAVANS"}, {8, "звонят!", "TLF_RING"}};
    for (const Case& c : cases) {
        EXPECT_EQ(StateCaption(c.state), c.caption);
        EXPECT_EQ(PictureName(StatePicture(c.state)), c.picture);
    }
    EXPECT_EQ(StatePicture(33), -1);
    EXPECT_EQ(StateCaption(-1), "");
    EXPECT_EQ(PictureName(9), "TLF_LAST30");
}

TEST(Kabina, RedrawHappensOnTheNextTickAndOnlyWhenMarked) {
    testing::BoothTestEnv t;
    TestBooth booth(kKindAvtomat, 0, 1, t.env);
    const uint64_t before = booth.ViewVersion();
    booth.RedrawIfRequested();  // nothing marked
    EXPECT_EQ(booth.ViewVersion(), before);

    booth.Enter(32);
    EXPECT_EQ(booth.View().button.text, "выключен");  // not yet
    booth.RedrawIfRequested();
    EXPECT_EQ(booth.View().button.text, "простой");
    EXPECT_EQ(PictureName(booth.View().button.picture), "TLF_STOPPED");
    EXPECT_TRUE(booth.View().button.visible);
    EXPECT_FALSE(booth.RedrawPending());
}

TEST(Kabina, PictureThatCannotBeSetLeavesTheButtonHiddenAndTriesAgain) {
    testing::BoothTestEnv t;
    TestBooth booth(kKindAvtomat, 0, 1, t.env);
    t.pictures.usable = false;
    booth.Enter(6);
    booth.RedrawIfRequested();
    EXPECT_FALSE(booth.View().button.visible);
    EXPECT_EQ(booth.View().button.picture, -1);
    EXPECT_TRUE(booth.RedrawPending());
    EXPECT_EQ(t.pictures.reloaded, std::vector<int>{kPictureRazg});
    ASSERT_EQ(t.log.Entries().size(), 1u);
    EXPECT_EQ(t.log.Entries()[0].event, 35);

    t.pictures.usable = true;
    booth.RedrawIfRequested();
    EXPECT_TRUE(booth.View().button.visible);
    EXPECT_EQ(booth.View().button.picture, kPictureRazg);
    EXPECT_FALSE(booth.RedrawPending());

    // Drawing at once uses the same recovery; repainting at once has none.
    t.pictures.usable = false;
    booth.SetState(32);
    booth.DrawStateNow();
    EXPECT_TRUE(booth.RedrawPending());
    booth.SetState(2);
    booth.RepaintNow();
    EXPECT_TRUE(booth.View().button.visible);
    EXPECT_EQ(booth.View().button.text, "включен");
}

TEST(Kabina, BoothWritesOnlyItsOwnKabinRecordAndRaisesTheFlag) {
    testing::BoothTestEnv t;
    KabinData d;
    d.Record(4) = {1, 5, kKindAvtomat, 0};
    d.Record(5) = {1, 6, kKindAvtomat, 0};
    t.kabin.Load(d);
    TestBooth booth(kKindAvtomat, 4, 5, t.env);
    booth.WriteSlot(2, 1500);
    EXPECT_TRUE(t.kabin.Dirty());
    EXPECT_EQ(t.kabin.Copy().Record(4), (BoothSlotRecord{2, 5, kKindAvtomat, 1500}));
    booth.WriteSlotState(10);
    EXPECT_EQ(t.kabin.Copy().Record(4), (BoothSlotRecord{10, 5, kKindAvtomat, 1500}));
    EXPECT_EQ(t.kabin.Copy().Record(5), (BoothSlotRecord{1, 6, kKindAvtomat, 0}));
}

TEST(BoothFactory, UnknownKindsGiveADisabledPosition) {
    testing::BoothTestEnv t;
    BoothFactory factory;
    for (int kind : {-1, 0, 7, 1000}) {
        auto booth = factory.Create(kind, 2, 3, t.env);
        EXPECT_EQ(booth->Kind(), kKindNone);
        EXPECT_FALSE(booth->View().button.visible);
    }
    EXPECT_EQ(factory.Create(kKindFax, 2, 3, t.env)->Kind(), kKindFax);
}

}  // namespace
}  // namespace miradel
