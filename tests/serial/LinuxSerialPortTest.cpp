// LinuxSerialPort on a real pseudo-terminal: the port opens the slave device, the test plays
// the far end on the master.

#include "controller/LinuxSerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <numeric>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "controller/PortFault.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

using ::testing::HasSubstr;

// The master side of a fresh pseudo-terminal, raw and non-blocking.
class PtyMaster {
  public:
    PtyMaster() {
        fd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        char name[128] = {};
        if (fd_ < 0 || ::grantpt(fd_) != 0 || ::unlockpt(fd_) != 0 ||
            ::ptsname_r(fd_, name, sizeof name) != 0) {
            return;
        }
        termios tio{};
        ::tcgetattr(fd_, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(fd_, TCSANOW, &tio);
        slavePath_ = name;
    }
    ~PtyMaster() { Close(); }

    bool Ok() const { return !slavePath_.empty(); }
    const std::string& SlavePath() const { return slavePath_; }
    int Fd() const { return fd_; }

    void Close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    void Write(const std::vector<uint8_t>& bytes) {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Reads until `count` bytes came or the time ran out.
    std::vector<uint8_t> Read(std::size_t count,
                              std::chrono::milliseconds within = std::chrono::seconds(5)) {
        std::vector<uint8_t> bytes;
        const auto deadline = std::chrono::steady_clock::now() + within;
        while (bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd poller{fd_, POLLIN, 0};
            ::poll(&poller, 1, 20);
            uint8_t buffer[4096];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n > 0) {
                bytes.insert(bytes.end(), buffer, buffer + n);
            }
        }
        return bytes;
    }

  private:
    int fd_ = -1;
    std::string slavePath_;
};

// Reads from the port until `count` bytes came or a generous bound passed.
std::vector<uint8_t> ReadPort(SerialPort& port, std::size_t count) {
    std::vector<uint8_t> bytes;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
        uint8_t buffer[256];
        const std::size_t n = port.Read(buffer);
        if (n == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

std::vector<uint8_t> AllByteValues() {
    std::vector<uint8_t> bytes(256);
    std::iota(bytes.begin(), bytes.end(), 0);
    return bytes;
}

class LinuxSerialPortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(master_.Ok()) << "no pseudo-terminal available";
        ASSERT_TRUE(port_.Open(kControllerLineSettings)) << port_.LastError();
    }

    PtyMaster master_;
    LinuxSerialPort port_{master_.SlavePath()};
};

TEST_F(LinuxSerialPortTest, EveryByteValueCrossesUnchangedBothWays) {
    // Raw mode: no CR/LF translation, no echo, no signal or flow control characters.
    const std::vector<uint8_t> bytes = AllByteValues();
    ASSERT_TRUE(port_.Write(bytes));
    EXPECT_EQ(master_.Read(bytes.size()), bytes);

    master_.Write(bytes);
    EXPECT_EQ(ReadPort(port_, bytes.size()), bytes);
    EXPECT_EQ(master_.Read(1, std::chrono::milliseconds(50)), std::vector<uint8_t>())
        << "nothing echoed back";
    EXPECT_EQ(port_.TakeLineErrors(), 0);
}

TEST_F(LinuxSerialPortTest, ReadOfNothingReturnsNothing) {
    // A read that waited for input would never come back here.
    uint8_t buffer[16];
    EXPECT_EQ(port_.Read(buffer), 0u);
    EXPECT_EQ(port_.Read(buffer), 0u);
    EXPECT_EQ(port_.TakeLineErrors(), 0);
}

TEST_F(LinuxSerialPortTest, OutputIsEmptyOnceTheBytesHaveLeft) {
    EXPECT_TRUE(port_.OutputEmpty());
    const std::vector<uint8_t> start = {0x7E, 0x02, 0x01, 0x03};
    ASSERT_TRUE(port_.Write(start));
    EXPECT_EQ(master_.Read(start.size()), start);
    EXPECT_TRUE(port_.OutputEmpty());
}

TEST_F(LinuxSerialPortTest, BytesTheDeviceCannotTakeWaitAndAnOverflowIsAFault) {
    // The far end reads nothing, so the pseudo-terminal fills up, then our own buffer.
    std::vector<uint8_t> accepted;
    uint8_t next = 0;
    bool refused = false;
    for (int chunk = 0; chunk < 4000 && !refused; ++chunk) {
        std::vector<uint8_t> bytes(256);
        for (uint8_t& byte : bytes) {
            byte = next++;
        }
        if (port_.Write(bytes)) {
            accepted.insert(accepted.end(), bytes.begin(), bytes.end());
        } else {
            refused = true;
            next = static_cast<uint8_t>(next - bytes.size());
        }
    }
    ASSERT_TRUE(refused);
    EXPECT_EQ(port_.TakeLineErrors(), kPortFaultTxFull);
    EXPECT_THAT(port_.LastError(), HasSubstr("full"));
    EXPECT_FALSE(port_.OutputEmpty());

    // Draining the far end lets the waiting bytes go, in order and complete.
    std::vector<uint8_t> received;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (received.size() < accepted.size() && std::chrono::steady_clock::now() < deadline) {
        std::vector<uint8_t> more = master_.Read(1);
        received.insert(received.end(), more.begin(), more.end());
        port_.OutputEmpty();  // hands waiting bytes on
    }
    EXPECT_EQ(received, accepted);
    EXPECT_TRUE(port_.OutputEmpty());
    EXPECT_EQ(port_.TakeLineErrors(), 0);
}

TEST_F(LinuxSerialPortTest, FarEndClosingIsAnIoFaultAndThePortStaysOpen) {
    master_.Close();
    uint8_t buffer[16];
    EXPECT_EQ(port_.Read(buffer), 0u);
    EXPECT_EQ(port_.TakeLineErrors() & kPortFaultIo, kPortFaultIo);
    const std::vector<uint8_t> keepAlive = {0x7E, 0x02, 0x00, 0x02};
    EXPECT_FALSE(port_.Write(keepAlive));
    EXPECT_EQ(port_.TakeLineErrors() & kPortFaultIo, kPortFaultIo);
    EXPECT_FALSE(port_.LastError().empty());
    EXPECT_TRUE(port_.IsOpen());
    port_.Close();
    EXPECT_FALSE(port_.IsOpen());
}

TEST_F(LinuxSerialPortTest, PurgeDropsWhatArrived) {
    master_.Write({0x31, 0x32, 0x33});
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    port_.Purge();
    uint8_t buffer[16];
    EXPECT_EQ(port_.Read(buffer), 0u);
}

TEST_F(LinuxSerialPortTest, ModemLinesOnAPseudoTerminalAreNotAFault) {
    port_.SetRts(false);
    port_.SetDtr(true);
    EXPECT_EQ(port_.TakeLineErrors(), 0);
    EXPECT_TRUE(port_.IsOpen());
    // A pseudo-terminal has neither modem lines nor error counters.
    EXPECT_THAT(port_.LastError(), HasSubstr("DTR"));
    EXPECT_FALSE(port_.CountsLineErrors());
}

TEST_F(LinuxSerialPortTest, TheDeviceIsSetUpRaw) {
    // Look at the device through a second descriptor. A pseudo-terminal keeps everything but
    // the character size and parity, which it always reports as 8 bits, no parity.
    const int fd = ::open(master_.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios tio{};
    ASSERT_EQ(::tcgetattr(fd, &tio), 0);
    ::close(fd);
    EXPECT_EQ(::cfgetospeed(&tio), speed_t{B9600});
    EXPECT_EQ(::cfgetispeed(&tio), speed_t{B9600});
    EXPECT_NE(tio.c_iflag & INPCK, 0u);
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), tcflag_t{CLOCAL | CREAD});
    EXPECT_EQ(tio.c_cflag & (CRTSCTS | CSTOPB), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | PARMRK | IGNPAR | ICRNL | ISTRIP | BRKINT), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
}

