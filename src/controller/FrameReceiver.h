#pragma once
// Cuts frames out of the byte stream from the controller, one byte at a time, and throws out
// whatever cannot be a frame: bytes before a start byte, a length below 2, more than 8 bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "controller/FrameCodec.h"

namespace miradel {

// Words for the debug window's input-error field.
inline constexpr std::string_view kInputErrorNoStart = "Error in. kod";
inline constexpr std::string_view kInputErrorSmall = "Error small message";
inline constexpr std::string_view kInputErrorLong = "Error long message";

// The longest frame we accept from the controller (length byte 6).
inline constexpr std::size_t kMaxReceivedFrame = 8;

enum class ReceiveKind {
    kNothing,          // nothing complete yet
    kAcknowledgement,  // "@" arrived; taken without a checksum test
    kFrame,            // any other complete frame, checksum not yet tested
    kRejected,         // these bytes were thrown out
};

// What one byte brought.
struct ReceiveOutcome {
    ReceiveKind kind = ReceiveKind::kNothing;
    // The frame (kAcknowledgement, kFrame) or the rejected bytes (kRejected).
    Frame bytes;
    // The word this byte puts into the input-error field, empty when it leaves the field alone.
    std::string_view inputError;
};

class FrameReceiver {
  public:
    ReceiveOutcome FeedByte(uint8_t byte);

    // Forgets the bytes gathered so far and leaves error mode.
    void Reset();

    // Bytes gathered and not yet handed out as a frame or a rejected run.
    std::size_t Pending() const { return count_; }
    bool InErrorMode() const { return errorMode_; }

  private:
    // The gathered bytes as a run, and the count back to 0.
    Frame TakeGathered();

    std::array<uint8_t, kFrameCapacity> buffer_{};
    std::size_t count_ = 0;
    bool errorMode_ = false;
};

}  // namespace miradel
