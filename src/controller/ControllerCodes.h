#pragma once
// Command codes the PC sends to the booth controller and message codes it sends back.

#include <cstdint>

namespace miradel {

// PC -> controller, the first data byte of a command frame.
enum class CommandCode : uint8_t {
    kKeepAlive = 0,     // nothing to do; sent after silence on the line
    kStart = 1,         // start of the exchange
    kCheckState = 2,    // never sent, known to the debug view
    kSetLineState = 3,  // line, LineState
    kAskLineState = 4,  // line; answered by message kLineState
    kStopReset = 5,     // never sent, known to the debug view
    kDialDigit = 6,     // line, digit (0 goes as 10)
    kShortWhistle = 7,  // line; the 30-second warning
    kCallSignal = 8,    // ring the operator's call signal
    kCancelCallSignal = 9,
    kConfirmation = 20,  // we received and processed a message
};

// Argument of kSetLineState.
enum class LineState : uint8_t {
    kOff = 0,
    kConnected = 1,     // dial tone, no talk
    kMicrophoneOn = 2,  // talk
    kWhistle = 3,
};

// Controller -> PC, the first data byte of a message frame. Messages with a line carry it in
// the second data byte (panel position 0..15).
enum class MessageCode : uint8_t {
    kAcknowledgement = 0x40,   // "@": our last frame arrived
    kHandsetUp = 0x41,         // "A" line
    kHandsetDown = 0x42,       // "B" line
    kDigit = 0x43,             // "C" line, digit 1..9 or 10 for 0
    kPolarityReversal = 0x44,  // "D" line
    kLineState = 0x45,         // "E" line, state: 0 handset down, 1 handset up, 2 reversed
    kInductor = 0x46,          // "F" line
    kStopExchange = 0xFC,      // the controller ends the exchange
    kTimeOut = 0xFD,           // the controller reports a time-out
    kNoAction = 0xFE,
};

// Lines (panel positions) the controller serves.
inline constexpr int kControllerLines = 16;

}  // namespace miradel
