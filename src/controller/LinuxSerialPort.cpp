#include "controller/LinuxSerialPort.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "controller/PortFault.h"

namespace miradel {

namespace {

struct BaudRate {
    int baud;
    speed_t speed;
};

constexpr BaudRate kBaudRates[] = {
    {50, B50},       {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},     {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

bool SpeedFor(int baud, speed_t& speed) {
    for (const BaudRate& rate : kBaudRates) {
        if (rate.baud == baud) {
            speed = rate.speed;
            return true;
        }
    }
    return false;
}

bool SizeFor(int dataBits, tcflag_t& size) {
    constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    if (dataBits < 5 || dataBits > 8) {
        return false;
    }
    size = kSizes[dataBits - 5];
    return true;
}

std::string SettingsText(const SerialSettings& settings) {
    const char parity = settings.parity == Parity::Even  ? 'E'
                        : settings.parity == Parity::Odd ? 'O'
                                                         : 'N';
    return std::to_string(settings.baud) + " " + std::to_string(settings.dataBits) + parity +
           std::to_string(settings.stopBits);
}

// The device is gone or broken, as opposed to "try again later".
bool IsDeviceError(int error) {
    return error != EAGAIN && error != EWOULDBLOCK && error != EINTR;
}

// The ioctl is simply not offered by this kind of device.
bool IsUnsupported(int error) {
    return error == ENOTTY || error == EINVAL;
}

}  // namespace

uint16_t FaultBitsBetween(const LineErrorCounts& before, const LineErrorCounts& after) {
    uint16_t bits = 0;
    if (after.framing != before.framing) {
        bits |= kPortFaultFraming;
    }
    if (after.parity != before.parity) {
        bits |= kPortFaultRxParity;
    }
    if (after.overrun != before.overrun) {
        bits |= kPortFaultOverrun;
    }
    if (after.breaks != before.breaks) {
        bits |= kPortFaultBreak;
    }
    if (after.bufferOverrun != before.bufferOverrun) {
        bits |= kPortFaultRxOver;
    }
    return bits;
}

LinuxSerialPort::LinuxSerialPort(std::string devicePath) : path_(std::move(devicePath)) {}

LinuxSerialPort::LinuxSerialPort(int fd, std::string name)
    : path_(std::move(name)), adopted_(true), adoptedFd_(fd) {}

std::unique_ptr<LinuxSerialPort> LinuxSerialPort::Adopt(int fd, std::string name) {
    return std::unique_ptr<LinuxSerialPort>(new LinuxSerialPort(fd, std::move(name)));
}

LinuxSerialPort::~LinuxSerialPort() {
    Close();
    if (adoptedFd_ >= 0) {
        ::close(adoptedFd_);
    }
}

bool LinuxSerialPort::Open(const SerialSettings& settings) {
    if (adopted_ && fd_ >= 0) {
        // Closing an adopted descriptor would lose it; just set the line up again.
        pending_.clear();
        return Configure(settings);
    }
    Close();
    int fd = -1;
    if (adopted_) {
        fd = std::exchange(adoptedFd_, -1);
        if (fd < 0) {
            lastError_ = "cannot open " + path_ + ": the descriptor was closed";
            return false;
        }
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0) {
            ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
        }
    } else {
        fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            lastError_ = "cannot open " + path_ + ": " + std::strerror(errno);
            return false;
        }
    }
    fd_ = fd;
    if (!Configure(settings)) {
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    countsErrors_ = ReadCounts(counts_);
    faults_ = 0;
    // Whatever waited in the device from before is not ours.
    ::tcflush(fd_, TCIOFLUSH);
    lastError_.clear();
    return true;
}

bool MakeLineTermios(const SerialSettings& settings, termios& tio) {
    speed_t speed = 0;
    tcflag_t size = 0;
    if (!SpeedFor(settings.baud, speed) || !SizeFor(settings.dataBits, size) ||
        (settings.stopBits != 1 && settings.stopBits != 2)) {
        return false;
    }
    // Raw bytes in both directions. Break and bytes with parity or framing errors are neither
    // ignored nor marked: they arrive as 0x00 and the driver counts them.
    tio.c_iflag &= ~(IGNBRK | BRKINT | IGNPAR | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                     IXOFF | IXANY | IMAXBEL | IUCLC);
    if (settings.parity == Parity::None) {
        tio.c_iflag &= ~INPCK;
    } else {
        tio.c_iflag |= INPCK;
    }
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= size | CLOCAL | CREAD;
    if (settings.parity != Parity::None) {
        tio.c_cflag |= PARENB;
    }
    if (settings.parity == Parity::Odd) {
        tio.c_cflag |= PARODD;
    }
    if (settings.stopBits == 2) {
        tio.c_cflag |= CSTOPB;
    }
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    return true;
}

bool LinuxSerialPort::Configure(const SerialSettings& settings) {
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) {
        lastError_ =
            "cannot open " + path_ + ": not a serial device (" + std::strerror(errno) + ")";
        return false;
    }
    if (!MakeLineTermios(settings, tio)) {
        lastError_ = "cannot open " + path_ + ": unsupported settings " + SettingsText(settings);
        return false;
    }
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) {
        lastError_ = "cannot open " + path_ + ": " + SettingsText(settings) + " refused (" +
                     std::strerror(errno) + ")";
        return false;
    }
    // tcsetattr succeeds when any part of the change was taken. Only the speed is checked
    // here: a pseudo-terminal always reports 8 bits without parity, whatever it was given.
    termios applied{};
    if (::tcgetattr(fd_, &applied) != 0 || ::cfgetospeed(&applied) != ::cfgetospeed(&tio)) {
        lastError_ = "cannot open " + path_ + ": the device does not take " +
                     std::to_string(settings.baud) + " baud";
        return false;
    }
    return true;
}

