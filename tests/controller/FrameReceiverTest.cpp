#include "controller/FrameReceiver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controller/FrameDescription.h"
#include "controller/HexBytes.h"

namespace miradel {
namespace {

using testing::HexBytes;
using testing::HexText;

// One line per byte that brought something: its index in the input, what came out, and the
// input-error word it shows, e.g. "3: rejected 31 32 33" or "0: - | Error in. kod".
std::vector<std::string> Transcript(FrameReceiver& receiver, const std::vector<uint8_t>& input) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < input.size(); ++i) {
        const ReceiveOutcome outcome = receiver.FeedByte(input[i]);
        if (outcome.kind == ReceiveKind::kNothing && outcome.inputError.empty()) {
            continue;
        }
        std::string line = std::to_string(i) + ": ";
        switch (outcome.kind) {
            case ReceiveKind::kNothing:
                line += "-";
                break;
            case ReceiveKind::kAcknowledgement:
                line += "ack " + HexText(outcome.bytes.Bytes());
                break;
            case ReceiveKind::kFrame:
                line += "frame " + HexText(outcome.bytes.Bytes());
                break;
            case ReceiveKind::kRejected:
                line += "rejected " + HexText(outcome.bytes.Bytes());
                break;
        }
        if (!outcome.inputError.empty()) {
            line += " | " + std::string(outcome.inputError);
        }
        lines.push_back(line);
    }
    return lines;
}

struct ReceiverCase {
    const char* name;
    const char* input;
    std::vector<std::string> expected;
};

void PrintTo(const ReceiverCase& c, std::ostream* out) {
    *out << '"' << c.input << '"';
}

class FrameReceiverCases : public ::testing::TestWithParam<ReceiverCase> {};

TEST_P(FrameReceiverCases, CutsTheStream) {
    FrameReceiver receiver;
    EXPECT_EQ(Transcript(receiver, HexBytes(GetParam().input)), GetParam().expected);
}

const ReceiverCase kReceiverCases[] = {
    {"AcknowledgementTakenWithoutChecksumTest",
     "7E 02 40 42  7E 02 40 00",
     {"3: ack 7E 02 40 42", "7: ack 7E 02 40 00"}},
    {"FrameHandedOnUnchecked",
     "7E 03 41 03 47  7E 03 41 03 00",
     {"4: frame 7E 03 41 03 47", "9: frame 7E 03 41 03 00"}},
    {"GarbageBeforeStartByte",
     "31 32 33 7E 02 40 42",
     {"0: - | Error in. kod", "1: - | Error in. kod", "2: - | Error in. kod",
      "3: rejected 31 32 33", "6: ack 7E 02 40 42"}},
    {"LengthBelowTwoIsTooSmall",
     "7E 01 41 03  7E 00  7E 03 41 03 47",
     {"1: rejected 7E 01 | Error small message", "2: - | Error in. kod", "3: - | Error in. kod",
      "4: rejected 41 03", "5: rejected 7E 00 | Error small message", "10: frame 7E 03 41 03 47"}},
    {"LongFrameDroppedAtEighthByte",
     "7E 09 01 02 03 04 05 06  7E 02 40 42",
     {"7: rejected 7E 09 01 02 03 04 05 06 | Error long message", "11: ack 7E 02 40 42"}},
    {"EightByteFrameAccepted", "7E 06 41 01 02 03 04 51", {"7: frame 7E 06 41 01 02 03 04 51"}},
    {"StartByteInsideFrameIsData", "7E 04 45 7E 02 C9", {"5: frame 7E 04 45 7E 02 C9"}},
    {"SixteenGarbageBytesMakeOneLine",
     "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F  7E 02 40 42",
     {"0: - | Error in. kod", "1: - | Error in. kod", "2: - | Error in. kod",
      "3: - | Error in. kod", "4: - | Error in. kod", "5: - | Error in. kod",
      "6: - | Error in. kod", "7: - | Error in. kod", "8: - | Error in. kod",
      "9: - | Error in. kod", "10: - | Error in. kod", "11: - | Error in. kod",
      "12: - | Error in. kod", "13: - | Error in. kod", "14: - | Error in. kod",
      "15: rejected 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F | Error in. kod",
      "19: ack 7E 02 40 42"}},
    {"StartByteAfterStartIsTakenAsLength",
     "7E 7E 7E 03 41 03 47 00",
     {"7: rejected 7E 7E 7E 03 41 03 47 00 | Error long message"}},
};

INSTANTIATE_TEST_SUITE_P(FrameReceiver, FrameReceiverCases, ::testing::ValuesIn(kReceiverCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FrameReceiver, RejectedBytesMakeTheDebugLine) {
    FrameReceiver receiver;
    ReceiveOutcome outcome;
    for (uint8_t byte : HexBytes("31 32 33 7E")) {
        outcome = receiver.FeedByte(byte);
    }
    ASSERT_EQ(outcome.kind, ReceiveKind::kRejected);
    EXPECT_EQ(DescribeRejected(outcome.bytes.Bytes()), "ERR -> 31 32 33 ");
}

TEST(FrameReceiver, ResetDropsAHalfFrame) {
    FrameReceiver receiver;
    for (uint8_t byte : HexBytes("7E 03 41")) {
        (void)receiver.FeedByte(byte);
    }
    EXPECT_EQ(receiver.Pending(), 3u);
    receiver.Reset();
    EXPECT_EQ(receiver.Pending(), 0u);
    EXPECT_EQ(Transcript(receiver, HexBytes("7E 03 41 03 47")),
              std::vector<std::string>{"4: frame 7E 03 41 03 47"});
}

}  // namespace
}  // namespace miradel
