#pragma once
// The one way a number is read from a field of the tariff files and year.dat.

#include <cstdint>
#include <string_view>

namespace miradel {

// Leading blanks are skipped, an optional sign is taken, then digits up to the first character
// that is not one; a field without digits reads as 0. A value beyond the 32-bit range is held
// at the nearest limit rather than wrapping.
int32_t ReadNumber(std::string_view field);

}  // namespace miradel
