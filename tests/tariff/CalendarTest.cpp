// The holiday calendar: bold days, the double click and its guards, and what year.dat and the
// engine end up with.

#include "tariff/Calendar.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "TariffFolder.h"
#include "common/AtomicFile.h"

namespace miradel {
namespace {

using testing::TariffFolder;
using testing::TariffRecord;

class FakeBooths final : public BoothStateSource {
  public:
    int StateOf(int panel) const override { return states[panel]; }
    std::array<int, kBooths> states{};  // all disabled
};

std::string ReadText(const std::filesystem::path& path) {
    const auto bytes = ReadWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

class TariffCalendar : public ::testing::Test {
  protected:
    void SetUp() override {
        // May: day 1 '1', day 2 '2', day 3 '0'; every other day ordinary.
        std::string year = testing::YearText();
        year.replace(4 * 32, 3, "120");
        Open(year);
    }

    void Open(const std::string& year) {
        folder_.WriteSet("8-1-11-4\n", 1, "495 2 M\n", TariffRecord(2, 200, 2000));
        folder_.Write("year.dat", year);
        TariffLoad load = folder_.Load();
        ASSERT_TRUE(load.engine) << load.error->detail;
        engine_ = std::move(load.engine);
        CalendarOpen open = Calendar::Open(folder_.dir.path(), *engine_, booths_, folder_.clock);
        ASSERT_TRUE(open.calendar) << open.error->detail;
        calendar_ = std::move(open.calendar);
    }

    int32_t PriceOn(int month, int day) {
        folder_.clock.Set({2024, month, day, 10, 0, 0, 0});
        return engine_->TariffNow("8495");
    }

    TariffFolder folder_;
    FakeBooths booths_;
    std::unique_ptr<TRFTOR> engine_;
    std::unique_ptr<Calendar> calendar_;
};

TEST_F(TariffCalendar, OnlyDaysMarkedOneAreBold) {
    EXPECT_EQ(calendar_->BoldDays(5), std::vector<int>{1});
    EXPECT_TRUE(calendar_->IsBold(5, 1));
    EXPECT_FALSE(calendar_->IsBold(5, 2));  // '2' is priced preferential but not drawn bold
    EXPECT_EQ(PriceOn(5, 2), 2010);
    EXPECT_TRUE(calendar_->BoldDays(6).empty());
    EXPECT_TRUE(calendar_->BoldDays(13).empty());
}

TEST_F(TariffCalendar, DoubleClickFlipsTheMarkRewritesYearDatAndReloadsTheEngine) {
    const struct {
        int day;
        bool boldAfter;
        int32_t priceAfter;
    } cases[] = {
        {3, true, 2010},  // '0' becomes '1'
        {1, false, 210},  // '1' becomes '0'
        {2, false, 210},  // '2' becomes '0'
        {3, false, 210},  // and back
    };
    for (const auto& c : cases) {
        const CalendarClick click = calendar_->DoubleClick(5, c.day);
        ASSERT_EQ(click.outcome, ClickOutcome::kFlipped) << c.day;
        EXPECT_EQ(calendar_->IsBold(5, c.day), c.boldAfter) << c.day;
        EXPECT_EQ(PriceOn(5, c.day), c.priceAfter) << c.day;
        std::string written;
        for (int m = 1; m <= 12; ++m) {
            written += calendar_->Row(m);
        }
        EXPECT_EQ(ReadText(folder_.dir / "year.dat"), written) << c.day;
    }
    EXPECT_EQ(calendar_->Row(5), std::string(31, '0') + "\n");
}

TEST_F(TariffCalendar, AnActiveBoothRefusesTheClick) {
    const struct {
        int state;
        bool refused;
    } cases[] = {{0, false}, {1, false}, {2, true}, {7, true}, {32, true}, {-1, true}};
    for (const auto& c : cases) {
        booths_.states.fill(1);
        booths_.states[15] = c.state;
        const std::string before = ReadText(folder_.dir / "year.dat");
        const std::string rowBefore = calendar_->Row(5);
        const CalendarClick click = calendar_->DoubleClick(5, 3);
        if (!c.refused) {
            EXPECT_EQ(click.outcome, ClickOutcome::kFlipped) << c.state;
            calendar_->DoubleClick(5, 3);  // back to how it was
            continue;
        }
        EXPECT_EQ(click.outcome, ClickOutcome::kRefused) << c.state;
        ASSERT_TRUE(click.refusal) << c.state;
        EXPECT_EQ(click.refusal->text, "Одна из кабин активна!");
        EXPECT_EQ(click.refusal->caption, "Error Click!");
        EXPECT_EQ(click.refusal->icon, PromptIcon::Error);
        EXPECT_EQ(calendar_->Row(5), rowBefore) << c.state;
        EXPECT_EQ(ReadText(folder_.dir / "year.dat"), before) << c.state;
    }
}

TEST_F(TariffCalendar, AFailedWriteKeepsTheFlipInTheRowsOnly) {
    // A folder in the way of the temporary file makes the write fail to open.
    std::filesystem::create_directory(folder_.dir / "year.dat.tmp");
    const std::string before = ReadText(folder_.dir / "year.dat");
    const CalendarClick click = calendar_->DoubleClick(5, 3);
    EXPECT_EQ(click.outcome, ClickOutcome::kWriteFailed);
    ASSERT_TRUE(click.error);
    EXPECT_EQ(click.error->text, "Error OPENYEAR");
    EXPECT_EQ(calendar_->Row(5)[2], '1');
    EXPECT_TRUE(calendar_->IsBold(5, 3));
    EXPECT_EQ(ReadText(folder_.dir / "year.dat"), before);
    EXPECT_EQ(PriceOn(5, 3), 210);  // the engine still has the file's mark

    // The next successful click writes both changes.
    std::filesystem::remove(folder_.dir / "year.dat.tmp");
    ASSERT_EQ(calendar_->DoubleClick(5, 4).outcome, ClickOutcome::kFlipped);
    EXPECT_EQ(PriceOn(5, 3), 2010);
    EXPECT_EQ(PriceOn(5, 4), 2010);
}

TEST_F(TariffCalendar, LineEndsAreWrittenBackAsRead) {
    std::string year;
    for (int m = 0; m < 12; ++m) {
        year += std::string(31, '0') + (m < 11 ? "\r\n" : "");
    }
    Open(year);
    ASSERT_EQ(calendar_->DoubleClick(12, 31).outcome, ClickOutcome::kFlipped);
    year[year.size() - 1] = '1';
    EXPECT_EQ(ReadText(folder_.dir / "year.dat"), year);
    EXPECT_EQ(PriceOn(12, 31), 2010);
}

TEST_F(TariffCalendar, DaysOutsideTheTableChangeNothing) {
    for (const auto& [month, day] : {std::pair{0, 1}, {13, 1}, {5, 0}, {5, 32}}) {
        EXPECT_EQ(calendar_->DoubleClick(month, day).outcome, ClickOutcome::kNoSuchDay);
    }
    EXPECT_EQ(calendar_->BoldDays(5), std::vector<int>{1});
}

TEST_F(TariffCalendar, ShowsTheMonthOfItsOpeningInWeeksFromMonday) {
    EXPECT_EQ(calendar_->ShownYear(), 2024);
    EXPECT_EQ(calendar_->ShownMonth(), 5);
    using Week = std::array<int, 7>;
    // 1 May 2024 was a Wednesday.
    const std::vector<Week> may = {{0, 0, 1, 2, 3, 4, 5},
                                   {6, 7, 8, 9, 10, 11, 12},
                                   {13, 14, 15, 16, 17, 18, 19},
                                   {20, 21, 22, 23, 24, 25, 26},
                                   {27, 28, 29, 30, 31, 0, 0}};
    EXPECT_EQ(calendar_->Weeks(), may);
    calendar_->ShowMonth(2021, 2);  // 1 February 2021 was a Monday; 28 days, four weeks
    ASSERT_EQ(calendar_->Weeks().size(), 4u);
    EXPECT_EQ(calendar_->Weeks().back(), (Week{22, 23, 24, 25, 26, 27, 28}));
    calendar_->ShowMonth(2021, 13);
    EXPECT_EQ(calendar_->ShownMonth(), 2);
}

TEST(TariffCalendarOpen, AnUnreadableYearDatIsReported) {
    TariffFolder folder;
    folder.WriteSet("8-1-11-4\n", 1, "495 2 M\n", TariffRecord(2, 200, 2000));
    TariffLoad load = folder.Load();
    ASSERT_TRUE(load.engine);
    FakeBooths booths;
    folder.Write("year.dat", "0\n");
    const CalendarOpen open = Calendar::Open(folder.dir.path(), *load.engine, booths, folder.clock);
    EXPECT_FALSE(open.calendar);
    ASSERT_TRUE(open.error);
    EXPECT_EQ(open.error->text, "Error READYEAR");
}

}  // namespace
}  // namespace miradel
