#pragma once
// Where the controller link delivers booth events. The office routes them to the booth at the
// panel position, on the engine thread.

#include <cstdint>

namespace miradel {

class BoothEventSink {
  public:
    virtual ~BoothEventSink() = default;
    virtual void RaiseBoothEvent(int panel, uint32_t event, int32_t argument) = 0;
};

}  // namespace miradel
