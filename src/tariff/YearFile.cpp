#include "tariff/YearFile.h"

#include <fmt/format.h>

#include "common/AtomicFile.h"
#include "tariff/TextLines.h"

namespace miradel {

YearRows ParseYearRows(std::string_view bytes) {
    YearRows year;
    const std::vector<TextLine> lines = SplitLines(bytes);
    if (lines.size() < static_cast<std::size_t>(kMonths)) {
        year.error = MakeTariffError(
            kFailReadYear, fmt::format("{} has {} lines, 12 needed", kYearFileName, lines.size()));
        return year;
    }
    for (int m = 0; m < kMonths; ++m) {
        const TextLine& line = lines[m];
        if (line.text.size() < kYearDays || line.text.size() > kYearLineLimit) {
            year.error = MakeTariffError(
                kFailReadYear,
                fmt::format("{}, line {}: {} characters before the line end, {} to {} needed",
                            kYearFileName, line.number, line.text.size(), kYearDays,
                            kYearLineLimit));
            return year;
        }
        year.rows[m] = std::string(line.raw);
    }
    return year;
}

YearRows ReadYearFile(const std::filesystem::path& folder) {
    const std::filesystem::path path = folder / kYearFileName;
    const auto bytes = ReadWholeFile(path);
    if (!bytes) {
        YearRows year;
        year.error = MakeTariffError(kFailOpenYear, "cannot open " + path.string());
        return year;
    }
    return ParseYearRows(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

}  // namespace miradel
