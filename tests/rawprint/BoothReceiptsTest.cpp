#include "printing/raw/BoothReceipts.h"

#include <gtest/gtest.h>

#include "common/AtomicFile.h"
#include "common/Cp1251.h"
#include "printing/raw/RawPrintJob.h"
#include "printing/raw/SpoolFolderBackend.h"
#include "rawprint/ReceiptTextsFixture.h"

namespace miradel {
namespace {

const LocalDateTime kPrinted{2026, 12, 9, 10, 5, 7};

std::string FileBytes(const std::filesystem::path& path) {
    const auto bytes = ReadWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<missing>");
}

// What the printer must receive for these lines: Windows-1251, each line ended by 10 13 0.
std::string Wire(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += Utf8ToCp1251(line);
        out.append("\n\r\0", 3);
    }
    return out;
}

class BoothReceipts : public testing::ReceiptTextsFixture {};

TEST_F(BoothReceipts, SettlementReceiptReachesTheSpoolFolderByteForByte) {
    SettlementReceipt receipt;
    receipt.receiptNumber = 1234;
    receipt.operatorNumber = 7;
    receipt.printedAt = kPrinted;
    receipt.boothNumber = 3;
    receipt.calls = {{"84951234567", 3725, 350}, {"112", 65, 120}};
    receipt.advanceTaken = 2000;
    receipt.advanceLeft = 1530;
    ReceiptLayout layout;
    layout.feedLines = 2;
    layout.laserPrinter = true;

    RawJob job;
    job.lines = ComposeSettlementReceipt(texts, receipt, layout);
    job.settings.formFeed = layout.laserPrinter;
    SpoolFolderBackend spool(dir / "spool");
    const PrintOutcome outcome = RunPrintJob(spool, job);
    ASSERT_TRUE(outcome.ok) << outcome.error;

    const std::string expected = Wire({
                                     "==========",
                                     "ООО Связь",
                                     "г. Энск",
                                     "Квитанция №1234   7",
                                     "----------",
                                     "Дата:    09.12.2026",
                                     "Время:   10:05:07",
                                     "- - -",
                                     "Кабина №    3",
                                     "Разговор  1.",
                                     "N84951234567",
                                     "Длительность: 1:02:05",
                                     "Стоимость:    3.50",
                                     "- - -",
                                     "Разговор  2.",
                                     "N112",
                                     "Длительность: 0:01:05",
                                     "Стоимость:    1.20",
                                     "- - -",
                                     "Аванс:       20.00",
                                     "Оплачено:    4.70",
                                     "Сдача:       15.30",
                                     "Спасибо!",
                                     "\r\n",
                                     "\r\n",
                                 }) +
                                 std::string("\f\0", 2);
    EXPECT_EQ(FileBytes(spool.JobFile(1)), expected);
}

TEST_F(BoothReceipts, AdvanceReceiptOrderDependsOnTheBoothKind) {
    AdvanceReceipt receipt{1234, 7, kPrinted, 3, 1500};
    ReceiptLayout layout;
    layout.feedLines = 1;
    EXPECT_EQ(ComposeAdvanceReceipt(texts, receipt, AdvanceReceiptKind::kAutomatic, layout),
              (std::vector<std::string>{
                  "********",
                  "Переговорный",
                  "АВАНС",
                  "Дата:    09.12.2026",
                  "Квитанция:  1234",
                  "Время:   10:05:07",
                  "Оператор:   7",
                  "Кабина:     3",
                  "Внесено:     15.00",
                  "********",
                  "\r\n",
              }));
    EXPECT_EQ(ComposeAdvanceReceipt(texts, receipt, AdvanceReceiptKind::kFaxOrUniversal, layout),
              (std::vector<std::string>{
                  "********",
                  "АВАНС",
                  "Квитанция:  1234",
                  "Дата:    09.12.2026",
                  "Время:   10:05:07",
                  "Оператор:   7",
                  "Кабина:     3",
                  "Внесено:     15.00",
                  "********",
                  "\r\n",
              }));
}

TEST_F(BoothReceipts, TwoColumnsRepeatEveryTemplateLineButNotTheFeed) {
    AdvanceReceipt receipt{5, 1, kPrinted, 2, 50};
    ReceiptLayout layout;
    layout.twoColumns = true;
    layout.distance = 4;
    layout.feedLines = 3;
    const std::vector<std::string> lines =
        ComposeAdvanceReceipt(texts, receipt, AdvanceReceiptKind::kFaxOrUniversal, layout);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], "********    ********");
    EXPECT_EQ(lines[7], "Внесено:     0.50    Внесено:     0.50");
    for (std::size_t i = 9; i < 12; ++i) {
        EXPECT_EQ(lines[i], "\r\n");
    }
}

TEST_F(BoothReceipts, ASettlementWithoutFeedEndsWithTheLastText) {
    SettlementReceipt receipt;
    receipt.printedAt = kPrinted;
    const std::vector<std::string> lines = ComposeSettlementReceipt(texts, receipt, {});
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Спасибо!");
}

TEST(ReceiptValues, Forms) {
    EXPECT_EQ(ReceiptDurationText(3725), "1:02:05");
    EXPECT_EQ(ReceiptDurationText(59), "0:00:59");
    EXPECT_EQ(ReceiptDurationText(36000), "10:00:00");
    EXPECT_EQ(ReceiptDurationText(-4), "0:00:00");
    EXPECT_EQ(ReceiptDateText({2026, 12, 9}), "09.12.2026");
    EXPECT_EQ(ReceiptTimeText({2009, 3, 5, 9, 5, 7}), "09:05:07");
    EXPECT_EQ(ReceiptMoneyText(5), "0.05");
    EXPECT_EQ(ReceiptMoneyText(123456), "1234.56");
}

}  // namespace
}  // namespace miradel
