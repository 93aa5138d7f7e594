#pragma once
// A serial port with a scripted controller behind it, for exchange tests in virtual time:
// it cuts the PC's frames, acknowledges them when told to, and lets a test inject messages.

#include <deque>
#include <vector>

#include "common/Clock.h"
#include "controller/FrameReceiver.h"
#include "controller/SerialPort.h"

namespace miradel::testing {

class FakeControllerPort final : public SerialPort {
  public:
    struct Sent {
        Frame frame;
        int64_t atMs;
    };

    explicit FakeControllerPort(const Clock& clock) : clock_(clock) {}

    bool Open(const SerialSettings& settings) override {
        ++opens;
        if (openFails) {
            return false;
        }
        settings_ = settings;
        open_ = true;
        return true;
    }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    void SetRts(bool on) override { rts = on; }
    void SetDtr(bool on) override { dtr = on; }
    bool OutputEmpty() override { return outputEmpty; }
    bool Write(std::span<const uint8_t> bytes) override {
        if (!open_) {
            return false;
        }
        for (uint8_t b : bytes) {
            written.push_back(b);
            const ReceiveOutcome o = cutter_.FeedByte(b);
            if (o.kind == ReceiveKind::kFrame) {
                sent.push_back({o.bytes, clock_.MonotonicMs()});
                if (autoAck && o.bytes.At(2) != 20) {
                    Inject({0x7E, 0x02, 0x40, 0x42});
                }
            }
        }
        return true;
    }
    std::size_t Read(std::span<uint8_t> buffer) override {
        std::size_t n = 0;
        while (open_ && n < buffer.size() && !incoming_.empty()) {
            buffer[n++] = incoming_.front();
            incoming_.pop_front();
        }
        return n;
    }
    uint16_t TakeLineErrors() override {
        const uint16_t f = faults;
        faults = 0;
        return f;
    }
    void Purge() override {
        ++purges;
        incoming_.clear();
    }
    std::string LastError() const override { return open_ ? "" : "closed"; }

    void Inject(std::initializer_list<uint8_t> bytes) { incoming_.insert(incoming_.end(), bytes); }
    void Inject(const Frame& frame) {
        incoming_.insert(incoming_.end(), frame.Bytes().begin(), frame.Bytes().end());
    }

    // Frames of one command code sent so far.
    std::vector<Sent> SentWithCode(uint8_t code) const {
        std::vector<Sent> out;
        for (const Sent& s : sent) {
            if (s.frame.At(2) == code)
                out.push_back(s);
        }
        return out;
    }

    bool autoAck = true;
    bool openFails = false;
    bool outputEmpty = true;
    bool rts = true;
    bool dtr = false;
    int opens = 0;
    int purges = 0;
    uint16_t faults = 0;
    std::vector<uint8_t> written;
    std::vector<Sent> sent;

  private:
    const Clock& clock_;
    SerialSettings settings_;
    bool open_ = false;
    FrameReceiver cutter_;  // the controller's side cuts our frames the same way
    std::deque<uint8_t> incoming_;
};

}  // namespace miradel::testing
