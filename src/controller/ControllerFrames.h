#pragma once
// The frames the PC sends: the fixed ones and one builder per line command.

#include "controller/ControllerCodes.h"
#include "controller/FrameCodec.h"

namespace miradel {

// 7E 02 01 03
Frame StartFrame();
// 7E 02 00 02
Frame KeepAliveFrame();
// 7E 02 14 16, the answer to each message from the controller
Frame ConfirmationFrame();
// 7E 02 40 42, what the controller answers to each of our frames
Frame AcknowledgementFrame();

Frame SetLineStateCommand(uint8_t line, LineState state);
Frame AskLineStateCommand(uint8_t line);
// digit 0..9; the digit 0 travels as 10. Other values are sent as they are.
Frame DialDigitCommand(uint8_t line, uint8_t digit);
Frame ShortWhistleCommand(uint8_t line);
Frame CallSignalCommand();
Frame CancelCallSignalCommand();

}  // namespace miradel
