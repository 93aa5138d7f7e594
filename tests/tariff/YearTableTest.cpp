// year.dat: what the day-type table accepts, and what a failed re-read leaves.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TariffFolder.h"
#include "tariff/YearFile.h"

namespace miradel {
namespace {

using testing::TariffFolder;
using testing::TariffRecord;
using testing::YearText;
using testing::YearTextWith;

std::string Rows(int count, const std::string& row) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += row;
    }
    return text;
}

TEST(TariffYearFile, AcceptsAndRefusesLines) {
    const std::string row(31, '0');
    const struct {
        const char* what;
        std::string content;
        int32_t code;  // 0 when accepted
        const char* detail;
    } cases[] = {
        {"twelve rows", Rows(12, row + "\n"), 0, ""},
        {"CR LF", Rows(12, row + "\r\n"), 0, ""},
        {"last row without line end", Rows(11, row + "\n") + row, 0, ""},
        {"33 characters", Rows(12, row + "xx\n"), 0, ""},
        {"lines after the twelfth", Rows(12, row + "\n") + "junk\n", 0, ""},
        {"empty file", "", kFailReadYear, "year.dat has 0 lines, 12 needed"},
        {"eleven rows", Rows(11, row + "\n"), kFailReadYear, "year.dat has 11 lines, 12 needed"},
        {"a row of 30", Rows(3, row + "\n") + std::string(30, '0') + "\n" + Rows(8, row + "\n"),
         kFailReadYear, "year.dat, line 4: 30 characters before the line end, 31 to 33 needed"},
        {"a row of 34", Rows(11, row + "\n") + row + "abc\n", kFailReadYear,
         "year.dat, line 12: 34 characters before the line end, 31 to 33 needed"},
        {"a blank row", "\n" + Rows(12, row + "\n"), kFailReadYear,
         "year.dat, line 1: 0 characters before the line end, 31 to 33 needed"},
    };
    for (const auto& c : cases) {
        const YearRows year = ParseYearRows(c.content);
        if (c.code == 0) {
            EXPECT_FALSE(year.error) << c.what << ": " << year.error->detail;
            EXPECT_EQ(year.rows[0].substr(0, 31), row) << c.what;
        } else {
            ASSERT_TRUE(year.error) << c.what;
            EXPECT_EQ(year.error->code, c.code) << c.what;
            EXPECT_EQ(year.error->text, "Error READYEAR") << c.what;
            EXPECT_EQ(year.error->detail, c.detail) << c.what;
        }
    }
}

class TariffYearTable : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_.WriteSet("8-1-11-4\n", 1, "495 2 M\n", TariffRecord(2, 200, 2000));
        folder_.Write("year.dat", YearTextWith(5, 14, '1'));
        TariffLoad load = folder_.Load();
        ASSERT_TRUE(load.engine) << load.error->detail;
        engine_ = std::move(load.engine);
        folder_.clock.Set({2024, 5, 14, 10, 0, 0, 0});
    }

    TariffFolder folder_;
    std::unique_ptr<TRFTOR> engine_;
};

TEST_F(TariffYearTable, RowsAreHeldAsTextModeReadsThem) {
    folder_.Write("year.dat", Rows(11, std::string(31, '0') + "\r\n") + std::string(33, '1'));
    ASSERT_FALSE(engine_->LoadYear());
    EXPECT_EQ(engine_->YearRow(1), std::string(31, '0') + "\n");
    EXPECT_EQ(engine_->YearRow(12), std::string(33, '1'));
    EXPECT_EQ(engine_->YearRow(13), "");
    EXPECT_EQ(engine_->MarkOf(12, 31), '1');
    EXPECT_EQ(engine_->MarkOf(12, 32), '0');  // beyond the marks: no day, ordinary
    EXPECT_EQ(engine_->MarkOf(0, 1), '0');
}

TEST_F(TariffYearTable, AFailedReReadKeepsThePreviousMarks) {
    const struct {
        const char* what;
        bool remove;
        std::string content;
        int32_t code;
        const char* text;
    } cases[] = {
        {"file gone", true, "", kFailOpenYear, "Error OPENYEAR"},
        {"file cut short", false, YearText('0').substr(0, 5 * 32), kFailReadYear, "Error READYEAR"},
    };
    for (const auto& c : cases) {
        if (c.remove) {
            std::filesystem::remove(folder_.dir / "year.dat");
        } else {
            folder_.Write("year.dat", c.content);
        }
        const auto error = engine_->LoadYear();
        ASSERT_TRUE(error) << c.what;
        EXPECT_EQ(error->text, c.text) << c.what;
        EXPECT_EQ(engine_->FailureCode(), c.code) << c.what;
        EXPECT_EQ(engine_->DayMark(), '1') << c.what;
        EXPECT_EQ(engine_->TariffNow("8495"), 2010) << c.what;
    }
}

}  // namespace
}  // namespace miradel
