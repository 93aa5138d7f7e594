#include "booths/KabinaAvtomat.h"

#include <gtest/gtest.h>

#include <functional>

#include "booths/AvtomatRig.h"
#include "booths/BoothStates.h"

namespace miradel {
namespace {

using namespace appcfg;
using testing::AvtomatRig;
constexpr uint8_t kLine = AvtomatRig::kPanel;

// Switches on with the advance, lifts the handset, dials; metering starts on polarity reversal.
void StartCall(AvtomatRig& rig, int32_t advance, std::string_view number) {
    rig.Option(kAutoTariffStart, 1);
    rig.Event(kEventSwitchOn, advance);
    rig.Event(kEventHandsetUp);
    rig.Dial(number);
    if (rig.booth.State() == 11) {
        rig.Event(kEventPolarityReversal);
    }
}

struct CallCase {
    const char* name;
    std::function<void(AvtomatRig&)> setup;
    int32_t advance;
    const char* number;
    int talk;  // seconds before the handset goes down; -1: talk until the line is cut
    int32_t charge;
    int32_t duration;
    int16_t endState;
};

TEST(KabinaAvtomat, BillingCases) {
    const CallCase cases[] = {
        {"61 s at 1.50", nullptr, 1000, "84951234567", 61, 152, 61, 2},
        {"one-second correction", [](AvtomatRig& r) { r.Option(kOneSecondCorrection, true); }, 1000,
         "84951234567", 61, 150, 60, 2},
        {"local minimum of one minute", nullptr, 1000, "2345678", 20, 40, 60, 2},
        {"whistle at 30 s left, cut at 0", [](AvtomatRig& r) { r.tariffs.entries[0].price = 100; },
         100, "84951234567", -1, 100, 60, 10},
        {"free class: its price of 0, the local minimum", nullptr, 1000, "091", 30, 0, 60, 2},
        {"flat class with service without polarity",
         [](AvtomatRig& r) { r.Option(kServiceWithoutPolarity, true); }, 1000, "071", 200, 500, 200,
         2},
    };
    for (const CallCase& c : cases) {
        SCOPED_TRACE(c.name);
        AvtomatRig rig;
        if (c.setup)
            c.setup(rig);
        StartCall(rig, c.advance, c.number);
        ASSERT_EQ(rig.booth.State(), 6);
        if (c.talk >= 0) {
            rig.Ticks(c.talk);
            rig.Event(kEventHandsetDown);
        } else {
            for (int i = 0; i < 4000 && rig.booth.State() == 6; ++i)
                rig.Ticks(1);
        }
        EXPECT_EQ(rig.booth.State(), c.endState);
        const BoothSnapshot s = rig.booth.GetInfo();
        ASSERT_EQ(s.records.size(), 1u);
        EXPECT_EQ(s.records[0].charge, c.charge);
        EXPECT_EQ(s.records[0].duration, c.duration);
        EXPECT_EQ(s.advanceLeft, c.advance - c.charge);
        EXPECT_EQ(rig.calls.rows.size(), 1u);
    }
}

TEST(KabinaAvtomat, WhistleCaseTalksFiftyNineSecondsAndSwitchesTheLineOff) {
    AvtomatRig rig;
    rig.tariffs.entries[0].price = 100;
    StartCall(rig, 100, "84951234567");
    EXPECT_EQ(rig.booth.Remaining(), 60);
    int ticks = 0;
    while (rig.booth.State() == 6 && ticks < 100) {
        rig.Ticks(1);
        ++ticks;
    }
    EXPECT_EQ(ticks, 59);
    EXPECT_EQ(rig.Count({7, kLine}), 1);
    EXPECT_TRUE(rig.Sent({3, kLine, 0}));
    EXPECT_EQ(rig.booth.View().moneyLabel.text, "0.00");
    EXPECT_EQ(rig.t.kabin.Copy().Record(kLine).state, 10);
    EXPECT_EQ(rig.t.kabin.Copy().Record(kLine).advance, 0);
}

TEST(KabinaAvtomat, CallWithinTheGraceTimeIsFreeAndLeavesNoRecord) {
    AvtomatRig rig;
    rig.Option(kGraceTime, int16_t{5});
    StartCall(rig, 1000, "84951234567");
    rig.Ticks(5);
    rig.line.frames.clear();
    rig.Event(kEventHandsetDown);
    EXPECT_EQ(rig.booth.State(), 2);
    EXPECT_TRUE(rig.booth.GetInfo().records.empty());
    EXPECT_TRUE(rig.calls.rows.empty());
    EXPECT_TRUE(rig.Sent({3, kLine, 1}));
    EXPECT_EQ(rig.booth.AdvanceLeft(), 1000);
}

TEST(KabinaAvtomat, AdditionalChargeMovesElapsedAndRemainingAtItsSecond) {
    AvtomatRig rig;
    rig.tariffs.entries.insert(rig.tariffs.entries.begin(), {"5", {1, 10, 4}, 240});
    rig.Option(kExtraChargeOn, true);
    rig.Option(kExtraChargeGraceSeconds, 5);
    rig.Option(kExtraChargePrice, 24);
    StartCall(rig, 2400, "5123456789");
    ASSERT_EQ(rig.booth.State(), 6);
    EXPECT_EQ(rig.booth.Remaining(), 600);
    rig.Ticks(5);
    EXPECT_EQ(rig.booth.Elapsed(), 5);
    EXPECT_EQ(rig.booth.Remaining(), 595);
    rig.Ticks(1);  // jumps by 0.24 * 60 / 2.40 = 6 s, then meters the second
    EXPECT_EQ(rig.booth.Elapsed(), 5 + 6 + 1);
    EXPECT_EQ(rig.booth.Remaining(), 595 - 6 - 1);
}

TEST(KabinaAvtomat, FlatServiceNeverCountsDownAndIsChargedOneTariff) {
    AvtomatRig rig;
    rig.Option(kServiceWithoutPolarity, true);
    rig.Event(kEventSwitchOn, 1000);
    rig.Event(kEventHandsetUp);
    rig.Dial("071");  // priced at the analysis length: talk starts at once
    ASSERT_EQ(rig.booth.State(), 6);
    const int32_t remaining = rig.booth.Remaining();
    rig.Ticks(90);
    EXPECT_EQ(rig.booth.Remaining(), remaining);
}

TEST(KabinaAvtomat, DiallingErrors) {
    {
        SCOPED_TRACE("no prefix: the error comes only at the fifth digit");
        AvtomatRig rig;
        rig.Event(kEventSwitchOn, 1000);
        rig.Event(kEventHandsetUp);
        rig.Dial("6666");
        EXPECT_EQ(rig.booth.State(), 4);
        EXPECT_EQ(rig.booth.HandleEvent(kEventDigit, 6), kResultNoPrice);
        EXPECT_EQ(rig.booth.State(), 9);
        EXPECT_TRUE(rig.Sent({3, kLine, 0}));
    }
    {
        SCOPED_TRACE("too many digits: 7 + 2 allowed, the tenth resets");
        AvtomatRig rig;
        rig.Option(kErrorReaction, 1);
        rig.Event(kEventSwitchOn, 1000);
        rig.Event(kEventHandsetUp);
        rig.Dial("2345678");
        EXPECT_EQ(rig.booth.State(), 11);
        rig.Dial("99");
        EXPECT_EQ(rig.booth.State(), 11);
        rig.Dial("9");
        EXPECT_EQ(rig.booth.State(), 14);
        rig.line.frames.clear();
        rig.Ticks(3);  // the automatic reset
        EXPECT_EQ(rig.booth.State(), 2);
        EXPECT_EQ(rig.line.frames, (std::vector<std::vector<uint8_t>>{{4, kLine}, {3, kLine, 1}}));
    }
    {
        SCOPED_TRACE("advance below one minute");
        AvtomatRig rig;
        rig.Event(kEventSwitchOn, 100);
        rig.Event(kEventHandsetUp);
        rig.Dial("849");
        EXPECT_EQ(rig.booth.HandleEvent(kEventDigit, 5), kResultAdvanceTooSmall);
        EXPECT_EQ(rig.booth.State(), 9);
    }
    {
        SCOPED_TRACE("a digit during talk bills the call and resets");
        AvtomatRig rig;
        StartCall(rig, 1000, "84951234567");
        rig.Ticks(10);
        rig.Dial("5");
        EXPECT_EQ(rig.booth.State(), 14);
        EXPECT_EQ(rig.calls.rows.size(), 1u);
    }
}

TEST(KabinaAvtomat, StartDigitAfterTheStartDelay) {
    AvtomatRig rig;  // "Цифра" start, digit 3, delay 1 s
    rig.Event(kEventSwitchOn, 1000);
    rig.Event(kEventHandsetUp);
    rig.Dial("2345678");
    ASSERT_EQ(rig.booth.State(), 11);
    rig.Dial("3");  // too early: the start wait is 0
    EXPECT_EQ(rig.booth.State(), 11);
    rig.Ticks(1);
    rig.Dial("3");
    EXPECT_EQ(rig.booth.State(), 6);
    EXPECT_TRUE(rig.Sent({3, kLine, 2}));
}

TEST(KabinaAvtomat, ThirtyOneCallsAreRefused) {
    AvtomatRig rig;
    rig.Event(kEventSwitchOn, 100'000);
    for (int call = 0; call < 30; ++call) {
        StartCall(rig, 0, "84951234567");
        rig.Ticks(2);
        rig.Event(kEventHandsetDown);
        rig.Ticks(1);
    }
    ASSERT_EQ(rig.booth.GetInfo().calls, 30);
    rig.line.frames.clear();
    rig.Event(kEventHandsetUp);
    EXPECT_EQ(rig.booth.State(), 13);
    rig.Ticks(1);
    EXPECT_EQ(rig.booth.View().button.text, " > 30");
    EXPECT_TRUE(rig.Sent({3, kLine, 0}));
}

TEST(KabinaAvtomat, InductorCallsTheOperatorUnlessBlocked) {
    AvtomatRig rig;
    rig.Option(kInductorBlockSeconds, int16_t{3});
    rig.Event(kEventSwitchOn, 1000);
    rig.Event(kEventInductor);  // blocked right after the switch-on
    EXPECT_EQ(rig.booth.State(), 2);
    rig.Ticks(3);
    rig.Event(kEventInductor);
    EXPECT_EQ(rig.booth.State(), 8);
    EXPECT_TRUE(rig.Sent({8}));
    rig.Event(kEventHandsetUp);
    EXPECT_TRUE(rig.Sent({9}));
    EXPECT_EQ(rig.booth.State(), 3);
    rig.Event(kEventHandsetDown);
    rig.line.frames.clear();
    rig.Event(kEventInductor);  // within the block after the hang-up
    EXPECT_EQ(rig.booth.State(), 2);
    EXPECT_TRUE(rig.line.frames.empty());
}

TEST(KabinaAvtomat, IdleBoothShowsTheIdleStateAtOnceAndCountsItsTime) {
    AvtomatRig rig;
    rig.Option(kIdleControl, true);
    rig.Option(kIdleMaxSeconds, 5);
    rig.Event(kEventSwitchOn, 1000);
    rig.Ticks(5);
    EXPECT_EQ(rig.booth.State(), 32);
    EXPECT_EQ(rig.booth.View().button.text, "простой");
    EXPECT_EQ(PictureName(rig.booth.View().button.picture), "TLF_STOPPED");
    rig.Ticks(2);
    EXPECT_EQ(rig.booth.View().moneyLabel.text, "00 : 07");
    rig.Event(kEventHandsetUp);
    EXPECT_EQ(rig.booth.State(), 3);
}

TEST(KabinaAvtomat, MoneyFollowsTheTillAndKabinCfgThroughACallAndTheSettlement) {
    AvtomatRig rig;
    rig.t.config.Set(kNextBoothReceipt, 41);
    rig.t.kabin.Modify([](KabinData& d) { d.Record(kLine) = {1, 12, 1, 0}; });
    rig.Event(kEventSwitchOn, 2000);
    EXPECT_EQ(rig.Kassa(kKassaBoothAdvances), 2000);
    EXPECT_EQ(rig.Kassa(kKassaTotal), 2000);
    EXPECT_EQ(rig.t.kabin.Copy().Record(kLine), (BoothSlotRecord{2, 12, 1, 2000}));
    EXPECT_EQ(rig.t.config.Get(kNextBoothReceipt), 42);
    EXPECT_EQ(rig.booth.GetInfo().receiptNumber, 41);

    rig.tariffs.entries[0].price = 350;
    StartCall(rig, 0, "84951234567");
    rig.Ticks(60);
    rig.Event(kEventHandsetDown);
    EXPECT_EQ(rig.Kassa(kKassaBoothAdvances), 1650);
    EXPECT_EQ(rig.Kassa(kKassaBoothCalls), 350);
    EXPECT_EQ(rig.Kassa(kKassaTotal), 2000);
    EXPECT_EQ(rig.t.kabin.Copy().Record(kLine), (BoothSlotRecord{2, 12, 1, 1650}));

    rig.Event(kEventCloseWithReceipt);
    EXPECT_EQ(rig.booth.State(), 1);
    EXPECT_EQ(rig.Kassa(kKassaBoothAdvances), 0);
    EXPECT_EQ(rig.Kassa(kKassaTotal), 350);
    EXPECT_EQ(rig.t.kabin.Copy().Record(kLine), (BoothSlotRecord{1, 12, 1, 0}));
    ASSERT_EQ(rig.receipts.settlement.size(), 1u);
    EXPECT_EQ(rig.receipts.settlement[0].records.size(), 1u);
    EXPECT_EQ(rig.booth.View().moneyLabel.text, "0.00");
}

TEST(KabinaAvtomat, SettlementWithoutCallsPrintsNothingEvenWhenForced) {
    AvtomatRig rig;
    rig.Option(kPrintSettlement, true);
    rig.Event(kEventSwitchOn, 500);
    rig.Event(kEventCloseWithReceipt);
    EXPECT_TRUE(rig.receipts.settlement.empty());
    EXPECT_EQ(rig.Kassa(kKassaTotal), 0);
}

TEST(KabinaAvtomat, BilledCallCarriesWhatTheCallTableRecords) {
    AvtomatRig rig;
    rig.t.clock.Set({2009, 3, 5, 9, 5, 7, 42});
    rig.t.config.Set(kOperatorOnDuty, int16_t{3});
    rig.t.config.Set(kNextBoothReceipt, 17);
    StartCall(rig, 1000, "84951234567");
    rig.Ticks(61);
    rig.Event(kEventHandsetDown);
    ASSERT_EQ(rig.calls.rows.size(), 1u);
    const BilledCall& billed = rig.calls.rows[0];
    EXPECT_EQ(billed.receiptNumber, 17);
    EXPECT_EQ(billed.operatorNo, 3);
    EXPECT_EQ(billed.advanceTaken, 1000);
    EXPECT_EQ(billed.advanceLeft, 848);
    EXPECT_EQ(billed.call.boothNumber, 12);
    EXPECT_EQ(billed.call.Digits(), "84951234567");
    EXPECT_EQ(billed.call.duration, 61);
    EXPECT_EQ(billed.call.tariff, 150);
    EXPECT_EQ(billed.call.charge, 152);
    // Stamped when the talk started.
    EXPECT_EQ(billed.call.year, 2009);
    EXPECT_EQ(billed.call.month, 3);
    EXPECT_EQ(billed.call.day, 5);
    EXPECT_EQ(billed.call.hour, 9);
    EXPECT_EQ(billed.call.minute, 5);
    EXPECT_EQ(billed.call.second, 7);
}

TEST(KabinaAvtomat, CallTheTableRefusesStaysBilledKeptAndCounted) {
    AvtomatRig rig;
    rig.calls.refuse = true;
    StartCall(rig, 1000, "84951234567");
    rig.Ticks(61);
    rig.Event(kEventHandsetDown);
    EXPECT_EQ(rig.calls.attempts, 1);
    EXPECT_EQ(rig.booth.GetInfo().records.size(), 1u);
    EXPECT_EQ(rig.Kassa(kKassaBoothCalls), 152);
    EXPECT_EQ(rig.booth.AdvanceLeft(), 848);
}

TEST(KabinaAvtomat, LcdAndLampPostsFollowTheOptions) {
    AvtomatRig rig;
    rig.Event(kEventSwitchOn, 500);
    EXPECT_TRUE(rig.terminal.lcd.empty());
    EXPECT_TRUE(rig.terminal.lamps.empty());
    AvtomatRig lit;
    lit.Option(kLcdTerminals, true);
    lit.Option(kLightingControl, true);
    lit.Event(kEventSwitchOn, 500);
    EXPECT_EQ(lit.terminal.lcd.back(), std::make_tuple(2, int(kLine), 500));
    EXPECT_EQ(lit.terminal.lamps, (std::vector<std::pair<int, int>>{{29, kLine}}));
    lit.Event(kEventClose);
    EXPECT_EQ(lit.terminal.lcd.back(), std::make_tuple(1, int(kLine), 0));
    EXPECT_EQ(lit.terminal.lamps.back(), std::make_pair(28, int(kLine)));
}

}  // namespace
}  // namespace miradel
