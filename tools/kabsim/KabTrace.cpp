#include "KabTrace.h"

#include <cstdio>

#include "controller/FrameDescription.h"
#include "controller/PortFault.h"

namespace miradel::kabsim {

namespace {

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    for (uint8_t byte : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%.2X", byte);
        text += text.empty() ? "" : " ";
        text += pair;
    }
    return text;
}

std::string Seconds(int64_t ms) {
    char text[32];
    const int64_t magnitude = ms < 0 ? -ms : ms;
    std::snprintf(text, sizeof text, "%s%4lld.%03lld", ms < 0 ? "-" : "",
                  static_cast<long long>(magnitude / 1000),
                  static_cast<long long>(magnitude % 1000));
    return text;
}

std::string FrameLine(const KabEvent& event, FrameDirection direction) {
    return DescribeFrame(Frame(event.bytes), direction) + "  [" + Hex(event.bytes) + "]";
}

}  // namespace

std::string DescribeEvent(const KabEvent& event, int64_t originMs) {
    std::string text = Seconds(event.atMs - originMs) + " ";
    switch (event.kind) {
        case KabEventKind::kFrameIn:
            return text + FrameLine(event, FrameDirection::kSent);
        case KabEventKind::kBadFrameIn:
            return text + FrameLine(event, FrameDirection::kSent) +
                   "  bad checksum, not acknowledged";
        case KabEventKind::kRejectedIn:
            return text + DescribeRejected(event.bytes) + " dropped";
        case KabEventKind::kAckOut:
            return text + FrameLine(event, FrameDirection::kReceived);
        case KabEventKind::kMessageOut:
            text += FrameLine(event, FrameDirection::kReceived);
            if (event.attempt > 1) {
                text += "  repeat " + std::to_string(event.attempt - 1);
            }
            if (event.corrupt) {
                text += "  bad checksum on purpose";
            }
            return text;
        case KabEventKind::kGarbageOut:
            return text + "-> garbage  [" + Hex(event.bytes) + "]";
        case KabEventKind::kGaveUp:
            return text + "never confirmed after " + std::to_string(event.attempt) +
                   " sends: " + FrameLine(event, FrameDirection::kReceived);
        case KabEventKind::kLineError:
            return text + "line error: " + std::string(PortFaultWord(event.faults));
    }
    return text;
}

}  // namespace miradel::kabsim
