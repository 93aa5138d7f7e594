#pragma once
// year.dat, the day-type table: 12 lines, January first; character d of line m marks day d of
// month m ("0" ordinary, anything else preferential). Both the engine and the holiday
// calendar read it through here, so they accept and refuse the same files.

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "tariff/TariffError.h"

namespace miradel {

inline constexpr std::string_view kYearFileName = "year.dat";
inline constexpr int kMonths = 12;
inline constexpr std::size_t kYearDays = 31;       // day characters a line holds
inline constexpr std::size_t kYearLineLimit = 33;  // characters before the line end

struct YearRows {
    // Each line as in the file, its line end ("\n", "\r\n", or none for a last line) kept.
    std::array<std::string, kMonths> rows;
    std::optional<TariffError> error;
};

// "Error OPENYEAR" when the file cannot be read; "Error READYEAR" when it has fewer than 12
// lines, or a line with fewer than 31 day characters or more than 33 before its line end.
// Lines after the twelfth are ignored.
YearRows ReadYearFile(const std::filesystem::path& folder);
YearRows ParseYearRows(std::string_view bytes);

}  // namespace miradel