void LinuxSerialPort::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    pending_.clear();
}

void LinuxSerialPort::SetModemLine(int bit, bool on, const char* name) {
    if (fd_ < 0) {
        return;
    }
    if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit) != 0) {
        lastError_ = std::string("cannot switch ") + name + (on ? " on" : " off") + " on " + path_ +
                     ": " + std::strerror(errno);
    }
}

void LinuxSerialPort::SetRts(bool on) {
    SetModemLine(TIOCM_RTS, on, "RTS");
}

void LinuxSerialPort::SetDtr(bool on) {
    SetModemLine(TIOCM_DTR, on, "DTR");
}

void LinuxSerialPort::DeviceFailed(const char* what, int error) {
    faults_ |= kPortFaultIo;
    lastError_ = std::string(what) + " " + path_ + ": " + std::strerror(error);
}

bool LinuxSerialPort::FlushPending() {
    std::size_t sent = 0;
    bool ok = true;
    while (sent < pending_.size()) {
        const ssize_t n = ::write(fd_, pending_.data() + sent, pending_.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && IsDeviceError(errno)) {
            // These bytes cannot go anywhere any more; the fault says so.
            DeviceFailed("cannot write to", errno);
            sent = pending_.size();
            ok = false;
        }
        break;  // the device takes no more for now
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(sent));
    return ok;
}

bool LinuxSerialPort::OutputEmpty() {
    if (fd_ < 0) {
        return true;
    }
    if (!FlushPending() || !pending_.empty()) {
        return pending_.empty();
    }
    int queued = 0;
    if (::ioctl(fd_, TIOCOUTQ, &queued) != 0) {
        if (!IsUnsupported(errno)) {
            DeviceFailed("cannot query the output of", errno);
        }
        return true;
    }
    return queued == 0;
}

bool LinuxSerialPort::Write(std::span<const uint8_t> bytes) {
    if (fd_ < 0) {
        lastError_ = "write to " + path_ + ": the port is not open";
        return false;
    }
    if (pending_.size() + bytes.size() > kMaxPendingOutput) {
        faults_ |= kPortFaultTxFull;
        lastError_ = "write to " + path_ + ": " + std::to_string(bytes.size()) +
                     " bytes refused, the output buffer is full";
        return false;
    }
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    return FlushPending();
}

std::size_t LinuxSerialPort::Read(std::span<uint8_t> buffer) {
    if (fd_ < 0 || buffer.empty()) {
        return 0;
    }
    for (;;) {
        const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
        if (n > 0) {
            return static_cast<std::size_t>(n);
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (IsDeviceError(errno)) {
                DeviceFailed("cannot read from", errno);
            }
            return 0;
        }
        break;
    }
    // With VMIN = 0 a hung-up device also reads as "nothing"; poll tells the two apart.
    pollfd poller{fd_, POLLIN, 0};
    if (::poll(&poller, 1, 0) > 0 && (poller.revents & (POLLHUP | POLLERR | POLLNVAL))) {
        DeviceFailed("hang-up on", EIO);
    }
    return 0;
}

bool LinuxSerialPort::ReadCounts(LineErrorCounts& counts) {
    serial_icounter_struct icount{};
    if (fd_ < 0 || ::ioctl(fd_, TIOCGICOUNT, &icount) != 0) {
        return false;
    }
    counts.framing = static_cast<uint32_t>(icount.frame);
    counts.parity = static_cast<uint32_t>(icount.parity);
    counts.overrun = static_cast<uint32_t>(icount.overrun);
    counts.breaks = static_cast<uint32_t>(icount.brk);
    counts.bufferOverrun = static_cast<uint32_t>(icount.buf_overrun);
    return true;
}

uint16_t LinuxSerialPort::TakeLineErrors() {
    if (fd_ >= 0 && countsErrors_) {
        LineErrorCounts now;
        if (ReadCounts(now)) {
            faults_ |= FaultBitsBetween(counts_, now);
            counts_ = now;
        } else if (!IsUnsupported(errno)) {
            DeviceFailed("cannot read the line errors of", errno);
        }
    }
    return std::exchange(faults_, 0);
}

void LinuxSerialPort::Purge() {
    pending_.clear();
    if (fd_ >= 0 && ::tcflush(fd_, TCIOFLUSH) != 0) {
        lastError_ = "cannot purge " + path_ + ": " + std::strerror(errno);
    }
}

}  // namespace miradel
