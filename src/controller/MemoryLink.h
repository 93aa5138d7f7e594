#pragma once
// An in-memory serial cable between the office (the PC end) and a device (the device end),
// for tests and the demo office. Time comes from a Clock, so the cable runs in virtual time.
//
// Bytes travel one after another: a byte written at time T leaves when the bytes before it
// have left and arrives one byte time later (1 ms by default; 9600 baud 8E1 is 1.15 ms).
// OutputEmpty at an end is true once every byte it wrote has arrived. Each end holds at most
// kReceiveCapacity bytes that arrived or are on their way; more are lost and the receiving
// end reports a receive buffer overflow.
//
// Faults: InjectLineErrors makes an end report line errors; Unplug takes the device away. While
// it is away every Read and Write at the PC end fails with the I/O fault (and keeps failing
// until the PC end is closed and opened again after PlugIn, as a real USB adapter does), Open
// at the PC end fails, and what the device writes goes nowhere. Bytes on the way are lost.
//
// Thread-safe: the two ends may be used from different threads.

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "common/Clock.h"
#include "controller/SerialPort.h"

namespace miradel {

class MemoryLink {
  public:
    enum class End { kPc, kDevice };

    static constexpr std::size_t kReceiveCapacity = 4096;

    explicit MemoryLink(const Clock& clock, int64_t byteTimeMs = 1);
    ~MemoryLink();
    MemoryLink(const MemoryLink&) = delete;
    MemoryLink& operator=(const MemoryLink&) = delete;

    SerialPort& PcEnd();
    SerialPort& DeviceEnd();

    // Applies to bytes written from now on; 0 makes bytes arrive at once.
    void SetByteTimeMs(int64_t ms);

    // The end reports these PortFault bits on its next TakeLineErrors.
    void InjectLineErrors(End end, uint16_t faultBits);

    void Unplug();
    void PlugIn();
    bool Plugged() const;

    // What each end was set to, for tests.
    std::optional<SerialSettings> OpenedWith(End end) const;  // nullopt while closed
    int OpenCount(End end) const;
    bool Rts(End end) const;
    bool Dtr(End end) const;
    // Bytes written by `from` that have not yet been read at the other end.
    std::size_t BytesUnread(End from) const;

  private:
    class Port;
    struct InFlight {
        int64_t arrivalMs;
        uint8_t byte;
    };
    struct Side {
        bool open = false;
        bool stale = false;  // the device went away under this open port
        SerialSettings settings;
        int openCount = 0;
        bool rts = false;
        bool dtr = false;
        uint16_t faults = 0;
        std::deque<InFlight> incoming;
        int64_t lastArrivalMs = 0;  // of the bytes this side wrote
        std::string lastError;
    };

    Side& SideOf(End end) { return end == End::kPc ? pc_ : device_; }
    const Side& SideOf(End end) const { return end == End::kPc ? pc_ : device_; }
    Side& OtherOf(End end) { return end == End::kPc ? device_ : pc_; }

    bool Open(End end, const SerialSettings& settings);
    void Close(End end);
    bool IsOpen(End end) const;
    void SetRts(End end, bool on);
    void SetDtr(End end, bool on);
    bool OutputEmpty(End end);
    bool Write(End end, std::span<const uint8_t> bytes);
    std::size_t Read(End end, std::span<uint8_t> buffer);
    uint16_t TakeLineErrors(End end);
    void Purge(End end);
    std::string LastError(End end) const;

    // The PC end's call meets a device that is not there.
    bool FailsForMissingDevice(End end, const char* what);

    const Clock& clock_;
    mutable std::mutex mutex_;
    int64_t byteTimeMs_;
    bool plugged_ = true;
    Side pc_;
    Side device_;
    std::unique_ptr<Port> pcPort_;
    std::unique_ptr<Port> devicePort_;
};

}  // namespace miradel
