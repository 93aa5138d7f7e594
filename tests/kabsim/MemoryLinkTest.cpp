#include "controller/MemoryLink.h"

#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "controller/PortFault.h"

namespace miradel {
namespace {

using End = MemoryLink::End;

std::vector<uint8_t> ReadAll(SerialPort& port) {
    std::vector<uint8_t> bytes;
    uint8_t buffer[64];
    while (std::size_t n = port.Read(buffer)) {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

class MemoryLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pc_.Open(kControllerLineSettings));
        ASSERT_TRUE(device_.Open(kControllerLineSettings));
    }

    VirtualClock clock_;
    MemoryLink link_{clock_};
    SerialPort& pc_ = link_.PcEnd();
    SerialPort& device_ = link_.DeviceEnd();
};

TEST_F(MemoryLinkTest, BytesTravelOneAfterAnotherAtTheByteTime) {
    const std::vector<uint8_t> start = {0x7E, 0x02, 0x01, 0x03};
    ASSERT_TRUE(pc_.Write(start));
    EXPECT_FALSE(pc_.OutputEmpty());
    std::vector<uint8_t> arrived;
    for (int ms = 1; ms <= 4; ++ms) {
        EXPECT_EQ(ReadAll(device_).size(), 0u) << "a byte arrived early at " << ms;
        clock_.AdvanceMs(1);
        const std::vector<uint8_t> now = ReadAll(device_);
        ASSERT_EQ(now.size(), 1u) << ms;
        arrived.push_back(now[0]);
    }
    EXPECT_EQ(arrived, start);
    EXPECT_TRUE(pc_.OutputEmpty());

    // The other direction is independent, and a byte time of 0 delivers at once.
    link_.SetByteTimeMs(0);
    ASSERT_TRUE(device_.Write(std::vector<uint8_t>{0x7E, 0x02, 0x40, 0x42}));
    EXPECT_TRUE(device_.OutputEmpty());
    EXPECT_EQ(ReadAll(pc_), (std::vector<uint8_t>{0x7E, 0x02, 0x40, 0x42}));
}

TEST_F(MemoryLinkTest, LaterWritesQueueBehindBytesStillOnTheWay) {
    link_.SetByteTimeMs(3);
    ASSERT_TRUE(pc_.Write(std::vector<uint8_t>{1, 2}));
    clock_.AdvanceMs(4);
    ASSERT_TRUE(pc_.Write(std::vector<uint8_t>{3}));  // leaves after byte 2, at 6 ms
    EXPECT_EQ(ReadAll(device_), std::vector<uint8_t>{1});
    clock_.AdvanceMs(2);
    EXPECT_EQ(ReadAll(device_), std::vector<uint8_t>{2});
    EXPECT_FALSE(pc_.OutputEmpty());
    clock_.AdvanceMs(3);
    EXPECT_EQ(ReadAll(device_), std::vector<uint8_t>{3});
    EXPECT_TRUE(pc_.OutputEmpty());
}

TEST_F(MemoryLinkTest, InjectedLineErrorsAreReportedOnceAtTheirEnd) {
    link_.InjectLineErrors(End::kPc, kPortFaultFraming | kPortFaultRxParity);
    EXPECT_EQ(device_.TakeLineErrors(), 0);
    EXPECT_EQ(pc_.TakeLineErrors(), kPortFaultFraming | kPortFaultRxParity);
    EXPECT_EQ(pc_.TakeLineErrors(), 0);
}

TEST_F(MemoryLinkTest, AFullReceiverLosesBytesAndSaysSo) {
    link_.SetByteTimeMs(0);
    const std::vector<uint8_t> bytes(MemoryLink::kReceiveCapacity + 10, 0x55);
    ASSERT_TRUE(pc_.Write(bytes));
    EXPECT_EQ(device_.TakeLineErrors(), kPortFaultRxOver);
    EXPECT_EQ(ReadAll(device_).size(), MemoryLink::kReceiveCapacity);
}

TEST_F(MemoryLinkTest, PurgeDropsInputAndOutputNotYetOnTheWire) {
    ASSERT_TRUE(device_.Write(std::vector<uint8_t>{1, 2, 3}));
    ASSERT_TRUE(pc_.Write(std::vector<uint8_t>{4, 5, 6}));
    clock_.AdvanceMs(1);
    pc_.Purge();
    EXPECT_TRUE(ReadAll(pc_).empty());
    EXPECT_EQ(ReadAll(device_), std::vector<uint8_t>{4});
    clock_.AdvanceMs(10);
    EXPECT_EQ(ReadAll(device_), std::vector<uint8_t>{5}) << "the byte on the wire still arrives";
    EXPECT_TRUE(pc_.OutputEmpty());
}

TEST_F(MemoryLinkTest, AnUnpluggedDeviceFailsThePcEndUntilReplugAndReopen) {
    ASSERT_TRUE(device_.Write(std::vector<uint8_t>{1, 2}));
    link_.Unplug();
    clock_.AdvanceMs(10);
    const std::vector<uint8_t> keepAlive = {0x7E, 0x02, 0x00, 0x02};
    EXPECT_FALSE(pc_.Write(keepAlive));
    EXPECT_EQ(pc_.TakeLineErrors(), kPortFaultIo);
    EXPECT_TRUE(ReadAll(pc_).empty()) << "bytes on the way are lost";
    EXPECT_EQ(pc_.TakeLineErrors(), kPortFaultIo);
    EXPECT_TRUE(pc_.IsOpen());
    EXPECT_TRUE(device_.Write(keepAlive)) << "the device talks into nothing";

    pc_.Close();
    EXPECT_FALSE(pc_.Open(kControllerLineSettings));
    EXPECT_FALSE(pc_.LastError().empty());

    link_.PlugIn();
    ASSERT_TRUE(pc_.Open(kControllerLineSettings));
    EXPECT_EQ(link_.OpenCount(End::kPc), 2);
    ASSERT_TRUE(pc_.Write(keepAlive));
    clock_.AdvanceMs(4);
    EXPECT_EQ(ReadAll(device_), keepAlive);
    EXPECT_EQ(pc_.TakeLineErrors(), 0);
}

TEST_F(MemoryLinkTest, RemembersHowEachEndWasSetUp) {
    pc_.SetRts(false);
    pc_.SetDtr(true);
    EXPECT_FALSE(link_.Rts(End::kPc));
    EXPECT_TRUE(link_.Dtr(End::kPc));
    EXPECT_FALSE(link_.Dtr(End::kDevice));
    ASSERT_TRUE(link_.OpenedWith(End::kPc).has_value());
    EXPECT_EQ(link_.OpenedWith(End::kPc)->parity, Parity::Even);
    pc_.Close();
    EXPECT_FALSE(link_.OpenedWith(End::kPc).has_value());
    EXPECT_FALSE(pc_.Write(std::vector<uint8_t>{1}));
}

TEST_F(MemoryLinkTest, TwoThreadsCanDriveTheTwoEnds) {
    link_.SetByteTimeMs(0);
    constexpr int kBytes = 20000;
    std::thread writer([&] {
        for (int i = 0; i < kBytes; ++i) {
            const uint8_t byte = static_cast<uint8_t>(i);
            while (link_.BytesUnread(End::kPc) >= MemoryLink::kReceiveCapacity) {
                std::this_thread::yield();
            }
            pc_.Write(std::span<const uint8_t>(&byte, 1));
        }
    });
    std::vector<uint8_t> received;
    while (received.size() < kBytes) {
        uint8_t buffer[256];
        const std::size_t n = device_.Read(buffer);
        received.insert(received.end(), buffer, buffer + n);
        if (n == 0) {
            std::this_thread::yield();
        }
    }
    writer.join();
    for (int i = 0; i < kBytes; ++i) {
        ASSERT_EQ(received[i], static_cast<uint8_t>(i)) << i;
    }
    EXPECT_EQ(device_.TakeLineErrors(), 0);
}

}  // namespace
}  // namespace miradel
