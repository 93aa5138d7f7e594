// The Меркурий 114.1Ф worker against its emulator, in virtual time.

#include "printing/M114F.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "FiscalTestEnv.h"
#include "printing/FiscalDocuments.h"

namespace miradel {
namespace {

using testing::Count;
using testing::FiscalTestEnv;
using testing::InOrder;

SettlementCheck TwoCalls(int32_t receipt = 41) {
    SettlementCheck check;
    check.receiptCounter = 77;
    check.receiptNumber = receipt;
    check.boothNumber = 3;
    check.calls = {{"84951234567", 1200, 185, 3700}, {"89031112233", 950, 60, 950}};
    check.advance = 10000;
    check.workplace = 2;
    check.feedLines = 3;
    check.feedAndCut = true;
    return check;
}

CheckQueue NonFiscal(const std::vector<std::string>& lines, int32_t receipt = 9) {
    FiscalDocument document;
    document.Command(kCheckOpenNonFiscal, receipt, 0, lines.front());
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        document.Text(receipt, lines[i]);
    }
    document.Command(kCheckCloseNonFiscal, receipt, 0, lines.back());
    document.End(receipt, 0, false);
    return document.Take();
}

class M114FTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(env.Start().started); }
    std::vector<PromptRequest> Questions() const { return env.prompt.Asked(); }
    FiscalTestEnv env{kMercury114};
};

TEST_F(M114FTest, SaleCheckHasHeaderItemsTotalsAndRegistrationNumber) {
    env.Push(SettlementCheck114(TwoCalls()));
    env.Drain();
    const std::string tape = env.TapeText();
    EXPECT_TRUE(InOrder(tape, {"ПЕРЕГОВОРНЫЙ ПУНКТ",
                               "МИРАДЕЛЬ",
                               "ДОБРО ПОЖАЛОВАТЬ",
                               "ЗН ККМ 00114001",
                               "ДОК ",
                               "ИНН ",
                               "ЧЕК 0001",
                               "КАССИР",
                               "41 84951234567  3:05 12.00",
                               "1 x 37.00",
                               "СЕКЦИЯ 3 РМ 2",
                               "41 89031112233  1:00 9.50",
                               "ИТОГ",
                               "=46.50",
                               "НАЛИЧНЫМИ",
                               "=100.00",
                               "СДАЧА",
                               "=53.50",
                               "РН ККМ",
                               "✂"}))
        << tape;
    // The document number sits at column 31 of the serial number's line.
    const auto line = tape.substr(tape.find("ЗН ККМ"),
                                  tape.find('\n', tape.find("ЗН ККМ")) - tape.find("ЗН ККМ"));
    EXPECT_EQ(line.find("ДОК"), std::string("ЗН ККМ 00114001").size() + 16)
        << "column 31 in characters";
    EXPECT_EQ(env.Flags(), (std::vector<int>{0}));
    EXPECT_EQ(env.Rows()[0].ticket, 77);
    EXPECT_EQ(env.Rows()[0].exflag, 0);
}

TEST_F(M114FTest, OtherModelsPrintNoRegistrationNumberAndDoNotCutWithoutCutter) {
    env.Control("model 4\ncutter 0\n");
    env.Push(SettlementCheck114(TwoCalls()));
    env.Drain();
    const std::string tape = env.TapeText();
    EXPECT_NE(tape.find("ИТОГ"), std::string::npos);
    EXPECT_EQ(tape.find("РН ККМ"), std::string::npos);
    EXPECT_EQ(tape.substr(tape.rfind("✂")), "✂\n");  // no feed lines after the document
}

TEST_F(M114FTest, CancelRequestWithoutErrorDropsTheNextRecord) {
    env.Push(NonFiscal({"ПЕРВАЯ", "ВТОРАЯ", "ПОСЛЕДНЯЯ"}));
    env.commands.CancelTransaction();
    env.Drain();
    EXPECT_FALSE(env.flags.cancelRequested);
    const std::string tape = env.TapeText();
    EXPECT_EQ(tape.find("ПЕРВАЯ"), std::string::npos);
    EXPECT_TRUE(InOrder(tape, {"ВТОРАЯ", "ПОСЛЕДНЯЯ"})) << tape;
}

TEST_F(M114FTest, CancelRequestAfterAnErrorClearsItAndDropsTheNextRecord) {
    env.Control("fail x_report 1 3 5 1\n");
    env.commands.XReport();
    env.Run(100);
    EXPECT_EQ(env.status.LastText(), "Ошибка ККМ - 3");
    env.commands.CancelTransaction();
    env.Drain();
    EXPECT_EQ(env.Flags(), (std::vector<int>{3}));  // the end of document was dropped
    EXPECT_EQ(env.Rows()[0].desr, "ККМ не отвечает");
    EXPECT_EQ(env.Rows()[0].exflag, 5);
    EXPECT_EQ(env.status.LastText(), "Состояние программы - Норма");
}

