// Random line noise with valid frames mixed in: the receiver must stay within its bounds and
// find every frame that follows a stretch of noise without a start byte.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "controller/FrameCodec.h"
#include "controller/FrameReceiver.h"

namespace miradel {
namespace {

struct Planted {
    std::size_t lastByte;  // index of the frame's last byte in the stream
    Frame frame;
};

class Stream {
  public:
    explicit Stream(uint32_t seed) : random_(seed) {}

    // Any bytes at all, start bytes included.
    void AddNoise(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            bytes_.push_back(Byte());
        }
    }
    // Long enough to finish whatever the noise began: a frame in progress ends within 7 bytes.
    void AddGapWithoutStartByte() {
        const std::size_t count = 8 + Below(8);
        for (std::size_t i = 0; i < count; ++i) {
            uint8_t byte = Byte();
            bytes_.push_back(byte == kFrameStart ? 0x00 : byte);
        }
    }
    void AddValidFrame() {
        std::vector<uint8_t> data(1 + Below(5));
        for (uint8_t& byte : data) {
            byte = Byte();
        }
        const Frame frame = EncodeFrame(data);
        bytes_.insert(bytes_.end(), frame.Bytes().begin(), frame.Bytes().end());
        planted_.push_back({bytes_.size() - 1, frame});
    }

    std::size_t Below(std::size_t limit) { return random_() % limit; }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    const std::vector<Planted>& PlantedFrames() const { return planted_; }

  private:
    uint8_t Byte() { return static_cast<uint8_t>(random_() >> 24); }

    std::mt19937 random_;
    std::vector<uint8_t> bytes_;
    std::vector<Planted> planted_;
};

TEST(FrameReceiverRandomStream, StaysBoundedAndRecoversPlantedFrames) {
    Stream stream(20240611);
    while (stream.Bytes().size() < 300000) {
        stream.AddNoise(stream.Below(48));
        stream.AddGapWithoutStartByte();
        stream.AddValidFrame();
    }

    FrameReceiver receiver;
    std::size_t accounted = 0;  // bytes handed out as frames or rejected runs
    std::size_t nextPlanted = 0;
    std::size_t recovered = 0;
    const std::vector<uint8_t>& bytes = stream.Bytes();
    const std::vector<Planted>& planted = stream.PlantedFrames();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const ReceiveOutcome outcome = receiver.FeedByte(bytes[i]);
        const Frame& out = outcome.bytes;
        switch (outcome.kind) {
            case ReceiveKind::kNothing:
                ASSERT_TRUE(out.Empty());
                break;
            case ReceiveKind::kAcknowledgement:
            case ReceiveKind::kFrame:
                ASSERT_EQ(out.At(0), kFrameStart);
                ASSERT_EQ(out.Size(), std::size_t{out.At(1)} + 2);
                ASSERT_GE(out.Size(), 4u);
                ASSERT_LE(out.Size(), kMaxReceivedFrame);
                ASSERT_EQ(outcome.kind == ReceiveKind::kAcknowledgement, out.At(2) == 0x40);
                break;
            case ReceiveKind::kRejected:
                ASSERT_FALSE(out.Empty());
                break;
        }
        accounted += out.Size();
        ASSERT_LE(receiver.Pending(), kFrameCapacity);
        ASSERT_EQ(accounted + receiver.Pending(), i + 1) << "at byte " << i;

        if (nextPlanted < planted.size() && planted[nextPlanted].lastByte == i) {
            ASSERT_NE(outcome.kind, ReceiveKind::kNothing) << "planted frame lost at byte " << i;
            ASSERT_NE(outcome.kind, ReceiveKind::kRejected) << "planted frame lost at byte " << i;
            ASSERT_EQ(out, planted[nextPlanted].frame) << "at byte " << i;
            ASSERT_TRUE(CheckFrame(out));
            ++nextPlanted;
            ++recovered;
        }
    }
    EXPECT_EQ(recovered, planted.size());
    EXPECT_GT(recovered, 1000u);
}

}  // namespace
}  // namespace miradel
