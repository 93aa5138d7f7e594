#pragma once
// Runs controller traffic through the receiver and prints what the debug view would list.

#include <cstdint>
#include <ostream>
#include <string_view>

#include "controller/FrameReceiver.h"

namespace miradel::frames {

class TrafficPrinter {
  public:
    explicit TrafficPrinter(std::ostream& out) : out_(out) {}

    // One line for a frame or a rejected run; the input-error word when it appears (a run of
    // bytes that keep showing the same word prints it once).
    void Feed(uint8_t byte);

  private:
    std::ostream& out_;
    FrameReceiver receiver_;
    std::string_view shownInputError_;
};

}  // namespace miradel::frames
