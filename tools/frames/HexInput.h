#pragma once
// Reading the byte notations miradel-frames accepts.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace miradel::frames {

struct InputError {
    std::size_t line = 0;  // 1-based; 0 when the input has no lines
    std::string token;
    std::string reason;
};

// Hex text: whitespace-separated bytes of one or two hex digits, each with an optional 0x,
// '#' starting a comment to the end of the line. Calls onByte for each byte in order and stops
// at the first bad token.
std::optional<InputError> ReadHexBytes(std::istream& in,
                                       const std::function<void(uint8_t)>& onByte);

// Decimal bytes 0..255 separated by blanks, e.g. "3 4 2".
struct DecimalBytes {
    std::vector<uint8_t> bytes;
    std::optional<InputError> error;
};
DecimalBytes ParseDecimalBytes(std::string_view text);

}  // namespace miradel::frames
