#pragma once
// Byte strings written the way the debug view shows them: "7E 02 40 42".

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "controller/FrameCodec.h"

namespace miradel::testing {

inline std::vector<uint8_t> HexBytes(std::string_view text) {
    std::vector<uint8_t> bytes;
    std::istringstream in{std::string(text)};
    std::string token;
    while (in >> token) {
        bytes.push_back(static_cast<uint8_t>(std::stoul(token, nullptr, 16)));
    }
    return bytes;
}

inline Frame HexFrame(std::string_view text) {
    return Frame(HexBytes(text));
}

inline std::string HexText(std::span<const uint8_t> bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t byte : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += kHex[byte >> 4];
        text += kHex[byte & 0x0F];
    }
    return text;
}

}  // namespace miradel::testing
