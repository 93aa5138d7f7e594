// The Меркурий 130Ф worker against its emulator, in virtual time.

#include "printing/ThreadPrintCheck.h"

#include <gtest/gtest.h>

#include "FiscalTestEnv.h"
#include "printing/FiscalDocuments.h"

namespace miradel {
namespace {

using testing::Count;
using testing::FiscalTestEnv;
using testing::InOrder;

SettlementCheck TwoCalls() {
    SettlementCheck check;
    check.receiptCounter = 77;
    check.receiptNumber = 41;
    check.boothNumber = 3;
    check.text17 = "ПЕРЕГОВОРНЫЙ ПУНКТ";
    check.text25 = "КВИТАНЦИЯ ОБ ОПЛАТЕ";
    check.calls = {{"84951234567", 1200, 185, 3700}, {"89031112233", 950, 60, 950}};
    check.advance = 10000;
    check.feedLines = 3;
    check.feedAndCut = true;
    return check;
}

class PrintCheckTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(env.Start().started); }
    FiscalTestEnv env{kMercury130};
};

TEST_F(PrintCheckTest, SettlementWithTwoCallsIsSixRecordsOnTheTape) {
    CheckQueue check = SettlementCheck130(TwoCalls());
    std::vector<int> commands;
    check.ForEach([&](const DataCheck& r) { commands.push_back(r.command); });
    EXPECT_EQ(commands, (std::vector<int>{0, 0, 1, 1, 2, 8}));

    env.Push(std::move(check));
    env.Drain();
    const std::string tape = env.TapeText();
    EXPECT_TRUE(InOrder(tape, {"ПЕРЕГОВОРНЫЙ ПУНКТ", "КВИТАНЦИЯ ОБ ОПЛАТЕ", "84951234567",
                               "3.05 x 12.00", "=37.00", "СЕКЦИЯ 3", "89031112233", "=9.50", "ИТОГ",
                               "=46.50", "НАЛИЧНЫМИ", "=100.00", "СДАЧА", "=53.50", "✂"}))
        << tape;
    EXPECT_TRUE(env.queue.Empty());
    ASSERT_EQ(env.Flags(), (std::vector<int>{0}));
    EXPECT_EQ(env.Rows()[0].desr, "НОРМА");
    EXPECT_EQ(env.Rows()[0].ticket, 41);
    EXPECT_FALSE(env.Rows()[0].exflag.has_value());
}

TEST_F(PrintCheckTest, CyrillicReachesTheRegisterInTheDosPage) {
    FiscalDocument document;
    document.Text(1, "Привет, Ёё").End(1, 0, false);
    env.Push(document.Take());
    env.Drain();
    // Read back as CP866: the letters are right, and Ё, ё (sent unchanged) print as the
    // register's own characters for 0xA8 and 0xB8.
    EXPECT_NE(env.TapeText().find("Привет, и╕"), std::string::npos) << env.TapeText();
}

TEST_F(PrintCheckTest, FailureOnTheFourthLineResendsTheDocumentOnceTheRegisterAnswers) {
    env.Control("fail any 4 1 0 0\n");  // from the fourth call on, until removed
    env.Push(SettlementCheck130(TwoCalls()));
    env.Run(20000);
    const std::string whileDown = env.TapeText();
    EXPECT_EQ(Count(whileDown, "84951234567"), 1u);
    EXPECT_EQ(Count(whileDown, "89031112233"), 0u);
    EXPECT_EQ(env.status.LastText(), "Ошибка ККМ - 1");
    EXPECT_EQ(env.Flags(), (std::vector<int>{1}));  // one row for the failure, not per retry

    env.Control("");
    env.Drain();
    const std::string tape = env.TapeText();
    const std::string again = tape.substr(tape.find("ЧЕК АННУЛИРОВАН"));
    EXPECT_TRUE(InOrder(again, {"ПЕРЕГОВОРНЫЙ ПУНКТ", "КВИТАНЦИЯ ОБ ОПЛАТЕ", "84951234567",
                                "89031112233", "ИТОГ", "=46.50"}))
        << tape;
    EXPECT_EQ(Count(tape, "89031112233"), 1u);
    EXPECT_EQ(Count(tape, "ИТОГ"), 1u);
    EXPECT_EQ(env.status.LastText(), "Состояние программы - Норма");
    EXPECT_EQ(env.Flags(), (std::vector<int>{1, 0}));
    EXPECT_TRUE(env.queue.Empty());
}

