#include "app/config/FixedLineFile.h"

#include <gtest/gtest.h>

#include "common/AtomicFile.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

void Write(const std::filesystem::path& path, const std::string& text) {
    ASSERT_EQ(WriteFileAtomically(path, std::vector<uint8_t>(text.begin(), text.end())), "");
}

std::string Lines(int count, const std::string& prefix) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += prefix + std::to_string(i) + "\r\n";
    return text;
}

TEST(FixedLines, LineEndsGoCp1251IsDecodedLastLineMayLackItsEnd) {
    testing::TempDir dir;
    Write(dir / "t.cfg", "first\r\n\xCA\xE0\xF1\xF1\xE0\n\nlast");
    const FixedLines r = LoadFixedLines(dir / "t.cfg", 4, "Error open t.cfg");
    ASSERT_FALSE(r.error);
    EXPECT_EQ(r.lines, (std::vector<std::string>{"first", "Касса", "", "last"}));
}

TEST(FixedLines, OverlongLineIsCutWithoutShiftingTheNextLines) {
    testing::TempDir dir;
    Write(dir / "t.cfg", std::string(126, 'a') + "\n" + std::string(300, 'b') + "\nthird\n");
    const FixedLines r = LoadFixedLines(dir / "t.cfg", 3, "Error open t.cfg");
    ASSERT_FALSE(r.error);
    EXPECT_EQ(r.lines[0], std::string(126, 'a'));
    EXPECT_EQ(r.lines[1], std::string(126, 'b'));
    EXPECT_EQ(r.lines[2], "third");
    EXPECT_EQ(r.warnings.size(), 1u);
}

TEST(FixedLines, MissingFileOrTooFewLinesGiveTheWindowsErrorText) {
    testing::TempDir dir;
    EXPECT_EQ(LoadFixedLines(dir / "incass.cfg", 26, "Error open incass.cfg").error->text,
              "Error open incass.cfg");
    Write(dir / "incass.cfg", Lines(25, "x"));
    const FixedLines r = LoadFixedLines(dir / "incass.cfg", 26, "Error open incass.cfg");
    ASSERT_TRUE(r.error);
    EXPECT_EQ(r.error->text, "Error open incass.cfg");
    EXPECT_NE(r.error->detail.find("25"), std::string::npos);
}

TEST(ReceiptTexts, TicketThenAvansMakeTheTwentySixTexts) {
    testing::TempDir dir;
    ReceiptTexts texts;
    EXPECT_EQ(ReceiptTexts::Load(dir.path(), texts)->text, "Error open ticket.cfg");
    Write(dir / "ticket.cfg", Lines(17, "t"));
    EXPECT_EQ(ReceiptTexts::Load(dir.path(), texts)->text, "Error open avans.cfg");
    Write(dir / "avans.cfg", Lines(9, "a"));
    ASSERT_FALSE(ReceiptTexts::Load(dir.path(), texts));
    EXPECT_EQ(texts.Text(0), "t0");
    EXPECT_EQ(texts.Text(16), "t16");
    EXPECT_EQ(texts.Text(17), "a0");
    EXPECT_EQ(texts.Text(25), "a8");
    EXPECT_EQ(texts.Text(26), "");
}

}  // namespace
}  // namespace miradel
