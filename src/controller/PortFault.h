#pragma once
// Line errors the serial port reports, and the word the debug window shows for them.

#include <cstdint>
#include <string_view>

namespace miradel {

// One bit per kind of line error; a report may carry several.
enum PortFaultBit : uint16_t {
    kPortFaultFraming = 1u << 0,
    kPortFaultRxParity = 1u << 1,
    kPortFaultOverrun = 1u << 2,
    kPortFaultBreak = 1u << 3,
    kPortFaultIo = 1u << 4,
    kPortFaultMode = 1u << 5,
    kPortFaultRxOver = 1u << 6,  // receive buffer overflow
    kPortFaultTxFull = 1u << 7,  // transmit buffer full
};

// The word of the first set bit in the order above; "Error hardware RS-232" for none of them.
std::string_view PortFaultWord(uint16_t faultBits);

}  // namespace miradel
