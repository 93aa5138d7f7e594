#pragma once
// incass.cfg: the 26 texts of the cash collection and cash report printouts, read once when
// the cash window is created at start-up. Lines 2 to 5, 15 to 17, 23 and 24 are printf-style
// templates for the values named below; the rest are plain texts and prefixes.

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/config/LoadError.h"

namespace miradel {

inline constexpr const char* kIncassCfgName = "incass.cfg";

class IncassTexts {
  public:
    static constexpr std::size_t kCount = 26;

    IncassTexts() = default;
    explicit IncassTexts(std::array<std::string, kCount> lines) : lines_(std::move(lines)) {}

    const std::string& Line(std::size_t n) const;  // empty for n out of range

  private:
    std::array<std::string, kCount> lines_{};
};

struct IncassLoad {
    IncassTexts texts;
    std::optional<LoadError> error;     // "Error open incass.cfg": start-up stops
    std::vector<std::string> warnings;  // cut lines and templates that do not fit their values
};

// A template that does not fit its values is still used: the filler prints what it cannot
// fill as text, so a bad line shows on paper and never misreads a value.
IncassLoad LoadIncassTexts(const std::filesystem::path& folder);

}  // namespace miradel
