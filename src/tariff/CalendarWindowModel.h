#pragma once
// The "Календарь" window without its widgets: the shown month as a fixed 6x7 grid of day
// cells from Monday to Sunday, the selected day, the month buttons, and the double click that
// flips a day through the calendar and says which message box, if any, to show.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "common/OperatorPrompt.h"
#include "tariff/Calendar.h"

namespace miradel {

struct CalendarCell {
    int day = 0;            // 0: no day of the shown month in this cell
    bool bold = false;      // preferential: marked exactly '1'
    bool selected = false;  // the day a double click acts on
};

class CalendarWindowModel {
  public:
    static constexpr int kRows = 6;
    static constexpr int kColumns = 7;
    using Grid = std::array<std::array<CalendarCell, kColumns>, kRows>;

    // The error box the calendar's write and reload failures are shown in.
    static constexpr std::string_view kErrorCaption = "Miradel";

    // Starts at the calendar's shown month with `today` selected (clamped to the month).
    CalendarWindowModel(Calendar& calendar, int today);

    std::string_view Caption() const { return Calendar::kCaption; }
    std::string_view BoldNote() const { return Calendar::kBoldNote; }
    std::string_view ClickNote() const { return Calendar::kClickNote; }
    // "Май 2024"
    std::string MonthTitle() const;
    // "Пн" … "Вс"
    static std::string_view WeekdayName(int column);

    Grid Cells() const;
    int SelectedDay() const { return selectedDay_; }

    void PreviousMonth();
    void NextMonth();
    // A click on a cell selects its day; a cell without a day changes nothing.
    void Select(int row, int column);
    // Double click on a cell: selects its day and flips it. Returns the box to show: the
    // refusal while a booth is active, or the error when year.dat could not be written or
    // read back. Nothing happens on a cell without a day.
    std::optional<PromptRequest> DoubleClick(int row, int column);

  private:
    int DayAt(int row, int column) const;
    void ShowMonth(int year, int month);

    Calendar& calendar_;
    int selectedDay_;
};

}  // namespace miradel
