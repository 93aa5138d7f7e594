#pragma once
// One call made from a booth against its advance. The booth keeps its records, oldest first,
// until the booth is settled.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace miradel {

inline constexpr int kMaxCallRecords = 30;  // a 31st call on one advance is refused
inline constexpr int kMaxDialledDigits = 20;

struct InfoKabin {
    int16_t boothNumber = 0;
    std::array<char, 34> digits{};  // the dialled number as dialled, zero-terminated
    int32_t duration = 0;           // billed seconds
    int32_t year = 0;               // call start
    uint8_t day = 0;
    uint8_t month = 0;
    uint8_t minute = 0;
    uint8_t hour = 0;
    uint8_t hundredths = 0;
    uint8_t second = 0;
    int32_t tariff = 0;  // price of one minute, hundredths
    int32_t charge = 0;  // hundredths

    std::string_view Digits() const;
    void SetDigits(std::string_view dialled);  // keeps at most 33 characters

    friend bool operator==(const InfoKabin&, const InfoKabin&) = default;
};

}  // namespace miradel
