#include "controller/MessageDispatch.h"

#include <optional>
#include <span>

#include "controller/ControllerCodes.h"

namespace miradel {

namespace {

// The booth event a line-state answer stands for, if any.
std::optional<int> EventForLineState(uint8_t state) {
    switch (state) {
        case 0:
            return MessageTarget::kEventHandsetDown;
        case 1:
            return MessageTarget::kEventHandsetUp;
        case 2:
            return MessageTarget::kEventPolarityReversal;
        default:
            return std::nullopt;
    }
}

// Delivers the booth event of a line message: code, line and, where needed, one argument.
void DispatchLineMessage(MessageCode code, std::span<const uint8_t> data, MessageTarget& target) {
    const bool needsArgument = code == MessageCode::kDigit || code == MessageCode::kLineState;
    if (data.size() < (needsArgument ? 3u : 2u) || data[1] >= kControllerLines) {
        return;
    }
    const int line = data[1];
    switch (code) {
        case MessageCode::kHandsetUp:
            target.DeliverBoothEvent(line, MessageTarget::kEventHandsetUp, 0);
            break;
        case MessageCode::kHandsetDown:
            target.DeliverBoothEvent(line, MessageTarget::kEventHandsetDown, 0);
            break;
        case MessageCode::kDigit:
            target.DeliverBoothEvent(line, MessageTarget::kEventDigit, data[2]);
            break;
        case MessageCode::kPolarityReversal:
            target.DeliverBoothEvent(line, MessageTarget::kEventPolarityReversal, 0);
            break;
        case MessageCode::kLineState:
            if (std::optional<int> event = EventForLineState(data[2])) {
                target.DeliverBoothEvent(line, *event, 0);
            }
            break;
        case MessageCode::kInductor:
            target.DeliverBoothEvent(line, MessageTarget::kEventInductor, 0);
            break;
        default:
            break;
    }
}

}  // namespace

bool DispatchMessage(const Frame& frame, MessageTarget& target) {
    const std::span<const uint8_t> data = FrameData(frame);
    if (data.empty()) {
        return true;
    }
    const auto code = static_cast<MessageCode>(data[0]);
    switch (code) {
        case MessageCode::kAcknowledgement:
            target.Acknowledge();
            return false;
        case MessageCode::kHandsetUp:
        case MessageCode::kHandsetDown:
        case MessageCode::kDigit:
        case MessageCode::kPolarityReversal:
        case MessageCode::kLineState:
        case MessageCode::kInductor:
            DispatchLineMessage(code, data, target);
            return true;
        case MessageCode::kStopExchange:
            target.NoteLinkCounters();
            target.StopLink(MessageTarget::kStopByController);
            return false;
        case MessageCode::kTimeOut:
            // Confirmed like any other message; the confirmation goes out once the exchange
            // runs again.
            target.NoteLinkCounters();
            target.StopLink(MessageTarget::kStopTimeOut);
            return true;
        default:
            return true;
    }
}

bool FrameProcessor::Process(const Frame& frame, MessageTarget& target) {
    if (!CheckFrame(frame)) {
        if (++consecutiveBad_ < kBadFramesBeforeConfirm) {
            return false;
        }
        consecutiveBad_ = 0;
        return true;
    }
    consecutiveBad_ = 0;
    return DispatchMessage(frame, target);
}

}  // namespace miradel
