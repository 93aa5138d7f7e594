#include "TrafficPrinter.h"

#include "controller/FrameCodec.h"
#include "controller/FrameDescription.h"

namespace miradel::frames {

void TrafficPrinter::Feed(uint8_t byte) {
    const ReceiveOutcome outcome = receiver_.FeedByte(byte);
    switch (outcome.kind) {
        case ReceiveKind::kNothing:
            break;
        case ReceiveKind::kAcknowledgement:
            out_ << DescribeFrame(outcome.bytes, FrameDirection::kReceived) << '\n';
            break;
        case ReceiveKind::kFrame:
            out_ << DescribeFrame(outcome.bytes, FrameDirection::kReceived)
                 << (CheckFrame(outcome.bytes) ? "" : "  [bad checksum]") << '\n';
            break;
        case ReceiveKind::kRejected:
            out_ << DescribeRejected(outcome.bytes.Bytes()) << '\n';
            break;
    }
    if (!outcome.inputError.empty() && outcome.inputError != shownInputError_) {
        out_ << outcome.inputError << '\n';
    }
    shownInputError_ = outcome.inputError;
}

}  // namespace miradel::frames
