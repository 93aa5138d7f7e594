#include "cashdesk/AdvanceDialogModel.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "cashdesk/AdvanceRecords.h"
#include "cashdesk/TopUpDialogModel.h"

namespace miradel {
namespace {

InfoKabin Call(std::string_view digits, int32_t duration, int32_t charge, int32_t tariff) {
    InfoKabin c;
    std::copy(digits.begin(), digits.end(), c.digits.begin());
    c.duration = duration;
    c.charge = charge;
    c.tariff = tariff;
    c.year = 2009;
    c.month = 3;
    c.day = 5;
    c.hour = 9;
    c.minute = 5;
    c.second = 7;
    return c;
}

BoothSnapshot IdleBooth() {
    BoothSnapshot b;
    b.state = 1;
    b.boothNumber = 3;
    b.panel = 2;
    b.kind = 1;
    return b;
}

BoothSnapshot TalkingBooth() {
    BoothSnapshot b = IdleBooth();
    b.state = 6;
    b.advanceTaken = 2000;
    b.advanceLeft = 1530;
    b.receiptNumber = 1234;
    b.digits = "8495";
    b.records = {Call("84951234567", 3725, 350, 250), Call("112", 65, 120, 110)};
    b.calls = 2;
    return b;
}

TEST(AdvanceDialog, AnIdleBoothOpensTheAdvanceView) {
    AdvanceDialogModel dialog;
    dialog.Open(IdleBooth());
    const AdvanceDialogView& v = dialog.View();
    EXPECT_EQ(v.view, AdvanceView::kAdvance);
    EXPECT_EQ(v.caption, " Кабина - 3");
    EXPECT_EQ(v.callsLine, "Переговоров - 0");
    EXPECT_EQ(v.moneyCaption, " Аванс: ");
    EXPECT_EQ(v.depositLine, "Внесенный аванс - 0.00");
    EXPECT_EQ(v.toPayLine, "К оплате - 0.00");
    EXPECT_EQ(v.dialledLine, "Набран номер - ");
    EXPECT_EQ(v.amountField, "0.00");
    EXPECT_TRUE(v.amountEnabled);
    EXPECT_TRUE(v.amountSelected);
    EXPECT_TRUE(v.depositEnabled);
    EXPECT_FALSE(v.settleEnabled || v.printEnabled || v.topUpEnabled || v.unclaimedEnabled);
    EXPECT_TRUE(v.rows.empty());
    EXPECT_EQ(v.helpTopic, 102);
    EXPECT_EQ(dialog.Panel(), 2);
}

TEST(AdvanceDialog, AnIdleBoothStillShowingABalanceOffersItSelected) {
    BoothSnapshot b = IdleBooth();
    b.advanceLeft = 1250;
    b.records = {Call("8312", 10, 5, 30)};
    AdvanceDialogModel dialog;
    dialog.Open(b);
    EXPECT_EQ(dialog.View().amountField, "12.50");
    EXPECT_TRUE(dialog.View().amountSelected);
    EXPECT_EQ(dialog.View().dialledLine, "Набран номер - 8312");
    dialog.TypeKey(kKeyEnter);
    EXPECT_EQ(dialog.Result(), 1250);
}

TEST(AdvanceDialog, ABoothWithAnAdvanceOpensTheSettlementView) {
    AdvanceDialogModel dialog;
    dialog.Open(TalkingBooth());
    const AdvanceDialogView& v = dialog.View();
    EXPECT_EQ(v.view, AdvanceView::kSettlement);
    EXPECT_EQ(v.callsLine, "Переговоров - 2");
    EXPECT_EQ(v.moneyCaption, "Остаток:");
    EXPECT_EQ(v.depositLine, "Внесенный аванс - 20.00");
    EXPECT_EQ(v.toPayLine, "К оплате - 4.70");
    EXPECT_EQ(v.dialledLine, "Набран номер - 8495");
    EXPECT_EQ(v.amountField, "15.30");
    EXPECT_FALSE(v.amountEnabled);
    EXPECT_FALSE(v.depositEnabled);
    EXPECT_TRUE(v.settleEnabled && v.printEnabled && v.topUpEnabled && v.unclaimedEnabled);
    EXPECT_EQ(v.helpTopic, 106);
    ASSERT_EQ(v.rows.size(), 2u);
    EXPECT_EQ(v.rows[0], (CallGridRow{"84951234567", "      62 : 05", "    3.50", "    2.50",
                                      "  09 : 05", "05/03/09"}));
    EXPECT_EQ(v.rows[1][1], "      01 : 05");
    EXPECT_EQ(kCallGridHeaders[0], "     Набранный номер");
    EXPECT_EQ(kCallGridHeaders[5], "   Дата");
}

TEST(AdvanceDialog, ABoothWhoseAdvanceIsUsedUpCannotBeToppedUp) {
    BoothSnapshot b = TalkingBooth();
    b.state = 10;
    AdvanceDialogModel dialog;
    dialog.Open(b);
    EXPECT_FALSE(dialog.View().topUpEnabled);
    EXPECT_FALSE(dialog.TopUp().has_value());
    EXPECT_TRUE(dialog.IsOpen());
    b.state = 6;
    dialog.Refresh(b);
    EXPECT_TRUE(dialog.View().topUpEnabled);
    b.state = 10;
    dialog.Refresh(b);
    EXPECT_FALSE(dialog.View().topUpEnabled);
}

TEST(AdvanceDialog, TheGridShowsAtMostThirtyCalls) {
    BoothSnapshot b = TalkingBooth();
    b.records.assign(35, Call("1", 1, 1, 1));
    b.calls = 35;
    AdvanceDialogModel dialog;
    dialog.Open(b);
    EXPECT_EQ(dialog.View().rows.size(), 30u);
}

TEST(AdvanceDialog, ButtonsGiveTheirResults) {
    struct Case {
        void (AdvanceDialogModel::*press)();
        int result;
    };
    for (const Case& c :
         std::vector<Case>{{&AdvanceDialogModel::Settle, kAdvanceSettle},
                           {&AdvanceDialogModel::SettleAndPrint, kAdvanceSettleAndPrint},
                           {&AdvanceDialogModel::Unclaimed, kAdvanceUnclaimed},
                           {&AdvanceDialogModel::Close, 0},
                           {&AdvanceDialogModel::CloseByBooth, 0}}) {
        AdvanceDialogModel dialog;
        dialog.Open(TalkingBooth());
        (dialog.*c.press)();
        EXPECT_FALSE(dialog.IsOpen());
        EXPECT_EQ(dialog.Result(), c.result);
    }
    EXPECT_EQ(kAdvanceSettle, -1);
    EXPECT_EQ(kAdvanceSettleAndPrint, -2);
    EXPECT_EQ(kAdvanceUnclaimed, -3);
}

TEST(AdvanceDialog, SettlementButtonsDoNothingInTheAdvanceView) {
    AdvanceDialogModel dialog;
    dialog.Open(IdleBooth());
    dialog.Settle();
    dialog.SettleAndPrint();
    dialog.Unclaimed();
    EXPECT_FALSE(dialog.TopUp().has_value());
    EXPECT_TRUE(dialog.IsOpen());
}

TEST(AdvanceDialog, TopUpClosesTheDialogAndNamesThePanel) {
    AdvanceDialogModel dialog;
    dialog.Open(TalkingBooth());
    EXPECT_EQ(dialog.TopUp(), 2);
    EXPECT_FALSE(dialog.IsOpen());
    EXPECT_EQ(dialog.Result(), 0);
}

TEST(AdvanceDialog, RefreshRedrawsTheSettlementAndLeavesUnclaimedAsItWas) {
    AdvanceDialogModel dialog;
    dialog.Open(IdleBooth());
    BoothSnapshot b = TalkingBooth();
    dialog.Refresh(b);
    EXPECT_EQ(dialog.View().view, AdvanceView::kSettlement);
    EXPECT_FALSE(dialog.View().unclaimedEnabled);
    EXPECT_EQ(dialog.View().dialledLine, "Набран номер - ");
    dialog.AppendDigit("8");
    dialog.AppendDigit("3");
    EXPECT_EQ(dialog.View().dialledLine, "Набран номер - 83");

    dialog.Open(TalkingBooth());
    b.records.push_back(Call("01", 1, 1, 1));
    b.calls = 3;
    dialog.Refresh(b);
    EXPECT_TRUE(dialog.View().unclaimedEnabled);
    EXPECT_EQ(dialog.View().callsLine, "Переговоров - 3");
    EXPECT_EQ(dialog.View().rows.size(), 3u);
}

struct KeyCase {
    std::string text;
    std::string key;
    bool accepted;
    std::string message;  // empty: refused silently (or accepted)
};

class AmountKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(AmountKeyTest, FollowsTheFieldsRules) {
    const KeyCase& c = GetParam();
    const KeyDecision d = CheckAmountKey(c.text, c.key);
    EXPECT_EQ(d.accepted, c.accepted) << c.text << " + " << c.key;
    if (c.message.empty()) {
        EXPECT_FALSE(d.message.has_value());
    } else {
        ASSERT_TRUE(d.message.has_value());
        EXPECT_EQ(d.message->text, c.message);
        EXPECT_EQ(d.message->caption, "Error Character");
        EXPECT_EQ(d.message->icon, PromptIcon::Error);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AmountKeyTest,
    ::testing::Values(KeyCase{"", "5", true, ""}, KeyCase{"12", ".", true, ""},
                      KeyCase{"12.5", "0", true, ""},
                      KeyCase{"12.50", "1", false, ""},  // no third decimal
                      KeyCase{"12.5", ".", false, ""},   // no second point
                      KeyCase{"0.00", "7", true, ""},    // the untouched field takes anything
                      KeyCase{"0.00", ".", true, ""}, KeyCase{"12.50", "\b", true, ""},
                      KeyCase{"12.50", "\r", true, ""},
                      KeyCase{"", "a", false, "Неверный символ- \"a\""},
                      KeyCase{"1", ",", false, "Неверный символ- \",\""},
                      KeyCase{"1", "ж", false, "Неверный символ- \"ж\""},
                      KeyCase{"1", "-", false, "Неверный символ- \"-\""},
                      KeyCase{"12.50", "x", false, "Неверный символ- \"x\""}));

int Typed(std::initializer_list<const char*> keys) {
    AdvanceDialogModel dialog;
    dialog.Open(IdleBooth());
    for (const char* key : keys) {
        dialog.TypeKey(key);
    }
    dialog.Deposit();
    return dialog.Result();
}

TEST(AdvanceDialog, TheTypedAmountBecomesHundredthsExactly) {
    EXPECT_EQ(Typed({"1", "2", ".", "5"}), 1250);
    EXPECT_EQ(Typed({"0", ".", "2", "9"}), 29);
    EXPECT_EQ(Typed({"5"}), 500);
    EXPECT_EQ(Typed({"5", "."}), 500);
    EXPECT_EQ(Typed({}), 0);      // "0.00" confirmed
    EXPECT_EQ(Typed({"\b"}), 0);  // emptied
    EXPECT_EQ(Typed({"1", ".", "2", "5", "7"}), 125);
    EXPECT_EQ(Typed({"1", ".", "2", ".", "5"}), 125);
    EXPECT_EQ(Typed({"1", "2", "3", "4", "5", "6", "7", "8"}), 123456700);  // 7 characters
    EXPECT_EQ(Typed({"4", "\b", "3"}), 300);
}

TEST(AdvanceDialog, EnterConfirmsTheAdvanceAndAForeignKeyChangesNothing) {
    AdvanceDialogModel dialog;
    dialog.Open(IdleBooth());
    dialog.TypeKey("7");
    const KeyDecision refused = dialog.TypeKey("q");
    EXPECT_TRUE(refused.message.has_value());
    EXPECT_EQ(dialog.View().amountField, "7");
    dialog.TypeKey(kKeyEnter);
    EXPECT_FALSE(dialog.IsOpen());
    EXPECT_EQ(dialog.Result(), 700);
    EXPECT_TRUE(dialog.View().amountEnabled);
}

TEST(AdvanceDialog, TheSettlementViewTakesNoTyping) {
    AdvanceDialogModel dialog;
    dialog.Open(TalkingBooth());
    EXPECT_FALSE(dialog.TypeKey("5").accepted);
    dialog.Deposit();
    EXPECT_TRUE(dialog.IsOpen());
    EXPECT_EQ(dialog.View().amountField, "15.30");
}

TEST(TopUpDialog, OnlyAPositiveAmountReachesTheBooth) {
    TopUpDialogModel topUp;
    topUp.Open(4, 12);
    EXPECT_EQ(topUp.View().caption, " Доплата");
    EXPECT_EQ(topUp.View().boothLine, "Кабина - 12");
    EXPECT_EQ(topUp.View().prompt, "Ввести доплату - ");
    EXPECT_EQ(topUp.View().amountField, "0.00");
    EXPECT_EQ(topUp.View().helpTopic, 105);
    EXPECT_EQ(topUp.Panel(), 4);
    EXPECT_EQ(topUp.Apply("5").amount, 500);
    EXPECT_FALSE(topUp.IsOpen());

    for (const char* text : {"0.00", "", "abc", "-3", "99999999999"}) {
        topUp.Open(4, 12);
        const TopUpOutcome outcome = topUp.Apply(text);
        EXPECT_FALSE(outcome.amount.has_value()) << text;
        ASSERT_TRUE(outcome.message.has_value());
        EXPECT_EQ(outcome.message->text, "Доплата не внесена!\nВведите правильно сумму доплаты!");
        EXPECT_EQ(outcome.message->caption, "Ошибка внесения доплаты");
        EXPECT_FALSE(topUp.IsOpen());
        EXPECT_EQ(topUp.View().amountField, "0.00");
    }
}

TEST(AdvanceRecords, TheLogFlagTellsHowTheTurnEnded) {
    struct Case {
        int result;
        int16_t calls;
        int32_t left;
        int32_t flag;
    };
    for (const Case& c : std::vector<Case>{
             {kAdvanceSettle, 0, 500, 0},
             {kAdvanceSettle, 2, 0, 3},
             {kAdvanceSettle, 2, 100, 1},
             {kAdvanceSettleAndPrint, 2, 100, 1},
             {kAdvanceUnclaimed, 2, 100, 2},
             {kAdvanceUnclaimed, 0, 100, 2},
             {kAdvanceUnclaimed, 2, 0, 3},
             {kAdvanceUnclaimed, 0, 0, 0},
         }) {
        BoothSnapshot b = TalkingBooth();
        b.calls = c.calls;
        b.advanceLeft = c.left;
        EXPECT_EQ(AdvanceLogFlag(c.result, b), c.flag)
            << c.result << " " << c.calls << " " << c.left;
    }
}

TEST(AdvanceRecords, OnlySettlementsAreLogged) {
    const LocalDateTime now{2009, 3, 5, 9, 5, 7};
    EXPECT_FALSE(MakeAdvanceLogRecord(500, TalkingBooth(), 7, now).has_value());
    EXPECT_FALSE(MakeAdvanceLogRecord(0, TalkingBooth(), 7, now).has_value());
    const auto record = MakeAdvanceLogRecord(kAdvanceSettle, TalkingBooth(), 7, now);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(*record, (AdvanceLogRecord{7, 1234, "20.00", 1, "05.03.2009", "09:05:07"}));
}

TEST(AdvanceRecords, TheUnclaimedRecordHoldsTheRest) {
    const LocalDateTime now{2009, 3, 5, 9, 5, 7};
    BoothSnapshot b = TalkingBooth();
    UnclaimedRecord expected{"05.03.2009", "09:05:07", "1234", "15.30", "20.00", 3, 7, 0};
    EXPECT_EQ(MakeUnclaimedRecord(b, 7, now), expected);
    b.advanceLeft = 0;
    EXPECT_EQ(MakeUnclaimedRecord(b, 7, now).rest, "0.00");
    EXPECT_EQ(AdvanceLogRetryQuestion().caption, "Критическая ошибка!");
    EXPECT_EQ(AdvanceLogRetryQuestion().buttons, PromptButtons::YesNo);
}

}  // namespace
}  // namespace miradel
