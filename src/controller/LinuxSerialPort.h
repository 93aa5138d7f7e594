#pragma once
// A serial port on a Linux tty device (/dev/ttyS0, /dev/ttyUSB0, a pseudo-terminal ...).
//
// The line runs raw: no echo, no line editing, no character translation, no flow control,
// reads never wait (VMIN = VTIME = 0 and O_NONBLOCK). Writes never wait either: what the
// kernel does not take at once is kept here and handed over on later calls.
//
// Line errors come from the driver's error counters (TIOCGICOUNT): they tell framing, parity,
// overrun, break and buffer overrun apart, which maps one to one onto the PortFault bits, and
// leave the byte stream untouched. With parity checking on and no marking, the kernel hands a
// byte that arrived with a parity or framing error to us as 0x00, so the frame checksum still
// catches it on drivers without counters. Pseudo-terminals and some USB adapters have no
// counters; CountsLineErrors() tells.
//
// A device that goes away (USB adapter unplugged, the other side of a pseudo-terminal closed)
// makes reads and writes fail: every failing call raises the I/O fault bit, Write returns
// false, and the port stays open until Close; reopening is the caller's decision.
//
// Not thread-safe: one thread (the engine thread) makes all calls.

#include <termios.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "controller/SerialPort.h"

namespace miradel {

// The driver's cumulative line error counts.
struct LineErrorCounts {
    uint32_t framing = 0;
    uint32_t parity = 0;
    uint32_t overrun = 0;  // the UART lost bytes
    uint32_t breaks = 0;
    uint32_t bufferOverrun = 0;  // the kernel's receive buffer was full
};

// PortFault bits for the counts that grew from `before` to `after` (counters may wrap).
uint16_t FaultBitsBetween(const LineErrorCounts& before, const LineErrorCounts& after);

// Makes `tio` (as read from the device) a raw line with these settings; false for settings
// a line cannot have (baud rates outside the standard ones, 5..8 data bits, 1 or 2 stop bits).
bool MakeLineTermios(const SerialSettings& settings, termios& tio);

class LinuxSerialPort final : public SerialPort {
  public:
    explicit LinuxSerialPort(std::string devicePath);
    // Takes over an open tty descriptor, for instance the master side of a pseudo-terminal.
    // Open configures it; Close closes it for good (a later Open fails).
    static std::unique_ptr<LinuxSerialPort> Adopt(int fd, std::string name);
    ~LinuxSerialPort() override;

    LinuxSerialPort(const LinuxSerialPort&) = delete;
    LinuxSerialPort& operator=(const LinuxSerialPort&) = delete;

    bool Open(const SerialSettings& settings) override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }

    // A device without modem lines (a pseudo-terminal) refuses these; that is not an error of
    // the line and only shows in LastError.
    void SetRts(bool on) override;
    void SetDtr(bool on) override;

    bool OutputEmpty() override;
    // Bytes the device does not take at once wait here (up to kMaxPendingOutput). A write that
    // would go beyond that is refused whole with the transmit-buffer-full fault.
    bool Write(std::span<const uint8_t> bytes) override;
    std::size_t Read(std::span<uint8_t> buffer) override;

    uint16_t TakeLineErrors() override;
    void Purge() override;

    std::string LastError() const override { return lastError_; }

    const std::string& DevicePath() const { return path_; }
    // True when the driver keeps line error counters (known after Open).
    bool CountsLineErrors() const { return countsErrors_; }

    static constexpr std::size_t kMaxPendingOutput = 4096;

  private:
    LinuxSerialPort(int fd, std::string name);

    bool Configure(const SerialSettings& settings);
    void SetModemLine(int bit, bool on, const char* name);
    // Hands waiting output to the device; false when the device failed.
    bool FlushPending();
    void DeviceFailed(const char* what, int error);
    bool ReadCounts(LineErrorCounts& counts);

    std::string path_;
    int fd_ = -1;
    bool adopted_ = false;
    int adoptedFd_ = -1;  // an adopted descriptor until Open takes it
    std::vector<uint8_t> pending_;
    uint16_t faults_ = 0;
    bool countsErrors_ = false;
    LineErrorCounts counts_;
    std::string lastError_;
};

}  // namespace miradel
