#pragma once
// A serial port wrapper that times, for every controller message, the span from its last byte
// read to the last byte of the confirmation written for it.

#include <chrono>
#include <deque>
#include <vector>

#include "controller/FrameReceiver.h"
#include "controller/SerialPort.h"

namespace miradel {

class TimedPort final : public SerialPort {
  public:
    explicit TimedPort(SerialPort& inner) : inner_(inner) {}

    bool Open(const SerialSettings& s) override { return inner_.Open(s); }
    void Close() override { inner_.Close(); }
    bool IsOpen() const override { return inner_.IsOpen(); }
    void SetRts(bool on) override { inner_.SetRts(on); }
    void SetDtr(bool on) override { inner_.SetDtr(on); }
    bool OutputEmpty() override { return inner_.OutputEmpty(); }
    uint16_t TakeLineErrors() override { return inner_.TakeLineErrors(); }
    void Purge() override { inner_.Purge(); }
    std::string LastError() const override { return inner_.LastError(); }

    std::size_t Read(std::span<uint8_t> buffer) override {
        const std::size_t n = inner_.Read(buffer);
        for (std::size_t i = 0; i < n; ++i) {
            if (incoming_.FeedByte(buffer[i]).kind == ReceiveKind::kFrame) {
                messagesAt_.push_back(Clock::now());
            }
        }
        return n;
    }

    bool Write(std::span<const uint8_t> bytes) override {
        const bool ok = inner_.Write(bytes);
        for (uint8_t b : bytes) {
            const ReceiveOutcome o = outgoing_.FeedByte(b);
            if (o.kind == ReceiveKind::kFrame && o.bytes.At(2) == 20 && !messagesAt_.empty()) {
                latenciesMs_.push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - messagesAt_.front())
                        .count());
                messagesAt_.pop_front();
            }
        }
        return ok;
    }

    const std::vector<double>& LatenciesMs() const { return latenciesMs_; }

  private:
    using Clock = std::chrono::steady_clock;
    SerialPort& inner_;
    FrameReceiver incoming_;
    FrameReceiver outgoing_;
    std::deque<Clock::time_point> messagesAt_;
    std::vector<double> latenciesMs_;
};

}  // namespace miradel