TEST_F(M114FTest, CopyWithAnEmptyBufferShowsTheMessage) {
    env.commands.CopyLastCheck(4);
    env.Drain();
    ASSERT_EQ(Questions().size(), 1u);
    EXPECT_EQ(Questions()[0].text, "В буфере нет данных чека!");
    EXPECT_EQ(Questions()[0].caption, "Копия чека");
    EXPECT_EQ(Questions()[0].icon, PromptIcon::Warning);
    EXPECT_EQ(env.TapeText().find("КОПИЯ"), std::string::npos);
}

TEST_F(M114FTest, CopyPrintsTheLastCheck) {
    env.Push(SettlementCheck114(TwoCalls()));
    env.commands.CopyLastCheck(4);
    env.Drain();
    EXPECT_TRUE(Questions().empty());
    const std::string tape = env.TapeText();
    EXPECT_EQ(Count(tape, "89031112233"), 2u);
    EXPECT_TRUE(InOrder(tape, {"ИТОГ", "КОПИЯ ЧЕКА", "89031112233", "ИТОГ"}));
}

TEST_F(M114FTest, RetriedOperationPrintsOnce) {
    env.Control("fail close_fiscal_doc 1 18 3 1\n");
    env.prompt.Queue(PromptAnswer::Ok);
    env.Push(SettlementCheck114(TwoCalls()));
    env.Drain();
    ASSERT_EQ(Questions().size(), 1u);
    EXPECT_EQ(Questions()[0].text, "Ошибка печати ККМ!\nПовторить или отменить?");
    EXPECT_EQ(Questions()[0].caption, "Ошибка ККМ!");
    EXPECT_EQ(Questions()[0].buttons, PromptButtons::OkCancel);
    EXPECT_EQ(Questions()[0].icon, PromptIcon::Error);
    EXPECT_EQ(Count(env.TapeText(), "ИТОГ"), 1u);
    EXPECT_EQ(env.Flags(), (std::vector<int>{0}));
    EXPECT_TRUE(env.StatusTexts().empty());
}

TEST_F(M114FTest, CancelledOperationCancelsTheCheckAndTheWorkerGoesOn) {
    env.Control("fail close_fiscal_doc 1 18 3 1\n");
    env.Push(SettlementCheck114(TwoCalls(41)));
    env.Push(SettlementCheck114(TwoCalls(42)));
    env.Drain();
    const std::string tape = env.TapeText();
    EXPECT_TRUE(InOrder(tape, {"АННУЛИРОВАН", "42 84951234567", "ИТОГ"})) << tape;
    EXPECT_EQ(Count(tape, "ИТОГ"), 1u);
    EXPECT_EQ(env.Flags(), (std::vector<int>{18, 0, 0}));
    EXPECT_EQ(env.Rows()[0].desr, "Ошибка ККМ");
    EXPECT_EQ(env.Rows()[0].exflag, 3);
    EXPECT_EQ(env.StatusTexts().front(), "Ошибка ККМ - 18");
    EXPECT_EQ(env.status.LastText(), "Состояние программы - Норма");
    EXPECT_GE(env.operatorLog.Entries().size(), 1u);
}

TEST_F(M114FTest, PaperOutIsAskedAboutUntilTheOperatorCancels) {
    env.Control("paper out\n");
    env.prompt.Queue(PromptAnswer::Ok);
    env.prompt.Queue(PromptAnswer::Ok);
    env.Push(NonFiscal({"ОТЧЕТ", "СТРОКА", "КОНЕЦ"}));
    env.Run(200);
    EXPECT_EQ(Questions().size(), 3u);
    EXPECT_EQ(env.status.LastText(), "Ошибка ККМ - 18");
    env.Control("");
    env.Drain();
    EXPECT_TRUE(InOrder(env.TapeText(), {"СТРОКА", "КОНЕЦ"}));
}

// A closing non-fiscal line that fails must not leave the document marked open: the next
// failing check is still cancelled, and the one after it prints.
TEST_F(M114FTest, EndOfDocumentEndsANonFiscalDocumentWhoseLastLineFailed) {
    env.Control("fail print_non_fiscal 3 18 0 1\nfail add_item 1 18 0 1\n");
    env.Push(NonFiscal({"ОТЧЕТ", "СТРОКА", "КОНЕЦ"}));
    env.Push(SettlementCheck114(TwoCalls(41)));
    env.Push(SettlementCheck114(TwoCalls(42)));
    env.Drain();
    const std::string tape = env.TapeText();
    EXPECT_TRUE(InOrder(tape, {"СТРОКА", "АННУЛИРОВАН", "42 84951234567", "ИТОГ"})) << tape;
    EXPECT_EQ(Count(tape, "ИТОГ"), 1u);
    for (int flag : env.Flags()) {
        EXPECT_NE(flag, 9) << "a check was left open";
    }
}

