#include "controller/FrameDescription.h"

#include <gtest/gtest.h>

#include "controller/HexBytes.h"

namespace miradel {
namespace {

using testing::HexFrame;

struct DescribeCase {
    Frame frame;
    FrameDirection direction;
    const char* expected;
};

constexpr FrameDirection kSent = FrameDirection::kSent;
constexpr FrameDirection kReceived = FrameDirection::kReceived;

TEST(FrameDescription, DescribesEveryCommandAndMessage) {
    const DescribeCase cases[] = {
        {EncodeFrame({0}), kSent, "<-  пусто"},
        {EncodeFrame({1}), kSent, "<- старт"},
        {EncodeFrame({2}), kSent, "<- проверить состояние"},
        {EncodeFrame({3, 4, 0}), kSent, "<-  линия - 4 выключить"},
        {EncodeFrame({3, 4, 1}), kSent, "<-  линия - 4 проключить"},
        {EncodeFrame({3, 4, 2}), kSent, "<-  линия - 4 вкл. микрофон"},
        {EncodeFrame({3, 4, 3}), kSent, "<-  линия - 4 дать свисток"},
        {EncodeFrame({3, 4, 9}), kSent, "<-  линия - 4 сост. - 9"},
        {EncodeFrame({4, 0}), kSent, "<- какое сост. на линии - 0 ?"},
        {EncodeFrame({5}), kSent, "<- стоп-сброс"},
        {EncodeFrame({6, 2, 10}), kSent, "<- выдать на лин. - 2 цифру - 10"},
        {EncodeFrame({7, 15}), kSent, "<- свисток на лин. - 15"},
        {EncodeFrame({8}), kSent, "<- вызов оператору"},
        {EncodeFrame({9}), kSent, "<- снять вызов"},
        {EncodeFrame({20}), kSent, "<- подтверждение"},
        {EncodeFrame({21}), kSent, "<- неопознанна"},
        {EncodeFrame({0x41, 3}), kSent, "<- неопознанна"},

        {EncodeFrame({0x40}), kReceived, "-> подтв. сканнер"},
        {EncodeFrame({0x41, 3}), kReceived, "-> поднята трубка - 3"},
        {EncodeFrame({0x42, 3}), kReceived, "-> опущена трубка - 3"},
        {EncodeFrame({0x43, 3, 10}), kReceived, "-> лин.-  3 набр. цифра - 10"},
        {EncodeFrame({0x44, 5}), kReceived, "-> переполюсовка -  5"},
        {EncodeFrame({0x45, 2, 0}), kReceived, "-> на лин. - 2 положена трубка"},
        {EncodeFrame({0x45, 2, 1}), kReceived, "-> на лин. - 2 поднята трубка"},
        {EncodeFrame({0x45, 2, 2}), kReceived, "-> на лин. - 2 переполюсовка"},
        {EncodeFrame({0x45, 2, 7}), kReceived, "-> на лин. - 2 сост. - 7"},
        {EncodeFrame({0x46, 1}), kReceived, "-> индуктор -  1"},
        {EncodeFrame({0xFC}), kReceived, "-> неопознанна"},
        {EncodeFrame({0xFD}), kReceived, "-> неопознанна"},
        {EncodeFrame({0xFE}), kReceived, "-> неопознанна"},
        {EncodeFrame({3, 4, 2}), kReceived, "-> неопознанна"},

        // Short frames: the text stops where a missing number would stand.
        {HexFrame("7E 02 41 43"), kReceived, "-> поднята трубка - "},
        {HexFrame("7E 03 43 03 49"), kReceived, "-> лин.-  3 набр. цифра - "},
        {HexFrame("7E 03 45 03 4B"), kReceived, "-> на лин. - 3"},
        {HexFrame("7E 02 04 06"), kSent, "<- какое сост. на линии - "},
        {HexFrame("7E 02"), kReceived, "-> неопознанна"},
        {Frame(), kSent, "<- неопознанна"},
    };
    for (const DescribeCase& c : cases) {
        EXPECT_EQ(DescribeFrame(c.frame, c.direction), c.expected);
    }
}

TEST(FrameDescription, RejectedBytesInUpperCaseHex) {
    EXPECT_EQ(DescribeRejected(testing::HexBytes("7E 0a ff")), "ERR -> 7E 0A FF ");
    EXPECT_EQ(DescribeRejected({}), "ERR -> ");
}

}  // namespace
}  // namespace miradel
