#pragma once
// Calendar dates and times of day as the tables keep them. In the database a date is ISO
// text "2009-03-05" and a time "09:05:07", so that both sort and compare as calendar values
// and read plainly in the sqlite3 shell. Windows and files show them in the office's forms.

#include <compare>
#include <optional>
#include <string>
#include <string_view>

#include "common/Clock.h"

namespace miradel {

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;

    bool Valid() const;
    friend auto operator<=>(const CalendarDate&, const CalendarDate&) = default;
};

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool Valid() const;
    friend auto operator<=>(const TimeOfDay&, const TimeOfDay&) = default;
};

CalendarDate DateOf(const LocalDateTime& t);
TimeOfDay TimeOf(const LocalDateTime& t);

// How a table shows its dates and times. INFO keeps the booths' form without leading zeros
// ("5.3.2009", "9:5:7"); every other table shows the short system forms ("05.03.2009",
// "09:05:07").
enum class DateStyle { Short, Unpadded };

std::string DisplayText(const CalendarDate& date, DateStyle style);
std::string DisplayText(const TimeOfDay& time, DateStyle style);

// Dates as an operator or a booth writes them: day.month.year with one or two digits for day
// and month; a year of four digits, or of one or two digits read as 2000..2049 (00..49) or
// 1950..1999 (50..99). Blanks around the text are ignored. nullopt when it is not a date.
std::optional<CalendarDate> ParseDate(std::string_view text);
// Times as hour:minute:second or hour:minute (seconds 0), one or two digits each.
std::optional<TimeOfDay> ParseTime(std::string_view text);

// The stored forms.
std::string IsoText(const CalendarDate& date);  // "2009-03-05"
std::string IsoText(const TimeOfDay& time);     // "09:05:07"
std::optional<CalendarDate> ParseIsoDate(std::string_view text);
std::optional<TimeOfDay> ParseIsoTime(std::string_view text);

}  // namespace miradel
