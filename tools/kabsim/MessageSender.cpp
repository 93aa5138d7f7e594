#include "MessageSender.h"

#include <utility>

#include "controller/ControllerCodes.h"

namespace miradel::kabsim {

namespace {

Frame WithBadChecksum(const Frame& frame) {
    std::vector<uint8_t> bytes(frame.Bytes().begin(), frame.Bytes().end());
    bytes.back() = static_cast<uint8_t>(bytes.back() + 1);
    return Frame(bytes);
}

// The PC never confirms the stop message, so waiting for it would only repeat it.
bool AwaitsConfirmation(const Frame& frame) {
    return frame.At(2) != static_cast<uint8_t>(MessageCode::kStopExchange);
}

}  // namespace

MessageSender::MessageSender(SenderOptions options, SendFunction send, GiveUpFunction giveUp)
    : options_(options), send_(std::move(send)), giveUp_(std::move(giveUp)) {}

void MessageSender::Queue(std::span<const uint8_t> data) {
    const Frame frame = EncodeFrame(data);
    if (!frame.Empty()) {
        queue_.push_back(frame);
    }
}

bool MessageSender::Confirm(int64_t nowMs) {
    if (!inFlight_ || inFlight_->attempts == 0) {
        return false;
    }
    inFlight_.reset();
    Tick(nowMs);
    return true;
}

void MessageSender::RestartTimeout(int64_t nowMs) {
    if (inFlight_ && inFlight_->attempts > 0) {
        inFlight_->repeatAtMs = nowMs + options_.repeatTimeoutMs;
    }
}

void MessageSender::SetSilent(bool silent) {
    silent_ = silent;
}

void MessageSender::Send(int64_t nowMs) {
    InFlight& message = *inFlight_;
    ++message.attempts;
    message.needsSend = false;
    message.repeatAtMs = nowMs + options_.repeatTimeoutMs;
    const bool corrupt = corruptLeft_ > 0;
    if (corrupt) {
        --corruptLeft_;
    }
    const Frame frame = message.frame;
    const int attempt = message.attempts;
    if (!AwaitsConfirmation(frame)) {
        inFlight_.reset();
    }
    send_(corrupt ? WithBadChecksum(frame) : frame, attempt, corrupt);
}

void MessageSender::Tick(int64_t nowMs) {
    // Bounded: each round either sends once or retires a message.
    for (;;) {
        if (silent_) {
            if (inFlight_ && inFlight_->repeatAtMs <= nowMs) {
                inFlight_->needsSend = true;
            }
            return;
        }
        if (!inFlight_) {
            if (queue_.empty()) {
                return;
            }
            inFlight_ = InFlight{queue_.front()};
            queue_.pop_front();
        }
        if (!inFlight_->needsSend && inFlight_->repeatAtMs > nowMs) {
            return;
        }
        if (inFlight_->attempts > options_.maxRepeats) {
            const InFlight lost = *inFlight_;
            inFlight_.reset();
            giveUp_(lost.frame, lost.attempts);
            continue;
        }
        Send(nowMs);
        return;
    }
}

}  // namespace miradel::kabsim
