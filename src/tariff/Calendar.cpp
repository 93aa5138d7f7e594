#include "tariff/Calendar.h"

#include <algorithm>

#include "common/AtomicFile.h"

namespace miradel {

namespace {

int DaysInMonth(int year, int month) {
    const int nextYear = month == 12 ? year + 1 : year;
    const int nextMonth = month == 12 ? 1 : month + 1;
    return static_cast<int>(DaysFromCivil(nextYear, nextMonth, 1) - DaysFromCivil(year, month, 1));
}

bool InMonthRange(int month) {
    return month >= 1 && month <= kMonths;
}

bool InDayRange(int day) {
    return day >= 1 && day <= static_cast<int>(kYearDays);
}

}  // namespace

CalendarOpen Calendar::Open(const std::filesystem::path& folder, TRFTOR& engine,
                            const BoothStateSource& booths, const Clock& clock) {
    YearRows year = ReadYearFile(folder);
    CalendarOpen result;
    if (year.error) {
        result.error = std::move(year.error);
        return result;
    }
    result.calendar.reset(new Calendar(folder, engine, booths, std::move(year.rows), clock.Now()));
    return result;
}

Calendar::Calendar(std::filesystem::path folder, TRFTOR& engine, const BoothStateSource& booths,
                   std::array<std::string, kMonths> rows, const LocalDateTime& today)
    : folder_(std::move(folder)),
      engine_(engine),
      booths_(booths),
      rows_(std::move(rows)),
      shownYear_(today.year),
      shownMonth_(today.month) {
    RebuildBoldDays();
}

void Calendar::ShowMonth(int year, int month) {
    if (!InMonthRange(month)) {
        return;
    }
    shownYear_ = year;
    shownMonth_ = month;
}

std::vector<std::array<int, 7>> Calendar::Weeks() const {
    std::vector<std::array<int, 7>> weeks;
    // Column 0 is Monday; WeekdayOf counts from Sunday.
    int column = (WeekdayOf(shownYear_, shownMonth_, 1) + 6) % 7;
    const int days = DaysInMonth(shownYear_, shownMonth_);
    for (int day = 1; day <= days; ++day) {
        if (day == 1 || column == 0) {
            weeks.emplace_back();
            weeks.back().fill(0);
        }
        weeks.back()[column] = day;
        column = (column + 1) % 7;
    }
    return weeks;
}

const std::vector<int>& Calendar::BoldDays(int month) const {
    static const std::vector<int> kNone;
    return InMonthRange(month) ? boldDays_[month - 1] : kNone;
}

bool Calendar::IsBold(int month, int day) const {
    const std::vector<int>& days = BoldDays(month);
    return std::binary_search(days.begin(), days.end(), day);
}

const std::string& Calendar::Row(int month) const {
    static const std::string kNone;
    return InMonthRange(month) ? rows_[month - 1] : kNone;
}

bool Calendar::AnyBoothActive() const {
    for (int panel = 0; panel < BoothStateSource::kBooths; ++panel) {
        const int state = booths_.StateOf(panel);
        if (state != 0 && state != 1) {
            return true;
        }
    }
    return false;
}

void Calendar::RebuildBoldDays() {
    for (int m = 0; m < kMonths; ++m) {
        boldDays_[m].clear();
        // Rows hold at least 31 marks: year.dat was refused otherwise.
        for (int day = 1; day <= static_cast<int>(kYearDays); ++day) {
            if (rows_[m][day - 1] == '1') {
                boldDays_[m].push_back(day);
            }
        }
    }
}

std::optional<TariffError> Calendar::WriteYearFile() const {
    std::string bytes;
    for (const std::string& row : rows_) {
        bytes += row;
    }
    const std::string failure = WriteFileAtomically(
        folder_ / kYearFileName, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    if (failure.empty()) {
        return std::nullopt;
    }
    // The file could not be opened for writing, or the writing itself failed.
    const bool notOpened = failure.starts_with("cannot create");
    return MakeTariffError(notOpened ? kFailOpenYear : kFailReadYear, failure);
}

CalendarClick Calendar::DoubleClick(int month, int day) {
    CalendarClick click;
    if (!InMonthRange(month) || !InDayRange(day)) {
        click.outcome = ClickOutcome::kNoSuchDay;
        return click;
    }
    if (AnyBoothActive()) {
        click.outcome = ClickOutcome::kRefused;
        click.refusal = PromptRequest{std::string(kBusyText), std::string(kBusyCaption),
                                      PromptButtons::Ok, PromptIcon::Error};
        return click;
    }
    char& mark = rows_[month - 1][day - 1];
    mark = mark == '0' ? '1' : '0';
    RebuildBoldDays();
    if (auto error = WriteYearFile()) {
        click.outcome = ClickOutcome::kWriteFailed;
        click.error = std::move(error);
        return click;
    }
    if (auto error = engine_.LoadYear()) {
        click.outcome = ClickOutcome::kReloadFailed;
        click.error = std::move(error);
        return click;
    }
    click.outcome = ClickOutcome::kFlipped;
    return click;
}

}  // namespace miradel
