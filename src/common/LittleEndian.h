#pragma once
// Reading and writing little-endian integers inside byte images, whatever the host order.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace miradel {

inline int32_t ReadI32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 |
                                static_cast<uint32_t>(p[3]) << 24);
}

inline int16_t ReadI16(const uint8_t* p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | p[1] << 8));
}

inline void WriteI32(uint8_t* p, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

inline void WriteI16(uint8_t* p, int16_t value) {
    const auto v = static_cast<uint16_t>(value);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

inline float ReadF32(const uint8_t* p) {
    const auto bits = static_cast<uint32_t>(ReadI32(p));
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

inline void WriteF32(uint8_t* p, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    WriteI32(p, static_cast<int32_t>(bits));
}

}  // namespace miradel
