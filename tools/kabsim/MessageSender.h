#pragma once
// The controller's outgoing messages: one at a time, in order, each repeated until the PC
// confirms it (command 20) or the repeats run out.
//
// Time is passed in (milliseconds); the owner calls Tick regularly, and right after Queue or
// Confirm so that the next message goes out without delay.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "controller/FrameCodec.h"

namespace miradel::kabsim {

struct SenderOptions {
    int64_t repeatTimeoutMs = 300;
    int maxRepeats = 10;  // sends after the first one before the message is given up
};

class MessageSender {
  public:
    // attempt: 1 for the first send, 2 for the first repeat ...; corrupt: sent with a bad
    // checksum.
    using SendFunction = std::function<void(const Frame& frame, int attempt, bool corrupt)>;
    using GiveUpFunction = std::function<void(const Frame& frame, int attempts)>;

    MessageSender(SenderOptions options, SendFunction send, GiveUpFunction giveUp);

    // data: the message code and its arguments (1..13 bytes; anything else is dropped).
    void Queue(std::span<const uint8_t> data);
    // The PC confirmed; false when no message was waiting for it.
    bool Confirm(int64_t nowMs);
    // Sends what is due: the next message, or a repeat after the time-out.
    void Tick(int64_t nowMs);
    // The PC (re)started the exchange: it gets a full time-out before the message in flight is
    // repeated.
    void RestartTimeout(int64_t nowMs);

    // While silent nothing is sent; the message in flight goes out again when silence ends.
    void SetSilent(bool silent);
    bool Silent() const { return silent_; }
    // The next `count` sends (first sends and repeats) carry a wrong checksum.
    void CorruptNext(int count) { corruptLeft_ = count > 0 ? count : 0; }

    // Nothing waits to be sent or confirmed.
    bool Idle() const { return !inFlight_ && queue_.empty(); }
    std::size_t Queued() const { return queue_.size(); }

  private:
    struct InFlight {
        Frame frame;  // as encoded, with the right checksum
        int attempts = 0;
        int64_t repeatAtMs = 0;
        bool needsSend = true;  // silence kept the last repeat back
    };

    void Send(int64_t nowMs);

    SenderOptions options_;
    SendFunction send_;
    GiveUpFunction giveUp_;
    std::deque<Frame> queue_;
    std::optional<InFlight> inFlight_;
    bool silent_ = false;
    int corruptLeft_ = 0;
};

}  // namespace miradel::kabsim
