#pragma once
// Conversions between the program's UTF-8 strings and the Windows-1251 bytes of the office's
// files and devices, and the character counts that receipt columns are measured in.

#include <cstddef>
#include <string>
#include <string_view>

namespace miradel {

// Never fails: a byte with no character (0x98) becomes '?'.
std::string Cp1251ToUtf8(std::string_view cp1251);

struct Cp1251Encoded {
    std::string bytes;
    bool lossless = true;  // false when some character had to become '?'
};

// Characters Windows-1251 cannot hold, and each byte of malformed UTF-8, become '?'.
Cp1251Encoded Utf8ToCp1251Checked(std::string_view utf8);

// The same conversion for callers that accept the '?' replacements silently.
inline std::string Utf8ToCp1251(std::string_view utf8) {
    return Utf8ToCp1251Checked(utf8).bytes;
}

// Number of characters (code points). A byte that does not belong to well-formed UTF-8 counts
// as one character, just as the encoder turns it into one '?'.
std::size_t Utf8Length(std::string_view utf8);

// The longest head of the text with at most maxChars characters, never cutting one in two.
std::string_view Utf8Prefix(std::string_view utf8, std::size_t maxChars);

}  // namespace miradel
