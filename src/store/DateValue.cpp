#include "store/DateValue.h"

#include <fmt/format.h>

#include <charconv>
#include <vector>

namespace miradel {

namespace {

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// Splits at `separator` into parts of 1..maxDigits decimal digits; false when any part is
// empty, too long or holds anything but digits.
bool SplitDigits(std::string_view text, char separator, std::size_t maxDigits,
                 std::vector<std::string_view>& parts) {
    parts.clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        const std::string_view part = text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (part.empty() || part.size() > maxDigits) {
            return false;
        }
        for (char c : part) {
            if (c < '0' || c > '9') {
                return false;
            }
        }
        parts.push_back(part);
        if (end == std::string_view::npos) {
            return true;
        }
        start = end + 1;
    }
}

int ToInt(std::string_view digits) {
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

}  // namespace

bool CalendarDate::Valid() const {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

bool TimeOfDay::Valid() const {
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

CalendarDate DateOf(const LocalDateTime& t) {
    return {t.year, t.month, t.day};
}
TimeOfDay TimeOf(const LocalDateTime& t) {
    return {t.hour, t.minute, t.second};
}

std::string DisplayText(const CalendarDate& date, DateStyle style) {
    if (style == DateStyle::Unpadded) {
        return fmt::format("{}.{}.{}", date.day, date.month, date.year);
    }
    return fmt::format("{:02}.{:02}.{:4}", date.day, date.month, date.year);
}

std::string DisplayText(const TimeOfDay& time, DateStyle style) {
    if (style == DateStyle::Unpadded) {
        return fmt::format("{}:{}:{}", time.hour, time.minute, time.second);
    }
    return fmt::format("{:02}:{:02}:{:02}", time.hour, time.minute, time.second);
}

std::optional<CalendarDate> ParseDate(std::string_view text) {
    std::vector<std::string_view> parts;
    if (!SplitDigits(Trim(text), '.', 4, parts) || parts.size() != 3 || parts[0].size() > 2 ||
        parts[1].size() > 2 || parts[2].size() == 3) {
        return std::nullopt;
    }
    CalendarDate date{ToInt(parts[2]), ToInt(parts[1]), ToInt(parts[0])};
    if (parts[2].size() <= 2) {
        date.year += date.year < 50 ? 2000 : 1900;
    }
    if (!date.Valid()) {
        return std::nullopt;
    }
    return date;
}

std::optional<TimeOfDay> ParseTime(std::string_view text) {
    std::vector<std::string_view> parts;
    if (!SplitDigits(Trim(text), ':', 2, parts) || parts.size() < 2 || parts.size() > 3) {
        return std::nullopt;
    }
    TimeOfDay time{ToInt(parts[0]), ToInt(parts[1]), parts.size() == 3 ? ToInt(parts[2]) : 0};
    if (!time.Valid()) {
        return std::nullopt;
    }
    return time;
}

std::string IsoText(const CalendarDate& date) {
    return fmt::format("{:04}-{:02}-{:02}", date.year, date.month, date.day);
}

std::string IsoText(const TimeOfDay& time) {
    return fmt::format("{:02}:{:02}:{:02}", time.hour, time.minute, time.second);
}

std::optional<CalendarDate> ParseIsoDate(std::string_view text) {
    std::vector<std::string_view> parts;
    if (text.size() != 10 || !SplitDigits(text, '-', 4, parts) || parts.size() != 3 ||
        parts[0].size() != 4 || parts[1].size() != 2 || parts[2].size() != 2) {
        return std::nullopt;
    }
    const CalendarDate date{ToInt(parts[0]), ToInt(parts[1]), ToInt(parts[2])};
    if (!date.Valid()) {
        return std::nullopt;
    }
    return date;
}

std::optional<TimeOfDay> ParseIsoTime(std::string_view text) {
    if (text.size() != 8) {
        return std::nullopt;
    }
    return ParseTime(text);
}

}  // namespace miradel
