#pragma once
// Blanks around what the operator typed or a file holds: spaces, tabs and line ends.
#include <string_view>

namespace miradel {

inline std::string_view TrimBlanks(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace miradel
