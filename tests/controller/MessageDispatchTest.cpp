#include "controller/MessageDispatch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "controller/ControllerFrames.h"
#include "controller/FrameReceiver.h"
#include "controller/HexBytes.h"

namespace miradel {
namespace {

using testing::HexBytes;
using testing::HexFrame;
using ::testing::InSequence;
using ::testing::StrictMock;

class MockTarget : public MessageTarget {
  public:
    MOCK_METHOD(void, Acknowledge, (), (override));
    MOCK_METHOD(void, DeliverBoothEvent, (int panelIndex, int eventCode, int argument), (override));
    MOCK_METHOD(void, NoteLinkCounters, (), (override));
    MOCK_METHOD(void, StopLink, (int reason), (override));
};

struct ExpectedEvent {
    int panel;
    int code;
    int argument;
};

struct DispatchCase {
    const char* name;
    std::vector<uint8_t> data;  // code and arguments
    std::optional<ExpectedEvent> event;
};

TEST(MessageDispatch, LineMessagesRaiseBoothEventsAndAreConfirmed) {
    const DispatchCase cases[] = {
        {"A handset up", {0x41, 3}, ExpectedEvent{3, 2, 0}},
        {"B handset down", {0x42, 0}, ExpectedEvent{0, 5, 0}},
        {"C digit 0 arrives as 10", {0x43, 15, 10}, ExpectedEvent{15, 3, 10}},
        {"D polarity reversal", {0x44, 7}, ExpectedEvent{7, 4, 0}},
        {"E handset down", {0x45, 2, 0}, ExpectedEvent{2, 5, 0}},
        {"E handset up", {0x45, 2, 1}, ExpectedEvent{2, 2, 0}},
        {"E reversed polarity", {0x45, 2, 2}, ExpectedEvent{2, 4, 0}},
        {"E unknown state", {0x45, 2, 7}, std::nullopt},
        {"F inductor", {0x46, 1}, ExpectedEvent{1, 6, 0}},
        {"line above 15", {0x41, 16}, std::nullopt},
        {"line missing", {0x41}, std::nullopt},
        {"digit missing", {0x43, 3}, std::nullopt},
        {"state missing", {0x45, 3}, std::nullopt},
        {"FE no action", {0xFE}, std::nullopt},
        {"unlisted code", {0x99, 3, 1}, std::nullopt},
    };
    for (const DispatchCase& c : cases) {
        SCOPED_TRACE(c.name);
        StrictMock<MockTarget> target;
        if (c.event) {
            EXPECT_CALL(target,
                        DeliverBoothEvent(c.event->panel, c.event->code, c.event->argument));
        }
        EXPECT_TRUE(DispatchMessage(EncodeFrame(c.data), target));
    }
}

TEST(MessageDispatch, AcknowledgementIsNotConfirmed) {
    StrictMock<MockTarget> target;
    EXPECT_CALL(target, Acknowledge());
    EXPECT_FALSE(DispatchMessage(AcknowledgementFrame(), target));
}

TEST(MessageDispatch, StopFromControllerStopsLinkWithoutConfirmation) {
    StrictMock<MockTarget> target;
    InSequence order;
    EXPECT_CALL(target, NoteLinkCounters());
    EXPECT_CALL(target, StopLink(MessageTarget::kStopByController));
    EXPECT_FALSE(DispatchMessage(EncodeFrame({0xFC}), target));
}

TEST(MessageDispatch, TimeOutStopsLinkAndIsConfirmed) {
    StrictMock<MockTarget> target;
    InSequence order;
    EXPECT_CALL(target, NoteLinkCounters());
    EXPECT_CALL(target, StopLink(MessageTarget::kStopTimeOut));
    EXPECT_TRUE(DispatchMessage(EncodeFrame({0xFD}), target));
}

TEST(FrameProcessor, HandsetUpFromTheWireRaisesEventThenAsksForConfirmation) {
    StrictMock<MockTarget> target;
    FrameReceiver receiver;
    FrameProcessor processor;
    std::vector<Frame> confirmations;
    EXPECT_CALL(target, DeliverBoothEvent(3, MessageTarget::kEventHandsetUp, 0)).WillOnce([&] {
        EXPECT_TRUE(confirmations.empty());
    });
    for (uint8_t byte : HexBytes("7E 03 41 03 47")) {
        const ReceiveOutcome outcome = receiver.FeedByte(byte);
        if (outcome.kind == ReceiveKind::kFrame && processor.Process(outcome.bytes, target)) {
            confirmations.push_back(ConfirmationFrame());
        }
    }
    ASSERT_EQ(confirmations.size(), 1u);
    EXPECT_EQ(confirmations[0], HexFrame("7E 02 14 16"));
}

TEST(FrameProcessor, OnlyTheThirdBadFrameInARowIsConfirmed) {
    StrictMock<MockTarget> target;
    FrameProcessor processor;
    const Frame bad = HexFrame("7E 03 41 03 00");
    EXPECT_FALSE(processor.Process(bad, target));
    EXPECT_FALSE(processor.Process(bad, target));
    EXPECT_TRUE(processor.Process(bad, target));
    EXPECT_EQ(processor.ConsecutiveBadFrames(), 0);
    EXPECT_FALSE(processor.Process(bad, target));
}

TEST(FrameProcessor, GoodFrameRestartsTheBadCount) {
    StrictMock<MockTarget> target;
    FrameProcessor processor;
    const Frame bad = HexFrame("7E 03 41 03 00");
    EXPECT_CALL(target, DeliverBoothEvent(3, MessageTarget::kEventHandsetUp, 0));
    EXPECT_FALSE(processor.Process(bad, target));
    EXPECT_FALSE(processor.Process(bad, target));
    EXPECT_TRUE(processor.Process(HexFrame("7E 03 41 03 47"), target));
    EXPECT_FALSE(processor.Process(bad, target));
    EXPECT_FALSE(processor.Process(bad, target));
}

}  // namespace
}  // namespace miradel
