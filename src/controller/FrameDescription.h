#pragma once
// The texts of the controller debug view: one line per frame sent, received or thrown out.

#include <cstdint>
#include <span>
#include <string>

#include "controller/FrameCodec.h"

namespace miradel {

enum class FrameDirection {
    kSent,      // PC -> controller, "<- "
    kReceived,  // controller -> PC, "-> "
};

// "<- " or "-> " and the text for the frame's code and arguments. A frame that ends before an
// argument the text needs is described up to that argument.
std::string DescribeFrame(const Frame& frame, FrameDirection direction);

// "ERR -> " and each rejected byte as two upper-case hex digits and a blank.
std::string DescribeRejected(std::span<const uint8_t> bytes);

}  // namespace miradel
