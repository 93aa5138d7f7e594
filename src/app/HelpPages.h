#pragma once
// The help pages: one HTML page per topic number in the help folder, the contents page for a
// topic that has none of its own.
#include <filesystem>

namespace miradel {

inline constexpr int kHelpContents = 0;

std::filesystem::path HelpPage(const std::filesystem::path& folder, int topic);

}  // namespace miradel