TEST_F(M114FTest, DayStatusRowsFollowRegistrationsAndTheZReport) {
    env.config.Set(appcfg::kZReportTimeSync, false);
    env.commands.RegisterOperator(5);
    env.Drain();
    env.commands.RegisterOperator(6);
    env.Drain();
    env.commands.ZReport();
    env.Drain();
    env.commands.RegisterOperator(6);  // the login after the Z report
    env.Drain();
    EXPECT_EQ(env.Flags(), (std::vector<int>{100, 0, 102, 100, 0, 101, 0, 100, 0}));
    const std::vector<FiscalProtocolRow> rows = env.Rows();
    EXPECT_EQ(rows[2].desr, "Статус-открыта смена");
    EXPECT_EQ(rows[5].desr, "Закрыта смена ККМ");
    EXPECT_EQ(rows[7].desr, "Открыта смена ККМ");
    EXPECT_TRUE(InOrder(env.TapeText(), {"ОТКРЫТИЕ СМЕНЫ 1", "КАССИР 5", "Z-ОТЧЕТ 1",
                                         "ОТКРЫТИЕ СМЕНЫ 2", "КАССИР 6"}));
}

TEST_F(M114FTest, ReportsDrawerAndClock) {
    env.config.Set(appcfg::kZReportTimeSync, true);
    env.Push(SettlementCheck114(TwoCalls()));
    env.commands.XReport();
    env.commands.OpenDrawer();
    env.commands.ZReport();
    env.Drain();
    EXPECT_TRUE(InOrder(env.TapeText(), {"ИТОГ", "X-ОТЧЕТ", "ЧЕКОВ", "1", "=46.50", "Z-ОТЧЕТ 1"}));
    const std::string state = env.State();
    EXPECT_NE(state.find("drawer_pulses=1"), std::string::npos);
    EXPECT_NE(state.find("clock_offset=-"), std::string::npos) << "set back to 2009";
    EXPECT_TRUE(env.StatusTexts().empty());
}

TEST_F(M114FTest, OperationTheDriverDoesNotSupportIsAnErrorWithoutAQuestion) {
    env.Control("unsupported x_report\n");
    env.commands.XReport();
    env.Drain();
    EXPECT_TRUE(Questions().empty());
    ASSERT_FALSE(env.Rows().empty());
    EXPECT_EQ(env.Rows()[0].flag, 11);
    EXPECT_EQ(env.Rows()[0].desr, "Операция не поддер.");
    EXPECT_EQ(env.StatusTexts().front(), "Ошибка ККМ - 11");
}

TEST_F(M114FTest, RegisterThatStopsAnsweringMidDocumentShowsTheErrorAndPrintsTheNextOnce) {
    env.Push(NonFiscal({"ОТЧЕТ", "СТРОКА 1", "СТРОКА 2", "КОНЕЦ"}));
    env.Run(70);  // the first two lines
    env.Control("offline\n");
    env.Run(10000);
    const std::vector<std::string> shown = env.StatusTexts();
    EXPECT_NE(std::find(shown.begin(), shown.end(), "Ошибка ККМ - 3"), shown.end());
    EXPECT_FALSE(Questions().empty()) << "the operator was asked about retrying";
    env.Control("");
    env.Push(NonFiscal({"ДАЛЕЕ", "КОНЕЦ ДАЛЕЕ"}));
    env.Drain();
    const std::string tape = env.TapeText();
    EXPECT_EQ(Count(tape, "СТРОКА 1"), 1u);
    EXPECT_EQ(Count(tape, "ДАЛЕЕ"), 2u);  // "ДАЛЕЕ" and "КОНЕЦ ДАЛЕЕ", once each
    EXPECT_EQ(env.status.LastText(), "Состояние программы - Норма");
}

TEST_F(M114FTest, StopGivesBackARecordTakenButNotSent) {
    env.Push(NonFiscal({"ОТЧЕТ", "КОНЕЦ"}));
    env.Run(5);  // the first record is taken; its command is 10 ms away
    env.pipeline.RequestStop();
    env.Run(100);
    ASSERT_TRUE(env.pipeline.Stopped());
    EXPECT_EQ(env.queue.Size(), 3u);
    EXPECT_EQ(env.TapeText(), "");
}

}  // namespace
}  // namespace miradel
