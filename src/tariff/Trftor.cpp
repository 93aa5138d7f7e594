#include "tariff/Trftor.h"

#include <fmt/format.h>

#include "common/AtomicFile.h"
#include "tariff/TariffFiles.h"

namespace miradel {

TariffLoad TRFTOR::Load(const std::filesystem::path& folder, const Clock& clock) {
    std::unique_ptr<TRFTOR> engine(new TRFTOR(folder, clock));
    TariffLoad result;
    result.notes = engine->notes_;
    if (engine->LoadFailure()) {
        result.error = engine->LoadFailure();
        return result;
    }
    result.engine = std::move(engine);
    return result;
}

TRFTOR::TRFTOR(const std::filesystem::path& folder, const Clock& clock)
    : KodZona(folder), clock_(clock) {
    if (LoadFailure()) {
        return;
    }
    LoadTariffs();
    if (LoadFailure()) {
        return;
    }
    if (auto error = LoadYear()) {
        Fail(std::move(*error));
    }
}

void TRFTOR::LoadTariffs() {
    std::array<bool, kZoneFiles> read{};
    const EntryList<Prefx>& prefixes = Prefixes();
    for (std::size_t i = 0; i < prefixes.Size(); ++i) {
        const int32_t n = prefixes[i].zoneFile;
        if (read[n]) {
            continue;
        }
        read[n] = true;
        const std::string name = TariffFileName(n);
        const auto bytes = ReadWholeFile(Folder() / name);
        if (!bytes) {
            Fail(MakeTariffError(
                kFailTariffFile,
                fmt::format("cannot open {} (zone-file number {} of {} line {})",
                            (Folder() / name).string(), n, kPrefixFileName, prefixes.LineOf(i))));
            return;
        }
        const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
        if (auto error = ReadTariffFile(name, text, tariffs_[n], notes_)) {
            Fail(std::move(*error));
            return;
        }
        for (const ZonaTarif* t = tariffs_[n].Head(); t != nullptr; t = t->next) {
            tariffIndex_[n].Add(t->zone);
        }
        tariffIndex_[n].Seal();
    }
}

std::optional<TariffError> TRFTOR::LoadYear() {
    YearRows year = ReadYearFile(Folder());
    if (year.error) {
        SetFailureCode(year.error->code);
        return std::move(year.error);
    }
    for (int m = 0; m < kMonths; ++m) {
        // Held as text mode reads it: a CR LF line end becomes one new-line.
        std::string row = std::move(year.rows[m]);
        if (row.ends_with("\r\n")) {
            row.erase(row.size() - 2, 1);
        }
        auto& cells = yearRows_[m];
        for (std::size_t i = 0; i < kYearRowSize; ++i) {
            cells[i].store(i < row.size() ? row[i] : '\0', std::memory_order_relaxed);
        }
    }
    return std::nullopt;
}

char TRFTOR::MarkOf(int month, int day) const {
    if (month < 1 || month > kMonths || day < 1 || day > static_cast<int>(kYearDays)) {
        return '0';
    }
    return yearRows_[month - 1][day - 1].load(std::memory_order_relaxed);
}

std::string TRFTOR::YearRow(int month) const {
    std::string row;
    if (month < 1 || month > kMonths) {
        return row;
    }
    for (const auto& cell : yearRows_[month - 1]) {
        const char c = cell.load(std::memory_order_relaxed);
        if (c == '\0') {
            break;
        }
        row += c;
    }
    return row;
}

char TRFTOR::DayMark() const {
    const LocalDateTime now = clock_.Now();
    return MarkOf(now.month, now.day);
}

const ZonaTarif* TRFTOR::FindTariff(int32_t zoneFile, int32_t zone) const {
    if (zoneFile < 0 || zoneFile >= kZoneFiles) {
        return nullptr;
    }
    const int32_t position = tariffIndex_[zoneFile].Find(zone);
    return position == ZoneIndex::kNone ? nullptr : &tariffs_[zoneFile][position];
}

int32_t TRFTOR::TariffNow(std::string_view digits) const {
    const KZona* code = FindCode(digits);
    if (code == nullptr) {
        return -1;
    }
    const ZonaTarif* record = FindTariff(code->zoneFile, code->zone);
    if (record == nullptr) {
        return -1;
    }
    const LocalDateTime now = clock_.Now();
    if (now.hour < 0 || now.hour >= kHours) {
        return -1;
    }
    return PriceFor(*record, now.hour, MarkOf(now.month, now.day));
}

int32_t TRFTOR::TariffAtHour(std::string_view digits, int hour) const {
    if (hour < 0 || hour >= kHours) {
        return 0;
    }
    const KZona* code = FindCode(digits);
    if (code == nullptr) {
        return 0;
    }
    const ZonaTarif* record = FindTariff(code->zoneFile, code->zone);
    if (record == nullptr) {
        return 0;
    }
    const LocalDateTime now = clock_.Now();
    return PriceFor(*record, hour, MarkOf(now.month, now.day));
}

const EntryList<ZonaTarif>& TRFTOR::Tariffs(int32_t zoneFile) const {
    static const EntryList<ZonaTarif> kEmpty;
    return zoneFile >= 0 && zoneFile < kZoneFiles ? tariffs_[zoneFile] : kEmpty;
}

}  // namespace miradel
