#include "tariff/CalendarWindowModel.h"

#include <algorithm>

namespace miradel {

namespace {

constexpr std::array<std::string_view, 12> kMonthNames = {
    "Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
    "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};

constexpr std::array<std::string_view, 7> kWeekdayNames = {"Пн", "Вт", "Ср", "Чт",
                                                           "Пт", "Сб", "Вс"};

int DaysInMonth(int year, int month) {
    const int nextYear = month == 12 ? year + 1 : year;
    const int nextMonth = month == 12 ? 1 : month + 1;
    return static_cast<int>(DaysFromCivil(nextYear, nextMonth, 1) - DaysFromCivil(year, month, 1));
}

}  // namespace

CalendarWindowModel::CalendarWindowModel(Calendar& calendar, int today)
    : calendar_(calendar),
      selectedDay_(std::clamp(today, 1, DaysInMonth(calendar.ShownYear(), calendar.ShownMonth()))) {
}

std::string CalendarWindowModel::MonthTitle() const {
    return std::string(kMonthNames[calendar_.ShownMonth() - 1]) + " " +
           std::to_string(calendar_.ShownYear());
}

std::string_view CalendarWindowModel::WeekdayName(int column) {
    return column >= 0 && column < kColumns ? kWeekdayNames[column] : std::string_view();
}

CalendarWindowModel::Grid CalendarWindowModel::Cells() const {
    Grid grid{};
    const auto weeks = calendar_.Weeks();
    const int month = calendar_.ShownMonth();
    for (int row = 0; row < kRows && row < static_cast<int>(weeks.size()); ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const int day = weeks[row][column];
            if (day != 0) {
                grid[row][column] = {day, calendar_.IsBold(month, day), day == selectedDay_};
            }
        }
    }
    return grid;
}

int CalendarWindowModel::DayAt(int row, int column) const {
    if (row < 0 || row >= kRows || column < 0 || column >= kColumns) {
        return 0;
    }
    const auto weeks = calendar_.Weeks();
    return row < static_cast<int>(weeks.size()) ? weeks[row][column] : 0;
}

void CalendarWindowModel::ShowMonth(int year, int month) {
    calendar_.ShowMonth(year, month);
    // The selected day stays, cut to the length of the new month.
    selectedDay_ = std::min(selectedDay_, DaysInMonth(year, month));
}

void CalendarWindowModel::PreviousMonth() {
    const int month = calendar_.ShownMonth();
    const int year = calendar_.ShownYear();
    ShowMonth(month == 1 ? year - 1 : year, month == 1 ? 12 : month - 1);
}

void CalendarWindowModel::NextMonth() {
    const int month = calendar_.ShownMonth();
    const int year = calendar_.ShownYear();
    ShowMonth(month == 12 ? year + 1 : year, month == 12 ? 1 : month + 1);
}

void CalendarWindowModel::Select(int row, int column) {
    if (const int day = DayAt(row, column); day != 0) {
        selectedDay_ = day;
    }
}

std::optional<PromptRequest> CalendarWindowModel::DoubleClick(int row, int column) {
    const int day = DayAt(row, column);
    if (day == 0) {
        return std::nullopt;
    }
    selectedDay_ = day;
    CalendarClick click = calendar_.DoubleClick(calendar_.ShownMonth(), day);
    if (click.refusal) {
        return click.refusal;
    }
    if (click.error) {
        return PromptRequest{click.error->text, std::string(kErrorCaption), PromptButtons::Ok,
                             PromptIcon::Error};
    }
    return std::nullopt;
}

}  // namespace miradel
