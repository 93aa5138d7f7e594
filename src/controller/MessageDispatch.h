#pragma once
// What the PC does with each message from the controller, and whether it must confirm it.

#include "controller/FrameCodec.h"

namespace miradel {

// The side of the link that acts on messages: the exchange and, through it, the booths.
class MessageTarget {
  public:
    // Booth events raised by controller messages.
    static constexpr int kEventHandsetUp = 2;
    static constexpr int kEventDigit = 3;  // argument: 1..9, or 10 for the digit 0
    static constexpr int kEventPolarityReversal = 4;
    static constexpr int kEventHandsetDown = 5;
    static constexpr int kEventInductor = 6;

    // Link-stop reasons raised by controller messages.
    static constexpr int kStopByController = 0;  // message FC
    static constexpr int kStopTimeOut = 1;       // message FD

    virtual ~MessageTarget() = default;

    // The controller received our last frame ("@").
    virtual void Acknowledge() = 0;
    // One booth event for the booth at panelIndex 0..15; a position without a booth ignores it.
    virtual void DeliverBoothEvent(int panelIndex, int eventCode, int argument) = 0;
    // Called right before StopLink: the debug window records the acknowledgement-wait and
    // send-delay counts.
    virtual void NoteLinkCounters() = 0;
    virtual void StopLink(int reason) = 0;
};

// Acts on one message whose checksum is right. Returns true when we must answer it with a
// confirmation (command 20); everything it raises has already happened by then.
// A message too short for its arguments, or for a line above 15, is confirmed and ignored.
[[nodiscard]] bool DispatchMessage(const Frame& frame, MessageTarget& target);

// Processes the received frames one at a time, in order. The controller repeats a message we
// do not confirm, so a bad frame is dropped silently, except that the third bad frame in a row
// is confirmed to let the controller move on.
class FrameProcessor {
  public:
    static constexpr int kBadFramesBeforeConfirm = 3;

    // Returns true when a confirmation must be queued.
    [[nodiscard]] bool Process(const Frame& frame, MessageTarget& target);

    int ConsecutiveBadFrames() const { return consecutiveBad_; }
    void Reset() { consecutiveBad_ = 0; }

  private:
    int consecutiveBad_ = 0;
};

}  // namespace miradel
