#pragma once
// The dial-around list file: plain text, one telephone number per line.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace miradel {

// One list holds at most this many numbers (its counters are signed 16-bit).
inline constexpr std::size_t kMaxDialAroundNumbers = 32767;

// Lines are read in pieces of at most 127 characters. Each piece gives the decimal number
// it starts with (after optional blanks); a piece without one, or with 0, or with a number
// beyond 32 bits, is skipped. An empty line ("\n", or "\r\n" from a Windows editor) or the
// end of the file ends the list. nullopt when the file cannot be opened.
std::optional<std::vector<int32_t>> ReadDialAroundList(const std::filesystem::path& file);

}  // namespace miradel
