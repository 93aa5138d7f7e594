#pragma once
// What a booth tells about itself (GetInfo), by value, so it can be read on another thread
// after the booth has moved on.

#include <cstdint>
#include <string>
#include <vector>

#include "booths/InfoKabin.h"

namespace miradel {

struct BoothSnapshot {
    int16_t state = 0;
    int16_t boothNumber = 0;
    int32_t panel = 0;
    int32_t advanceLeft = 0;   // hundredths
    int32_t advanceTaken = 0;  // all advances taken since switch-on, hundredths
    int16_t calls = 0;         // call records held
    int16_t kind = 0;
    int32_t receiptNumber = 0;       // given to the booth's receipt at switch-on
    std::string digits;              // the digits being dialled now
    std::vector<InfoKabin> records;  // the call records, oldest first

    friend bool operator==(const BoothSnapshot&, const BoothSnapshot&) = default;
};

}  // namespace miradel
