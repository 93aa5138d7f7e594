#pragma once
// The tariff engine: prefix table, code tables, tariff tables and the day-type table, loaded
// once at start-up from the working folder and then answering lookups from memory.

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Clock.h"
#include "tariff/KodZona.h"
#include "tariff/TariffEntries.h"
#include "tariff/TariffError.h"
#include "tariff/YearFile.h"
#include "tariff/ZoneIndex.h"

namespace miradel {

class TRFTOR;

struct TariffLoad {
    std::unique_ptr<TRFTOR> engine;    // set when the loading succeeded
    std::optional<TariffError> error;  // the first failure otherwise
    std::vector<std::string> notes;    // harmless oddities, for the administrator
};

// The price of the record at that hour for that day mark: "0" ordinary, else preferential.
inline int32_t PriceFor(const ZonaTarif& record, int hour, char mark) {
    return mark == '0' ? record.ordinary[hour] : record.preferential[hour];
}

class TRFTOR final : public KodZona {
  public:
    // Size of a row of the day-type table: up to 33 marks, the line end and a zero.
    static constexpr std::size_t kYearRowSize = 40;

    // Loads, in this order: prefix.dat; each code file it names; each tariff file it names;
    // year.dat. The clock gives the hour and date of every price.
    static TariffLoad Load(const std::filesystem::path& folder, const Clock& clock);

    ~TRFTOR() = default;

    // The first record of tariff list N with that zone; none otherwise (also for N outside
    // 0..99). Allocates nothing.
    const ZonaTarif* FindTariff(int32_t zoneFile, int32_t zone) const;

    // Price of a minute now, by the clock's hour and today's day mark; -1 when the number has
    // no code entry or its zone no tariff record. A price of 0 is a price.
    int32_t TariffNow(std::string_view digits) const;

    // The same for the given hour (today's day mark); 0 for an hour outside 0..23 and when
    // nothing is found.
    int32_t TariffAtHour(std::string_view digits, int hour) const;

    // Today's mark: '0' ordinary, anything else preferential.
    char DayMark() const;

    // Re-reads year.dat. On a failure the table keeps its previous marks.
    std::optional<TariffError> LoadYear();

    // Mark of day 1..31 of month 1..12; '0' for a date outside those ranges.
    char MarkOf(int month, int day) const;
    // Row of month 1..12 as held: the line as text mode reads it, line end included.
    std::string YearRow(int month) const;

    // Tariff list N in file order; an empty list for N outside 0..99.
    const EntryList<ZonaTarif>& Tariffs(int32_t zoneFile) const;

    const std::vector<std::string>& LoadNotes() const { return notes_; }

  private:
    TRFTOR(const std::filesystem::path& folder, const Clock& clock);

    void LoadTariffs();

    const Clock& clock_;
    std::array<EntryList<ZonaTarif>, kZoneFiles> tariffs_;
    std::array<ZoneIndex, kZoneFiles> tariffIndex_;
    // Written only by LoadYear while lookups may run on other threads; a mark is one atomic
    // character, so a reader sees either the old or the new mark of a day.
    std::array<std::array<std::atomic<char>, kYearRowSize>, kMonths> yearRows_{};
    std::vector<std::string> notes_;
};

}  // namespace miradel
