#include "controller/FrameReceiver.h"

#include "controller/ControllerCodes.h"

namespace miradel {

namespace {

ReceiveOutcome Rejected(Frame bytes, std::string_view inputError = {}) {
    return {ReceiveKind::kRejected, bytes, inputError};
}

}  // namespace

Frame FrameReceiver::TakeGathered() {
    Frame gathered(std::span<const uint8_t>(buffer_.data(), count_));
    count_ = 0;
    return gathered;
}

void FrameReceiver::Reset() {
    count_ = 0;
    errorMode_ = false;
}

ReceiveOutcome FrameReceiver::FeedByte(uint8_t byte) {
    ReceiveOutcome outcome;

    // Outside a frame every byte up to the next start byte is garbage. It is kept so that the
    // debug view can show it, 16 bytes to a line.
    if ((count_ == 0 || errorMode_) && byte != kFrameStart) {
        errorMode_ = true;
        buffer_[count_++] = byte;
        if (count_ == kFrameCapacity) {
            return Rejected(TakeGathered(), kInputErrorNoStart);
        }
        outcome.inputError = kInputErrorNoStart;
        return outcome;
    }

    // A start byte ends a garbage run.
    if (errorMode_) {
        errorMode_ = false;
        if (count_ > 0) {
            outcome = Rejected(TakeGathered());
        }
    }

    buffer_[count_++] = byte;

    if (count_ > 3 && count_ == std::size_t{buffer_[1]} + 2) {
        Frame frame = TakeGathered();
        const bool isAcknowledgement =
            frame.At(2) == static_cast<uint8_t>(MessageCode::kAcknowledgement);
        return {isAcknowledgement ? ReceiveKind::kAcknowledgement : ReceiveKind::kFrame, frame, {}};
    }
    if (count_ == 2 && buffer_[1] < 2) {
        return Rejected(TakeGathered(), kInputErrorSmall);
    }
    if (count_ == kMaxReceivedFrame) {
        return Rejected(TakeGathered(), kInputErrorLong);
    }
    return outcome;
}

}  // namespace miradel
