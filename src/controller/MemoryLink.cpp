#include "controller/MemoryLink.h"

#include <algorithm>
#include <utility>

#include "controller/PortFault.h"

namespace miradel {

// One end of the cable as a SerialPort; every call goes to the link under its lock.
class MemoryLink::Port final : public SerialPort {
  public:
    Port(MemoryLink& link, End end) : link_(link), end_(end) {}

    bool Open(const SerialSettings& settings) override { return link_.Open(end_, settings); }
    void Close() override { link_.Close(end_); }
    bool IsOpen() const override { return link_.IsOpen(end_); }
    void SetRts(bool on) override { link_.SetRts(end_, on); }
    void SetDtr(bool on) override { link_.SetDtr(end_, on); }
    bool OutputEmpty() override { return link_.OutputEmpty(end_); }
    bool Write(std::span<const uint8_t> bytes) override { return link_.Write(end_, bytes); }
    std::size_t Read(std::span<uint8_t> buffer) override { return link_.Read(end_, buffer); }
    uint16_t TakeLineErrors() override { return link_.TakeLineErrors(end_); }
    void Purge() override { link_.Purge(end_); }
    std::string LastError() const override { return link_.LastError(end_); }

  private:
    MemoryLink& link_;
    End end_;
};

MemoryLink::MemoryLink(const Clock& clock, int64_t byteTimeMs)
    : clock_(clock),
      byteTimeMs_(std::max<int64_t>(byteTimeMs, 0)),
      pcPort_(std::make_unique<Port>(*this, End::kPc)),
      devicePort_(std::make_unique<Port>(*this, End::kDevice)) {}

MemoryLink::~MemoryLink() = default;

SerialPort& MemoryLink::PcEnd() {
    return *pcPort_;
}

SerialPort& MemoryLink::DeviceEnd() {
    return *devicePort_;
}

void MemoryLink::SetByteTimeMs(int64_t ms) {
    std::lock_guard lock(mutex_);
    byteTimeMs_ = std::max<int64_t>(ms, 0);
}

void MemoryLink::InjectLineErrors(End end, uint16_t faultBits) {
    std::lock_guard lock(mutex_);
    SideOf(end).faults |= faultBits;
}

void MemoryLink::Unplug() {
    std::lock_guard lock(mutex_);
    plugged_ = false;
    pc_.stale = pc_.open;
    for (Side* side : {&pc_, &device_}) {
        side->incoming.clear();
        side->lastArrivalMs = 0;
    }
}

void MemoryLink::PlugIn() {
    std::lock_guard lock(mutex_);
    plugged_ = true;
}

bool MemoryLink::Plugged() const {
    std::lock_guard lock(mutex_);
    return plugged_;
}

std::optional<SerialSettings> MemoryLink::OpenedWith(End end) const {
    std::lock_guard lock(mutex_);
    const Side& side = SideOf(end);
    return side.open ? std::optional(side.settings) : std::nullopt;
}

int MemoryLink::OpenCount(End end) const {
    std::lock_guard lock(mutex_);
    return SideOf(end).openCount;
}

bool MemoryLink::Rts(End end) const {
    std::lock_guard lock(mutex_);
    return SideOf(end).rts;
}

bool MemoryLink::Dtr(End end) const {
    std::lock_guard lock(mutex_);
    return SideOf(end).dtr;
}

std::size_t MemoryLink::BytesUnread(End from) const {
    std::lock_guard lock(mutex_);
    return SideOf(from == End::kPc ? End::kDevice : End::kPc).incoming.size();
}

bool MemoryLink::FailsForMissingDevice(End end, const char* what) {
    Side& side = SideOf(end);
    if (end != End::kPc || !side.stale) {
        return false;
    }
    side.faults |= kPortFaultIo;
    side.lastError = std::string(what) + ": the device is gone";
    return true;
}

bool MemoryLink::Open(End end, const SerialSettings& settings) {
    std::lock_guard lock(mutex_);
    Side& side = SideOf(end);
    if (end == End::kPc && !plugged_) {
        side.lastError = "cannot open the memory link: no device";
        return false;
    }
    side.open = true;
    side.stale = false;
    side.settings = settings;
    side.faults = 0;
    side.incoming.clear();
    side.lastError.clear();
    ++side.openCount;
    return true;
}

void MemoryLink::Close(End end) {
    std::lock_guard lock(mutex_);
    Side& side = SideOf(end);
    side.open = false;
    side.stale = false;
    side.incoming.clear();
}

bool MemoryLink::IsOpen(End end) const {
    std::lock_guard lock(mutex_);
    return SideOf(end).open;
}

void MemoryLink::SetRts(End end, bool on) {
    std::lock_guard lock(mutex_);
    SideOf(end).rts = on;
}

void MemoryLink::SetDtr(End end, bool on) {
    std::lock_guard lock(mutex_);
    SideOf(end).dtr = on;
}

bool MemoryLink::OutputEmpty(End end) {
    std::lock_guard lock(mutex_);
    const Side& side = SideOf(end);
    return side.stale || clock_.MonotonicMs() >= side.lastArrivalMs;
}

bool MemoryLink::Write(End end, std::span<const uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    Side& side = SideOf(end);
    if (!side.open) {
        side.lastError = "write: the port is not open";
        return false;
    }
    if (FailsForMissingDevice(end, "write")) {
        return false;
    }
    if (!plugged_) {
        return true;  // the unplugged device talks into nothing
    }
    Side& other = OtherOf(end);
    const int64_t now = clock_.MonotonicMs();
    for (uint8_t byte : bytes) {
        side.lastArrivalMs = std::max(side.lastArrivalMs, now) + byteTimeMs_;
        if (other.incoming.size() >= kReceiveCapacity) {
            other.faults |= kPortFaultRxOver;
            continue;
        }
        other.incoming.push_back({side.lastArrivalMs, byte});
    }
    return true;
}

std::size_t MemoryLink::Read(End end, std::span<uint8_t> buffer) {
    std::lock_guard lock(mutex_);
    Side& side = SideOf(end);
    if (!side.open || FailsForMissingDevice(end, "read")) {
        return 0;
    }
    const int64_t now = clock_.MonotonicMs();
    std::size_t count = 0;
    while (count < buffer.size() && !side.incoming.empty() &&
           side.incoming.front().arrivalMs <= now) {
        buffer[count++] = side.incoming.front().byte;
        side.incoming.pop_front();
    }
    return count;
}

uint16_t MemoryLink::TakeLineErrors(End end) {
    std::lock_guard lock(mutex_);
    return std::exchange(SideOf(end).faults, 0);
}

void MemoryLink::Purge(End end) {
    std::lock_guard lock(mutex_);
    Side& side = SideOf(end);
    side.incoming.clear();
    // Bytes still waiting to leave this end are dropped; those on the wire arrive.
    const int64_t now = clock_.MonotonicMs();
    std::deque<InFlight>& outgoing = OtherOf(end).incoming;
    while (!outgoing.empty() && outgoing.back().arrivalMs > now + byteTimeMs_) {
        outgoing.pop_back();
    }
    side.lastArrivalMs = outgoing.empty() ? std::min(side.lastArrivalMs, now + byteTimeMs_)
                                          : outgoing.back().arrivalMs;
}

std::string MemoryLink::LastError(End end) const {
    std::lock_guard lock(mutex_);
    return SideOf(end).lastError;
}

}  // namespace miradel