TEST(MakeLineTermiosTest, EachFramingGivesItsBitsOnARawLine) {
    struct Case {
        SerialSettings settings;
        speed_t speed;
        tcflag_t cflag;  // of CSIZE, PARENB, PARODD, CSTOPB
        bool checkParity;
    };
    const Case cases[] = {
        {kControllerLineSettings, B9600, CS8 | PARENB, true},
        {kLcdLineSettings, B2400, CS8, false},
        {{19200, 7, Parity::Odd, 2}, B19200, CS7 | PARENB | PARODD | CSTOPB, true},
        {{115200, 5, Parity::None, 1}, B115200, CS5, false},
    };
    for (const Case& c : cases) {
        termios tio;
        std::memset(&tio, 0xFF, sizeof tio);  // start from a line with every flag set
        ASSERT_TRUE(MakeLineTermios(c.settings, tio)) << c.settings.baud;
        EXPECT_EQ(::cfgetospeed(&tio), c.speed);
        EXPECT_EQ(::cfgetispeed(&tio), c.speed);
        EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB | CMSPAR), c.cflag);
        EXPECT_EQ((tio.c_iflag & INPCK) != 0, c.checkParity);
        EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD | CRTSCTS), tcflag_t{CLOCAL | CREAD});
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY | PARMRK | IGNPAR | IGNBRK | BRKINT | ICRNL |
                                 INLCR | IGNCR | ISTRIP),
                  0u);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ECHONL | ISIG | IEXTEN), 0u);
        EXPECT_EQ(tio.c_oflag & OPOST, 0u);
        EXPECT_EQ(tio.c_cc[VMIN], 0);
        EXPECT_EQ(tio.c_cc[VTIME], 0);
    }
    termios tio{};
    EXPECT_FALSE(MakeLineTermios({12345, 8, Parity::Even, 1}, tio));
    EXPECT_FALSE(MakeLineTermios({9600, 9, Parity::Even, 1}, tio));
    EXPECT_FALSE(MakeLineTermios({9600, 8, Parity::Even, 0}, tio));
}

