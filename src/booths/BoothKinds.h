#pragma once
// The kinds of booth a panel position can hold, as stored in kabin.cfg.

#include <cstdint>
#include <string_view>

#include "booths/DisplayElement.h"

namespace miradel {

enum BoothKind : int16_t {
    kKindNone = 0,     // `Kabina` itself: a position without a booth
    kKindAvtomat = 1,  // automatic booth with advance
    kKindZakaz = 2,    // order booth
    kKindVinos = 3,    // remote line
    kKindFax = 4,      // fax line
    kKindAround = 5,   // dial-around line
    kKindUniver = 6,   // universal booth
};

struct BoothKindInfo {
    BoothKind kind;
    std::string_view nameText;  // exact, with its blanks; the booth number follows it
    Colour nameColour;
    Colour nameBackground;
    std::string_view buttonHint;
};

bool IsKnownKind(int kind);                     // 0..6
const BoothKindInfo& KindInfo(BoothKind kind);  // kind must be known
// Kinds that hold an advance, a receipt number and call records.
bool HoldsAdvance(int kind);

}  // namespace miradel
