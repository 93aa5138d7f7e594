// The calendar window's model: the month grid, the month buttons, the selected day and what a
// double click on a cell does and asks to show.

#include "tariff/CalendarWindowModel.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TariffFolder.h"

namespace miradel {
namespace {

using testing::TariffFolder;
using testing::TariffRecord;

class FakeBooths final : public BoothStateSource {
  public:
    int StateOf(int panel) const override { return states[panel]; }
    std::array<int, kBooths> states{};
};

// Where day `day` of the shown month stands in the grid.
std::pair<int, int> CellOf(const CalendarWindowModel& model, int day) {
    const auto grid = model.Cells();
    for (int row = 0; row < CalendarWindowModel::kRows; ++row) {
        for (int column = 0; column < CalendarWindowModel::kColumns; ++column) {
            if (grid[row][column].day == day) {
                return {row, column};
            }
        }
    }
    return {-1, -1};
}

class CalendarWindowModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_.WriteSet("8-1-11-4\n", 1, "495 2 M\n", TariffRecord(2, 200, 2000));
        folder_.Write("year.dat", testing::YearTextWith(5, 9, '1'));  // 9 May preferential
        TariffLoad load = folder_.Load();
        ASSERT_TRUE(load.engine);
        engine_ = std::move(load.engine);
        CalendarOpen open = Calendar::Open(folder_.dir.path(), *engine_, booths_, folder_.clock);
        ASSERT_TRUE(open.calendar);
        calendar_ = std::move(open.calendar);
        model_ = std::make_unique<CalendarWindowModel>(*calendar_, folder_.clock.Now().day);
    }

    TariffFolder folder_;  // the clock stands at 14 May 2024
    FakeBooths booths_;
    std::unique_ptr<TRFTOR> engine_;
    std::unique_ptr<Calendar> calendar_;
    std::unique_ptr<CalendarWindowModel> model_;
};

TEST_F(CalendarWindowModelTest, GridHasSixWeeksFromMondayWithBoldAndSelectedDays) {
    EXPECT_EQ(model_->MonthTitle(), "Май 2024");
    EXPECT_EQ(model_->WeekdayName(0), "Пн");
    EXPECT_EQ(model_->WeekdayName(6), "Вс");
    EXPECT_EQ(model_->WeekdayName(7), "");
    const auto grid = model_->Cells();
    // 1 May 2024 was a Wednesday; 31 May a Friday; the sixth row stays empty.
    EXPECT_EQ(grid[0][1].day, 0);
    EXPECT_EQ(grid[0][2].day, 1);
    EXPECT_EQ(grid[4][4].day, 31);
    EXPECT_EQ(grid[4][5].day, 0);
    for (const CalendarCell& cell : grid[5]) {
        EXPECT_EQ(cell.day, 0);
    }
    int bold = 0;
    int selected = 0;
    for (const auto& week : grid) {
        for (const CalendarCell& cell : week) {
            bold += cell.bold;
            selected += cell.selected;
        }
    }
    EXPECT_EQ(bold, 1);
    EXPECT_TRUE(grid[1][3].bold);  // 9 May, a Thursday
    EXPECT_EQ(selected, 1);
    EXPECT_TRUE(grid[2][1].selected);  // today, 14 May

    // September 2024 begins on a Sunday and needs all six rows.
    for (int i = 0; i < 4; ++i) {
        model_->NextMonth();
    }
    EXPECT_EQ(model_->Cells()[0][6].day, 1);
    EXPECT_EQ(model_->Cells()[5][0].day, 30);
    EXPECT_FALSE(model_->Cells()[1][3].bold);  // May's marks stay with May
}

TEST_F(CalendarWindowModelTest, MonthButtonsCrossTheYearAndCutTheSelectedDay) {
    model_->Select(4, 4);  // 31 May
    ASSERT_EQ(model_->SelectedDay(), 31);
    const struct {
        bool next;
        const char* title;
        int selected;
    } steps[] = {
        {true, "Июнь 2024", 30},     {false, "Май 2024", 30},     {false, "Апрель 2024", 30},
        {false, "Март 2024", 30},    {false, "Февраль 2024", 29}, {false, "Январь 2024", 29},
        {false, "Декабрь 2023", 29}, {true, "Январь 2024", 29},
    };
    for (const auto& step : steps) {
        step.next ? model_->NextMonth() : model_->PreviousMonth();
        EXPECT_EQ(model_->MonthTitle(), step.title);
        EXPECT_EQ(model_->SelectedDay(), step.selected) << step.title;
    }
    for (int i = 0; i < 13; ++i) {
        model_->NextMonth();
    }
    EXPECT_EQ(model_->MonthTitle(), "Февраль 2025");
    EXPECT_EQ(model_->SelectedDay(), 28);
}

TEST_F(CalendarWindowModelTest, DoubleClickFlipsTheDayUnderTheCell) {
    const auto [row, column] = CellOf(*model_, 3);
    EXPECT_FALSE(model_->DoubleClick(row, column));
    EXPECT_TRUE(model_->Cells()[row][column].bold);
    EXPECT_TRUE(model_->Cells()[row][column].selected);
    EXPECT_EQ(calendar_->Row(5).substr(0, 9), "001000001");

    // Another month's cell in the same place flips that month's day.
    model_->NextMonth();
    const auto [juneRow, juneColumn] = CellOf(*model_, 3);
    EXPECT_FALSE(model_->DoubleClick(juneRow, juneColumn));
    EXPECT_EQ(calendar_->Row(6)[2], '1');
    EXPECT_EQ(calendar_->Row(5)[2], '1');
}

TEST_F(CalendarWindowModelTest, CellsWithoutADayAndCellsOutsideTheGridDoNothing) {
    const std::string before = calendar_->Row(5);
    for (const auto& [row, column] :
         {std::pair{0, 0}, {0, 1}, {4, 6}, {5, 3}, {-1, 0}, {6, 0}, {0, -1}, {0, 7}}) {
        model_->Select(row, column);
        EXPECT_FALSE(model_->DoubleClick(row, column)) << row << "," << column;
    }
    EXPECT_EQ(model_->SelectedDay(), 14);
    EXPECT_EQ(calendar_->Row(5), before);
}

TEST_F(CalendarWindowModelTest, RefusalAndFailuresComeBackAsMessageBoxes) {
    const auto [row, column] = CellOf(*model_, 9);
    booths_.states[4] = 2;
    std::optional<PromptRequest> box = model_->DoubleClick(row, column);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Одна из кабин активна!");
    EXPECT_EQ(box->caption, "Error Click!");
    EXPECT_EQ(box->icon, PromptIcon::Error);
    EXPECT_TRUE(model_->Cells()[row][column].bold);

    booths_.states[4] = 1;
    std::filesystem::create_directory(folder_.dir / "year.dat.tmp");  // the write cannot open
    box = model_->DoubleClick(row, column);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Error OPENYEAR");
    EXPECT_EQ(box->caption, "Miradel");
    EXPECT_EQ(box->icon, PromptIcon::Error);
    EXPECT_FALSE(model_->Cells()[row][column].bold);  // the rows keep the flip
}

}  // namespace
}  // namespace miradel
