#include "tariff/TariffFiles.h"

#include <fmt/format.h>

#include "common/Cp1251.h"
#include "tariff/NumberField.h"
#include "tariff/TextLines.h"

namespace miradel {

std::string CodeFileName(int32_t zoneFile) {
    return fmt::format("kz_{}.dat", zoneFile);
}

std::string TariffFileName(int32_t zoneFile) {
    return fmt::format("zt_{}.dat", zoneFile);
}

namespace {

// File bytes are Windows-1251; the detail is shown as UTF-8.
std::string Shown(std::string_view cp1251) {
    return Cp1251ToUtf8(cp1251);
}

TariffError LineError(int32_t code, std::string_view fileName, int32_t line,
                      const std::string& what) {
    return MakeTariffError(code, fmt::format("{}, line {}: {}", fileName, line, what));
}

std::optional<TariffError> CheckLength(int32_t code, std::string_view fileName,
                                       const TextLine& line, std::size_t limit) {
    if (line.LengthWithLineEnd() <= limit) {
        return std::nullopt;
    }
    return LineError(code, fileName, line.number,
                     fmt::format("{} characters with the line end, at most {}",
                                 line.LengthWithLineEnd(), limit));
}

std::string Fields(std::size_t count) {
    return fmt::format("{} field{}", count, count == 1 ? "" : "s");
}

// Reads up to N fields; returns how many there were.
template <std::size_t N>
std::size_t ReadFields(std::string_view text, char separator,
                       std::array<std::string_view, N>& fields) {
    FieldReader reader(text, separator);
    std::size_t count = 0;
    std::string_view field;
    while (count < N && reader.Next(field)) {
        fields[count++] = field;
    }
    return count;
}

}  // namespace

std::optional<TariffError> ReadPrefixTable(std::string_view bytes, EntryList<Prefx>& out) {
    const std::string_view file = kPrefixFileName;
    for (const TextLine& line : SplitLines(bytes)) {
        if (auto error = CheckLength(kFailPrefixFile, file, line, kPrefixLineLimit)) {
            return error;
        }
        if (IsBlankLine(line.text)) {
            continue;
        }
        std::array<std::string_view, 4> fields;
        const std::size_t count = ReadFields(line.text, '-', fields);
        if (count < fields.size()) {
            return LineError(kFailPrefixFile, file, line.number,
                             fmt::format("{}, 4 needed (prefix-N-number length-analysis length)",
                                         Fields(count)));
        }
        if (fields[0].size() > kPrefixTextLimit) {
            return LineError(kFailPrefixFile, file, line.number,
                             fmt::format("prefix text \"{}\" has {} characters, at most {}",
                                         Shown(fields[0]), fields[0].size(), kPrefixTextLimit));
        }
        Prefx entry;
        entry.text = std::string(fields[0]);
        entry.textLength = static_cast<int32_t>(entry.text.size());
        entry.zoneFile = ReadNumber(fields[1]);
        entry.numberLength = ReadNumber(fields[2]);
        entry.analysisLength = ReadNumber(fields[3]);
        if (entry.zoneFile < 0 || entry.zoneFile >= kZoneFiles) {
            return LineError(kFailPrefixFile, file, line.number,
                             fmt::format("zone-file number {} is outside 0..{}", entry.zoneFile,
                                         kZoneFiles - 1));
        }
        out.Append(std::move(entry), line.number);
    }
    return std::nullopt;
}

std::optional<TariffError> ReadCodeFile(std::string_view fileName, std::string_view bytes,
                                        int32_t zoneFile, EntryList<KZona>& out) {
    for (const TextLine& line : SplitLines(bytes)) {
        if (auto error = CheckLength(kFailCodeFile, fileName, line, kCodeLineLimit)) {
            return error;
        }
        if (IsBlankLine(line.text)) {
            continue;
        }
        std::array<std::string_view, 3> fields;
        const std::size_t count = ReadFields(line.text, ' ', fields);
        if (count < fields.size()) {
            return LineError(kFailCodeFile, fileName, line.number,
                             fmt::format("{}, 3 needed (code zone name)", Fields(count)));
        }
        if (fields[0].size() > kCodeTextLimit) {
            return LineError(kFailCodeFile, fileName, line.number,
                             fmt::format("code \"{}\" has {} characters, at most {}",
                                         Shown(fields[0]), fields[0].size(), kCodeTextLimit));
        }
        if (fields[2].size() > kCodeNameLimit) {
            return LineError(kFailCodeFile, fileName, line.number,
                             fmt::format("name \"{}\" has {} characters, at most {}",
                                         Shown(fields[2]), fields[2].size(), kCodeNameLimit));
        }
        KZona entry;
        entry.code = std::string(fields[0]);
        entry.zone = ReadNumber(fields[1]);
        entry.name = std::string(fields[2]);
        entry.zoneFile = zoneFile;
        out.Append(std::move(entry), line.number);
    }
    return std::nullopt;
}

namespace {

constexpr std::size_t kTariffFields = 1 + kHours;  // marker and zone, then 24 prices

// One non-blank line of a tariff record, cut into its fields.
struct TariffLine {
    std::array<std::string_view, kTariffFields> fields;
    std::size_t count = 0;

    explicit TariffLine(const TextLine& line) : count(ReadFields(line.text, ' ', fields)) {}

    // The first field without its marker character.
    int32_t Zone() const { return fields[0].empty() ? 0 : ReadNumber(fields[0].substr(1)); }
};

std::optional<TariffError> ReadPrices(std::string_view fileName, const TextLine& line,
                                      const TariffLine& cut, std::array<int32_t, kHours>& prices) {
    if (cut.count < kTariffFields) {
        return LineError(kFailTariffFile, fileName, line.number,
                         fmt::format("{}, {} needed (marker and zone, 24 prices)",
                                     Fields(cut.count), kTariffFields));
    }
    for (int hour = 0; hour < kHours; ++hour) {
        prices[hour] = ReadNumber(cut.fields[1 + hour]);
    }
    return std::nullopt;
}

}  // namespace

std::optional<TariffError> ReadTariffFile(std::string_view fileName, std::string_view bytes,
                                          EntryList<ZonaTarif>& out,
                                          std::vector<std::string>& notes) {
    std::vector<TextLine> lines;
    for (const TextLine& line : SplitLines(bytes)) {
        if (auto error = CheckLength(kFailTariffFile, fileName, line, kTariffLineLimit)) {
            return error;
        }
        if (!IsBlankLine(line.text)) {
            lines.push_back(line);
        }
    }
    std::size_t i = 0;
    for (; i + 1 < lines.size(); i += 2) {
        ZonaTarif record;
        const TariffLine first(lines[i]);
        record.zone = first.Zone();
        if (auto error = ReadPrices(fileName, lines[i], first, record.ordinary)) {
            return error;
        }
        const TariffLine second(lines[i + 1]);
        if (second.Zone() != record.zone) {
            return MakeTariffError(
                kFailTariffPair,
                fmt::format("{}, lines {} and {}: zone {} on the ordinary line, {} on the "
                            "preferential line",
                            fileName, lines[i].number, lines[i + 1].number, record.zone,
                            second.Zone()));
        }
        if (auto error = ReadPrices(fileName, lines[i + 1], second, record.preferential)) {
            return error;
        }
        out.Append(std::move(record), lines[i].number);
    }
    if (i < lines.size()) {
        notes.push_back(fmt::format("{}, line {}: last line has no partner line; ignored", fileName,
                                    lines[i].number));
    }
    return std::nullopt;
}

}  // namespace miradel
