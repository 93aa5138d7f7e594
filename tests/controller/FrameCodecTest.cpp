#include "controller/FrameCodec.h"

#include <gtest/gtest.h>

#include <vector>

#include "controller/ControllerFrames.h"
#include "controller/HexBytes.h"

namespace miradel {
namespace {

using testing::HexFrame;
using testing::HexText;

struct EncodeCase {
    const char* name;
    Frame frame;
    const char* expected;
};

TEST(FrameCodec, EncodesCommandsAndFixedFrames) {
    const EncodeCase cases[] = {
        {"set line 4 to talk", SetLineStateCommand(4, LineState::kMicrophoneOn),
         "7E 04 03 04 02 0D"},
        {"ask line 0", AskLineStateCommand(0), "7E 03 04 00 07"},
        {"start", StartFrame(), "7E 02 01 03"},
        {"keep-alive", KeepAliveFrame(), "7E 02 00 02"},
        {"confirmation", ConfirmationFrame(), "7E 02 14 16"},
        {"acknowledgement", AcknowledgementFrame(), "7E 02 40 42"},
        {"digit 0 goes as 10", DialDigitCommand(2, 0), "7E 04 06 02 0A 16"},
        {"digit 7", DialDigitCommand(2, 7), "7E 04 06 02 07 13"},
        {"short whistle", ShortWhistleCommand(15), "7E 03 07 0F 19"},
        {"call signal", CallSignalCommand(), "7E 02 08 0A"},
        {"cancel call signal", CancelCallSignalCommand(), "7E 02 09 0B"},
        {"handset up on line 3", EncodeFrame({0x41, 3}), "7E 03 41 03 47"},
        {"line state 2", EncodeFrame({0x45, 2, 2}), "7E 04 45 02 02 4D"},
        {"line state 7", EncodeFrame({0x45, 2, 7}), "7E 04 45 02 07 52"},
        {"sum above 255 keeps its low 8 bits", EncodeFrame({0x45, 0x0F, 0xFF}),
         "7E 04 45 0F FF 57"},
    };
    for (const EncodeCase& c : cases) {
        EXPECT_EQ(HexText(c.frame.Bytes()), c.expected) << c.name;
        EXPECT_TRUE(CheckFrame(c.frame)) << c.name;
    }
}

TEST(FrameCodec, EncodesOneToThirteenDataBytesOnly) {
    const std::vector<uint8_t> data(14, 0xAA);
    EXPECT_TRUE(EncodeFrame(std::span(data.data(), 0)).Empty());
    EXPECT_TRUE(EncodeFrame(data).Empty());
    const Frame full = EncodeFrame(std::span(data.data(), 13));
    EXPECT_EQ(full.Size(), kFrameCapacity);
    EXPECT_EQ(full.At(1), 14);
    EXPECT_TRUE(CheckFrame(full));
}

TEST(FrameCodec, ChecksFrames) {
    const struct {
        const char* bytes;
        bool valid;
    } cases[] = {
        {"7E 03 41 03 47", true},    {"7E 03 41 03 48", false},  // checksum off by one
        {"7E 04 45 0F FF 57", true},                             // sum wrapped past 255
        {"7E 04 41 03 47", false},  // shorter than its length byte says
        {"7E 02 40", false},         {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckFrame(HexFrame(c.bytes)), c.valid) << c.bytes;
    }
}

TEST(FrameCodec, FrameKeepsAtMostSixteenBytes) {
    Frame frame;
    for (int i = 0; i < 20; ++i) {
        frame.Append(static_cast<uint8_t>(i));
    }
    EXPECT_EQ(frame.Size(), kFrameCapacity);
    EXPECT_FALSE(frame.Append(0));
    EXPECT_EQ(frame.At(15), 15);
    EXPECT_EQ(frame.At(16), 0);
}

}  // namespace
}  // namespace miradel
