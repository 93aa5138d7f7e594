#include "printing/raw/LineComposer.h"

#include <gtest/gtest.h>

#include "printing/raw/PrinterText.h"

namespace miradel {
namespace {

struct ComposeCase {
    std::string text;
    std::vector<ValueAt> values;
    std::string expected;
};

class ComposeLineTest : public ::testing::TestWithParam<ComposeCase> {};

TEST_P(ComposeLineTest, WritesValuesOverTheTextFromTheirColumns) {
    const ComposeCase& c = GetParam();
    EXPECT_EQ(ComposeLine(c.text, c.values), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ComposeLineTest,
    ::testing::Values(
        // the characters after the value stay
        ComposeCase{"Кабина №      ...", {{12, "7"}}, "Кабина №    7 ..."},
        // a text shorter than the column is filled with blanks up to it
        ComposeCase{"Дата:", {{9, "09.12.2026"}}, "Дата:    09.12.2026"},
        // the line is as long as the end of the value when the value reaches further
        ComposeCase{"Сумма:  ______", {{8, "1234.50 руб."}}, "Сумма:  1234.50 руб."},
        // a value from column 0 over a longer text
        ComposeCase{"xxxxxxxx", {{0, "ab"}}, "abxxxxxx"},
        // two values in order; the second may overwrite the first
        ComposeCase{"Квитанция №", {{11, "1234"}, {18, "7"}}, "Квитанция №1234   7"},
        ComposeCase{"", {{3, "12345"}, {5, "Я"}}, "   12Я45"},
        // no values: the text as it is; an empty value pads nothing beyond the column
        ComposeCase{"Спасибо!", {}, "Спасибо!"}, ComposeCase{"ab", {{4, ""}}, "ab  "}));

TEST(ComposeLine, CountsCharactersNotBytes) {
    // Ten Cyrillic letters are twenty bytes of UTF-8 but ten printer columns.
    const std::string line = ComposeLine("АБВГДЕЖЗИК", {{10, "1"}});
    EXPECT_EQ(line, "АБВГДЕЖЗИК1");
    EXPECT_EQ(EncodeForPrinter(line, PrinterEncoding::kCp1251).size(), 11u);
}

TEST(ComposeLine, AStrayByteIsOneColumn) {
    const std::string text = std::string("a\xff") + "b";
    EXPECT_EQ(EncodeForPrinter(ComposeLine(text, {{2, "Z"}}), PrinterEncoding::kCp1251), "a?Z");
}

TEST(LayoutLine, TwoColumnsRepeatTheLineAfterTheDistance) {
    ReceiptLayout layout;
    EXPECT_EQ(LayoutLine("Итого", layout), "Итого");
    layout.twoColumns = true;
    layout.distance = 5;
    EXPECT_EQ(LayoutLine("Итого", layout), "Итого     Итого");
    layout.distance = -3;
    EXPECT_EQ(LayoutLine("ab", layout), "abab");
    layout.distance = 1'000'000'000;  // a damaged app.cfg cannot flood the printer
    EXPECT_EQ(LayoutLine("ab", layout).size(), 4u + kMaxColumnDistance);
}

TEST(LayoutLine, FeedLinesFollowTheSetting) {
    for (const auto& [feed, expected] :
         std::vector<std::pair<int, std::size_t>>{{0, 0}, {3, 3}, {-2, 0}, {99999, 255}}) {
        ReceiptLayout layout;
        layout.feedLines = feed;
        std::vector<std::string> lines;
        AppendFeedLines(lines, layout);
        EXPECT_EQ(lines.size(), expected) << feed;
        for (const std::string& l : lines) {
            EXPECT_EQ(l, "\r\n");
        }
    }
}

TEST(ReceiptLayout, ComesFromAppCfg) {
    AppConfigData config;
    config.Set(appcfg::kReceiptColumns, 1);
    config.Set(appcfg::kColumnDistance, 4);
    config.Set(appcfg::kFeedLines, 3);
    config.Set(appcfg::kLaserPrinter, true);
    const ReceiptLayout layout = ReceiptLayout::From(config);
    EXPECT_TRUE(layout.twoColumns);
    EXPECT_EQ(layout.distance, 4);
    EXPECT_EQ(layout.feedLines, 3);
    EXPECT_TRUE(layout.laserPrinter);
    config.Set(appcfg::kReceiptColumns, 0);
    EXPECT_FALSE(ReceiptLayout::From(config).twoColumns);
}

TEST(EncodeForPrinter, WindowsCyrillicOrDosCyrillic) {
    EXPECT_EQ(EncodeForPrinter("Итого №5", PrinterEncoding::kCp1251),
              "\xC8\xF2\xEE\xE3\xEE \xB9"
              "5");
    EXPECT_EQ(EncodeForPrinter("Итого №5", PrinterEncoding::kCp866),
              "\x88\xE2\xAE\xA3\xAE \xFC"
              "5");
    // The euro sign exists only in Windows-1251; a character neither has is one '?'.
    EXPECT_EQ(EncodeForPrinter("€1", PrinterEncoding::kCp1251),
              "\x88"
              "1");
    EXPECT_EQ(EncodeForPrinter("€1", PrinterEncoding::kCp866), "?1");
    EXPECT_EQ(EncodeForPrinter("a\xE2\x82", PrinterEncoding::kCp866), "a??");
}

}  // namespace
}  // namespace miradel
