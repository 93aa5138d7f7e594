#pragma once
// The holiday calendar ("Календарь") without its window: its own copy of year.dat, the bold
// (preferential) days of each month, the month shown, and the double click that turns a day
// from ordinary to preferential and back. The window draws what this model holds and shows
// the messages a click returns.

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Clock.h"
#include "common/OperatorPrompt.h"
#include "tariff/BoothStateSource.h"
#include "tariff/TariffError.h"
#include "tariff/Trftor.h"
#include "tariff/YearFile.h"

namespace miradel {

class Calendar;

struct CalendarOpen {
    std::unique_ptr<Calendar> calendar;  // set when year.dat could be read
    std::optional<TariffError> error;
};

enum class ClickOutcome {
    kFlipped,       // mark changed, year.dat rewritten, engine reloaded
    kRefused,       // a booth is active; nothing changed
    kNoSuchDay,     // month or day out of range; nothing changed
    kWriteFailed,   // mark changed in the rows, year.dat not rewritten
    kReloadFailed,  // year.dat rewritten, but the engine could not read it back
};

struct CalendarClick {
    ClickOutcome outcome = ClickOutcome::kNoSuchDay;
    std::optional<PromptRequest> refusal;  // the message box to show for kRefused
    std::optional<TariffError> error;      // for the standard error box (write or reload)
};

class Calendar {
  public:
    static constexpr std::string_view kCaption = "Календарь";
    static constexpr std::string_view kBoldNote =
        "Выделенные жирным шрифтом дни тарифицируются по льготному тарифу.";
    static constexpr std::string_view kClickNote =
        " Для того чтобы поменять тип дня недели следует дважды кликнуть мышкой на выбранном "
        "дне.";
    static constexpr std::string_view kBusyText = "Одна из кабин активна!";
    static constexpr std::string_view kBusyCaption = "Error Click!";

    // Reads year.dat of the folder into the calendar's rows; the month shown is the clock's.
    // The engine is reloaded after each change; the booths are asked before each change.
    static CalendarOpen Open(const std::filesystem::path& folder, TRFTOR& engine,
                             const BoothStateSource& booths, const Clock& clock);

    Calendar(const Calendar&) = delete;
    Calendar& operator=(const Calendar&) = delete;

    int ShownYear() const { return shownYear_; }
    int ShownMonth() const { return shownMonth_; }
    // Ignored for a month outside 1..12.
    void ShowMonth(int year, int month);
    // The shown month in weeks from Monday to Sunday; 0 in the cells of no day.
    std::vector<std::array<int, 7>> Weeks() const;

    // Days 1..31 of month 1..12 whose mark is exactly '1', ascending; drawn bold.
    const std::vector<int>& BoldDays(int month) const;
    bool IsBold(int month, int day) const;
    // Row of month 1..12 as held, line end included; empty outside 1..12.
    const std::string& Row(int month) const;

    // Double click on day `day` of month `month`: refused while any booth is in a state other
    // than 0 or 1; otherwise '0' becomes '1' and any other mark '0', year.dat is rewritten
    // from the rows and the engine reloads it. A failed write keeps the flip in the rows (and
    // in the bold days, so the window shows what the next write will save).
    CalendarClick DoubleClick(int month, int day);

  private:
    Calendar(std::filesystem::path folder, TRFTOR& engine, const BoothStateSource& booths,
             std::array<std::string, kMonths> rows, const LocalDateTime& today);

    bool AnyBoothActive() const;
    void RebuildBoldDays();
    std::optional<TariffError> WriteYearFile() const;

    std::filesystem::path folder_;
    TRFTOR& engine_;
    const BoothStateSource& booths_;
    std::array<std::string, kMonths> rows_;
    std::array<std::vector<int>, kMonths> boldDays_;
    int shownYear_;
    int shownMonth_;
};

}  // namespace miradel