TEST(LinuxSerialPortOpenTest, FailuresSayWhatAndWhere) {
    testing::TempDir folder;
    const std::string plainFile = (folder / "not-a-tty").string();
    { std::ofstream(plainFile) << "x"; }
    PtyMaster master;
    ASSERT_TRUE(master.Ok());

    struct Case {
        std::string path;
        SerialSettings settings;
        std::string expected;
    };
    const Case cases[] = {
        {"/dev/miradel-no-such-port", kControllerLineSettings, "No such file or directory"},
        {plainFile, kControllerLineSettings, "not a serial device"},
        {master.SlavePath(), {12345, 8, Parity::Even, 1}, "unsupported settings 12345 8E1"},
        {master.SlavePath(), {9600, 9, Parity::None, 1}, "unsupported settings"},
        {master.SlavePath(), {9600, 8, Parity::None, 3}, "unsupported settings"},
    };
    for (const Case& c : cases) {
        LinuxSerialPort port(c.path);
        EXPECT_FALSE(port.Open(c.settings)) << c.path;
        EXPECT_FALSE(port.IsOpen());
        EXPECT_THAT(port.LastError(), HasSubstr(c.path));
        EXPECT_THAT(port.LastError(), HasSubstr(c.expected));
        uint8_t buffer[4];
        EXPECT_EQ(port.Read(buffer), 0u);
        EXPECT_FALSE(port.Write(buffer));
    }
}

TEST(LinuxSerialPortOpenTest, AnAdoptedMasterTalksToTheSlave) {
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    char name[128] = {};
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::grantpt(fd), 0);
    ASSERT_EQ(::unlockpt(fd), 0);
    ASSERT_EQ(::ptsname_r(fd, name, sizeof name), 0);
    std::unique_ptr<LinuxSerialPort> masterPort = LinuxSerialPort::Adopt(fd, "master");
    LinuxSerialPort slavePort(name);
    ASSERT_TRUE(slavePort.Open(kControllerLineSettings)) << slavePort.LastError();
    // The master side refuses parity; framing means nothing on a pseudo-terminal.
    ASSERT_TRUE(masterPort->Open(kLcdLineSettings)) << masterPort->LastError();

    const std::vector<uint8_t> ack = {0x7E, 0x02, 0x40, 0x42};
    ASSERT_TRUE(masterPort->Write(ack));
    EXPECT_EQ(ReadPort(slavePort, ack.size()), ack);
    const std::vector<uint8_t> start = {0x7E, 0x02, 0x01, 0x03};
    ASSERT_TRUE(slavePort.Write(start));
    EXPECT_EQ(ReadPort(*masterPort, start.size()), start);

    // Closed for good: the descriptor is gone.
    masterPort->Close();
    EXPECT_FALSE(masterPort->Open(kLcdLineSettings));
}

TEST(FaultBitsBetweenTest, EachCounterThatGrewSetsItsBit) {
    const LineErrorCounts base{5, 6, 7, 8, 9};
    struct Case {
        LineErrorCounts after;
        uint16_t bits;
    };
    const Case cases[] = {
        {{5, 6, 7, 8, 9}, 0},
        {{6, 6, 7, 8, 9}, kPortFaultFraming},
        {{5, 7, 7, 8, 9}, kPortFaultRxParity},
        {{5, 6, 9, 8, 9}, kPortFaultOverrun},
        {{5, 6, 7, 9, 9}, kPortFaultBreak},
        {{5, 6, 7, 8, 10}, kPortFaultRxOver},
        {{6, 7, 7, 8, 9}, kPortFaultFraming | kPortFaultRxParity},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FaultBitsBetween(base, c.after), c.bits);
    }
    // A counter that wrapped around still counts as grown.
    EXPECT_EQ(FaultBitsBetween({0xFFFFFFFFu, 0, 0, 0, 0}, {1, 0, 0, 0, 0}), kPortFaultFraming);
}

}  // namespace
}  // namespace miradel
