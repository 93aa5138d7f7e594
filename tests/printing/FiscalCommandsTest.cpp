#include "printing/FiscalCommands.h"

#include <gtest/gtest.h>

#include <functional>

#include "printing/FiscalDocuments.h"

namespace miradel {
namespace {

struct Shape {
    int command;
    int receipt;
    int argument = 0;
    int feedAndCut = 0;
    friend bool operator==(const Shape&, const Shape&) = default;
};

std::ostream& operator<<(std::ostream& out, const Shape& s) {
    return out << "{" << s.command << ", " << s.receipt << ", " << s.argument << ", "
               << s.feedAndCut << "}";
}

struct CommandCase {
    const char* name;
    int device;
    bool timeSync;
    std::function<void(FiscalCommands&)> run;
    std::vector<Shape> records;
};

class FiscalCommandsTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(FiscalCommandsTest, QueuesItsDocument) {
    const CommandCase& c = GetParam();
    AppConfig config{AppConfigData::Defaults()};
    config.Set(appcfg::kReceiptDevice, c.device);
    config.Set(appcfg::kNextBoothReceipt, 77);
    config.Set(appcfg::kFeedLines, 3);
    config.Set(appcfg::kFeedAndCut, true);
    config.Set(appcfg::kZReportTimeSync, c.timeSync);
    RecordingProgramStatus status;
    RecordingOperatorLog log;
    PrintQueue queue({status, log, {}});
    FiscalFlags flags;
    FiscalCommands commands(config, queue, flags);
    c.run(commands);
    std::vector<Shape> records;
    while (auto r = queue.ReportAndTake(0)) {
        records.push_back({r->command, r->receiptNumber, r->argument, r->feedAndCut});
    }
    EXPECT_EQ(records, c.records);
}

// Ends of document carry "Протяжка" (3) and "Вкл. прогон и отрез".
INSTANTIATE_TEST_SUITE_P(
    Menu, FiscalCommandsTest,
    ::testing::Values(
        CommandCase{"XReport", 2, false, [](auto& f) { f.XReport(); }, {{13, 77}, {8, 77, 3, 1}}},
        CommandCase{"ZReport", 2, false, [](auto& f) { f.ZReport(); }, {{14, 77}, {8, 77, 3, 1}}},
        CommandCase{"ZReportWithClock",
                    2,
                    true,
                    [](auto& f) { f.ZReport(); },
                    {{14, 77}, {8, 77, 3, 1}, {17, 77}, {8, 77, 3, 1}}},
        CommandCase{
            "Copy", 2, false, [](auto& f) { f.CopyLastCheck(4); }, {{18, 77, 4}, {8, 0, 3, 1}}},
        CommandCase{"Drawer", 2, false, [](auto& f) { f.OpenDrawer(); }, {{16, 0}}},
        CommandCase{"Registration",
                    2,
                    false,
                    [](auto& f) { f.RegisterOperator(5); },
                    {{12, 77, 5}, {8, 0, 3, 1}}},
        CommandCase{"NoRegistrationOn130", 1, false, [](auto& f) { f.RegisterOperator(5); }, {}},
        CommandCase{"CancelQueuesNothing", 2, false, [](auto& f) { f.CancelTransaction(); }, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ZReportCommandTest, AsksFirstAndQueuesOnlyOnYes) {
    AppConfig config{AppConfigData::Defaults()};
    config.Set(appcfg::kZReportTimeSync, false);
    RecordingProgramStatus status;
    RecordingOperatorLog log;
    PrintQueue queue({status, log, {}});
    FiscalFlags flags;
    FiscalCommands commands(config, queue, flags);
    ScriptedPrompt prompt;
    prompt.Queue(PromptAnswer::No);
    prompt.Queue(PromptAnswer::Yes);

    EXPECT_FALSE(commands.ZReportCommand(prompt));
    EXPECT_TRUE(queue.Empty());
    EXPECT_TRUE(commands.ZReportCommand(prompt));
    EXPECT_EQ(queue.Size(), 2u);
    const PromptRequest asked = prompt.Asked().at(0);
    EXPECT_EQ(asked.text,
              "Вы уверены  что хотите получить Z-отчет?\nБудут сброшены все внутренние "
              "счетчики ККМ!");
    EXPECT_EQ(asked.caption, "Z-отчет");
    EXPECT_EQ(asked.buttons, PromptButtons::YesNo);
    EXPECT_EQ(asked.icon, PromptIcon::Question);
}

TEST(FiscalMenuTest, ShownOnlyWithA114WorkerRunning) {
    AppConfig config{AppConfigData::Defaults()};
    FiscalFlags flags;
    for (int device : {0, 1, 2}) {
        config.Set(appcfg::kReceiptDevice, device);
        flags.workerRunning = false;
        EXPECT_FALSE(FiscalMenuVisible(config, flags));
        flags.workerRunning = true;
        EXPECT_EQ(FiscalMenuVisible(config, flags), device == 2);
    }
}

TEST(SettlementDocumentsTest, DurationIsMinutesDotSeconds) {
    EXPECT_FLOAT_EQ(MinutesDotSeconds(125), 2.05f);
    EXPECT_FLOAT_EQ(MinutesDotSeconds(185), 3.05f);
    EXPECT_FLOAT_EQ(MinutesDotSeconds(59), 0.59f);
    EXPECT_FLOAT_EQ(MinutesDotSeconds(600), 10.0f);
}

TEST(SettlementDocumentsTest, The114CheckOpensListsAndCloses) {
    SettlementCheck check;
    check.receiptCounter = 77;
    check.receiptNumber = 41;
    check.boothNumber = 3;
    check.calls = {{"8495", 1200, 185, 3700}};
    check.advance = 5000;
    check.workplace = 2;
    std::vector<DataCheck> records;
    SettlementCheck114(check).ForEach([&](const DataCheck& r) { records.push_back(r); });
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].command, kCheckOpenFiscal);
    EXPECT_EQ(records[1].text, "41 8495  3:05 12.00");
    EXPECT_FLOAT_EQ(records[1].price, 37.0f);
    EXPECT_FLOAT_EQ(records[1].quantity, 1.0f);
    EXPECT_FLOAT_EQ(records[1].amount, 2.0f);
    EXPECT_EQ(records[1].argument, 3);
    EXPECT_EQ(records[2].command, kCheckClose);
    EXPECT_FLOAT_EQ(records[2].amount, 50.0f);
    EXPECT_EQ(records[3].command, kCheckEndOfDocument);
    EXPECT_EQ(records[3].receiptNumber, 77);
}

}  // namespace
}  // namespace miradel
