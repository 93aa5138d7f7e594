#pragma once
// Money typed by the operator ("12.5", "0.29", "5.") read exactly as hundredths, never
// through floating point, where 0.29 would become 28.

#include <optional>
#include <string_view>

#include "common/Money.h"

namespace miradel {

// Reads the text as a decimal number: leading blanks, an optional sign, units, an optional
// point and its digits. Reading stops at the first character that cannot continue the
// number; a text with no digits reads as 0. Digits after the second decimal are dropped
// (money truncates). nullopt when the amount does not fit in a money counter.
std::optional<Money> ReadAmount(std::string_view text);

}  // namespace miradel
