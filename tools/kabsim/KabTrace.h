#pragma once
// One readable line per simulator event, for --verbose: the frame texts of the office's debug
// view ("<- " for what the PC sent, "-> " for what the controller sent), the bytes, and what
// the simulator made of them.

#include <cstdint>
#include <string>

#include "KabSim.h"

namespace miradel::kabsim {

// "   2.300 -> поднята трубка - 3  [7E 03 41 03 47]"; the time in seconds since originMs.
std::string DescribeEvent(const KabEvent& event, int64_t originMs);

}  // namespace miradel::kabsim
