#include "controller/ControllerFrames.h"

namespace miradel {

namespace {

uint8_t Code(CommandCode code) {
    return static_cast<uint8_t>(code);
}

}  // namespace

Frame StartFrame() {
    return EncodeFrame({Code(CommandCode::kStart)});
}

Frame KeepAliveFrame() {
    return EncodeFrame({Code(CommandCode::kKeepAlive)});
}

Frame ConfirmationFrame() {
    return EncodeFrame({Code(CommandCode::kConfirmation)});
}

Frame AcknowledgementFrame() {
    return EncodeFrame({static_cast<uint8_t>(MessageCode::kAcknowledgement)});
}

Frame SetLineStateCommand(uint8_t line, LineState state) {
    return EncodeFrame({Code(CommandCode::kSetLineState), line, static_cast<uint8_t>(state)});
}

Frame AskLineStateCommand(uint8_t line) {
    return EncodeFrame({Code(CommandCode::kAskLineState), line});
}

Frame DialDigitCommand(uint8_t line, uint8_t digit) {
    const uint8_t onWire = digit == 0 ? 10 : digit;
    return EncodeFrame({Code(CommandCode::kDialDigit), line, onWire});
}

Frame ShortWhistleCommand(uint8_t line) {
    return EncodeFrame({Code(CommandCode::kShortWhistle), line});
}

Frame CallSignalCommand() {
    return EncodeFrame({Code(CommandCode::kCallSignal)});
}

Frame CancelCallSignalCommand() {
    return EncodeFrame({Code(CommandCode::kCancelCallSignal)});
}

}  // namespace miradel