// The register refuses a later line of the replay: the replay starts again from the first
// record, so the check that is finally printed still holds every line.
TEST_F(PrintCheckTest, ReplayThatFailsAgainStartsFromTheFirstRecord) {
    env.Control("fail sale 2 1 0 1\nfail text 4 2 0 1\n");
    env.Push(SettlementCheck130(TwoCalls()));
    env.Drain();
    const std::string tape = env.TapeText();
    const std::string last = tape.substr(tape.rfind("ЧЕК АННУЛИРОВАН"));
    EXPECT_TRUE(InOrder(
        last, {"ПЕРЕГОВОРНЫЙ ПУНКТ", "КВИТАНЦИЯ ОБ ОПЛАТЕ", "84951234567", "89031112233", "ИТОГ"}))
        << tape;
    EXPECT_EQ(Count(tape, "ИТОГ"), 1u);
    EXPECT_EQ(env.Flags(), (std::vector<int>{1, 2, 0}));
}

class FailedCloseTest : public ::testing::TestWithParam<int> {};

TEST_P(FailedCloseTest, IsLoggedWithCodeTenWhateverTheDriverSaid) {
    FiscalTestEnv env(kMercury130);
    ASSERT_TRUE(env.Start().started);
    env.Control("fail close 1 " + std::to_string(GetParam()) + " 0 1\n");
    env.Push(SettlementCheck130(TwoCalls()));
    env.Drain();
    ASSERT_EQ(env.Flags(), (std::vector<int>{10, 0}));
    EXPECT_EQ(env.Rows()[0].desr, "Ошибка закр. чека");
    EXPECT_EQ(env.StatusTexts().front(), "Ошибка ККМ - 10");
    EXPECT_EQ(Count(env.TapeText(), "ИТОГ"), 1u);
}

INSTANTIATE_TEST_SUITE_P(DriverCodes, FailedCloseTest, ::testing::Values(1, 3, 77));

TEST_F(PrintCheckTest, DrawerCommandIsDiscarded) {
    env.commands.OpenDrawer();
    FiscalDocument document;
    document.Text(5, "ПОСЛЕ ЯЩИКА").End(5, 0, false);
    env.Push(document.Take());
    env.Drain();
    EXPECT_TRUE(env.queue.Empty());
    EXPECT_EQ(testing::ReadLines(env.Tape()), (std::vector<std::string>{"ПОСЛЕ ЯЩИКА"}));
    EXPECT_TRUE(env.Rows().empty());
    EXPECT_TRUE(env.StatusTexts().empty());
}

TEST_F(PrintCheckTest, NoProtocolRowsWithTheProtocolOff) {
    env.flags.protocolOn = false;
    env.Control("fail close 1 2 0 1\n");
    env.Push(SettlementCheck130(TwoCalls()));
    env.Drain();
    EXPECT_EQ(Count(env.TapeText(), "ИТОГ"), 1u);
    EXPECT_TRUE(env.Rows().empty());
}

TEST_F(PrintCheckTest, StopClosesTheConnection) {
    EXPECT_TRUE(env.pipeline.M130ConnectionOpen());
    env.pipeline.Stop();
    env.Run(100);
    EXPECT_TRUE(env.pipeline.Stopped());
    EXPECT_FALSE(env.pipeline.M130ConnectionOpen());
    EXPECT_NE(env.State().find("closed=1"), std::string::npos);
}

TEST_F(PrintCheckTest, StopDuringReplayGivesTheWholeDocumentBack) {
    env.Control("fail any 4 1 0 0\n");
    env.Push(SettlementCheck130(TwoCalls()));
    env.Run(5000);
    env.pipeline.RequestStop();
    env.Run(100);
    ASSERT_TRUE(env.pipeline.Stopped());
    std::vector<int> commands;
    while (auto record = env.queue.ReportAndTake(0)) {
        commands.push_back(record->command);
    }
    EXPECT_EQ(commands, (std::vector<int>{0, 0, 1, 1, 2, 8}));
}

}  // namespace
}  // namespace miradel
