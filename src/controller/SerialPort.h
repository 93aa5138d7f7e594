#pragma once
// A serial line as the exchange engines see it: the booth controller's line (9600 baud, 8 data
// bits, even parity, 1 stop bit) and the LCD line (2400 baud 8N1). Real ports, in-memory
// ports and simulators all stand behind this interface; the engine picks one at run time.
//
// All calls are made from the engine thread; none of them blocks.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace miradel {

enum class Parity { None, Even, Odd };

struct SerialSettings {
    int baud = 9600;
    int dataBits = 8;
    Parity parity = Parity::Even;  // parity errors are detected and reported
    int stopBits = 1;
};

inline constexpr SerialSettings kControllerLineSettings{9600, 8, Parity::Even, 1};
inline constexpr SerialSettings kLcdLineSettings{2400, 8, Parity::None, 1};

class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // Opens the line with no flow control; false (and LastError) when it cannot be opened.
    virtual bool Open(const SerialSettings& settings) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    virtual void SetRts(bool on) = 0;
    virtual void SetDtr(bool on) = 0;

    // True when every byte written so far has left the port.
    virtual bool OutputEmpty() = 0;
    // Queues the bytes for sending; false on a write error (the line has gone).
    virtual bool Write(std::span<const uint8_t> bytes) = 0;
    // Copies up to buffer.size() received bytes, in arrival order; 0 when none are waiting.
    virtual std::size_t Read(std::span<uint8_t> buffer) = 0;

    // Line errors seen since the last call, as PortFault bits (0 when none); a read or write
    // error of the device counts as an I/O fault.
    virtual uint16_t TakeLineErrors() = 0;
    // Drops everything waiting in both directions.
    virtual void Purge() = 0;

    virtual std::string LastError() const = 0;
};

}  // namespace miradel
