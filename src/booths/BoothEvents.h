#pragma once
// The events a booth receives through HandleEvent. Every kind accepts every code and ignores
// those it has no use for.

#include <cstdint>

namespace miradel {

enum BoothEvent : uint32_t {
    kEventClose = 0,      // settled with "Расчитать" or "Невостребованно"
    kEventSwitchOn = 1,   // switched on or resumed; argument: advance in hundredths
    kEventHandsetUp = 2,  // controller "A", or "E" with state 1
    kEventDigit = 3,      // argument: 1..9, or 10 for the digit 0
    kEventPolarityReversal = 4,  // controller "D", or "E" with state 2
    kEventHandsetDown = 5,       // controller "B", or "E" with state 0; link stop
    kEventInductor = 6,          // controller "F"
    kEventSecondTick = 7,        // every second, to all 16 booths in panel order
    kEventCloseWithReceipt = 8,  // settled with "Печать"
    kEventError = 9,             // link stop, after event 5
    kEventTenthTick = 10,        // every 100 ms, dial-around booth only
};

}  // namespace miradel
