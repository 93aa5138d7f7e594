#include "printing/raw/DeviceFileBackend.h"

#include <fcntl.h>
#include <linux/lp.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <fmt/format.h>

#include <cerrno>
#include <cstring>

#include "common/Cp1251.h"

namespace miradel {

namespace {

// Writing to a FIFO or device whose reader went away raises SIGPIPE, which would end the
// whole office. The signal is blocked on this thread while writing and a SIGPIPE the write
// raised is taken off again, so the failure comes back as EPIPE only.
class SigpipeGuard {
  public:
    SigpipeGuard() {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &set, &old_);
        sigset_t pending;
        sigemptyset(&pending);
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
    }
    ~SigpipeGuard() {
        if (!wasPending_) {
            sigset_t set;
            sigemptyset(&set);
            sigaddset(&set, SIGPIPE);
            const timespec none{0, 0};
            while (sigtimedwait(&set, nullptr, &none) < 0 && errno == EINTR) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    SigpipeGuard(const SigpipeGuard&) = delete;
    SigpipeGuard& operator=(const SigpipeGuard&) = delete;

  private:
    sigset_t old_;
    bool wasPending_ = false;
};

int64_t NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t{ts.tv_sec} * 1000 + ts.tv_nsec / 1000000;
}

std::string OpenError(const std::filesystem::path& device, int error, bool fifo) {
    const std::string path = device.string();
    switch (error) {
        case ENOENT:
            return fmt::format("Printer device {} does not exist (printer unplugged or off?)",
                               path);
        case ENXIO:
        case ENODEV:
            return fifo ? fmt::format("Nothing reads from {}", path)
                        : fmt::format("No printer answers on {} (printer unplugged or off?)", path);
        case EACCES:
        case EPERM:
            return fmt::format("No permission to write to {} (is the user in group lp?)", path);
        case EBUSY:
            return fmt::format("Printer device {} is busy", path);
        default:
            return fmt::format("Printer device {} cannot be opened: {}", path,
                               std::strerror(error));
    }
}

}  // namespace

DeviceFileBackend::DeviceFileBackend(std::filesystem::path device, int timeoutMs)
    : device_(std::move(device)), timeoutMs_(timeoutMs > 0 ? timeoutMs : 1) {}

DeviceFileBackend::~DeviceFileBackend() {
    Release();
}

PrinterLookup DeviceFileBackend::CurrentPrinter() {
    if (device_.empty()) {
        return {"", "No printer device is set in printer.cfg"};
    }
    // The device's own name ("lp0") names the printer; the path is what gets opened.
    std::string name = device_.filename().string();
    if (name.empty()) {
        name = device_.string();
    }
    return {std::string(Utf8Prefix(name, 32)), ""};
}

BackendStatus DeviceFileBackend::StartJob(const std::string&, const std::string&) {
    Release();
    struct stat st {};
    const bool known = ::stat(device_.c_str(), &st) == 0;
    if (known && S_ISDIR(st.st_mode)) {
        return {fmt::format("Printer device {} is a folder", device_.string())};
    }
    const bool fifo = known && S_ISFIFO(st.st_mode);
    // No O_CREAT: an unplugged USB printer must not turn into a file under /dev.
    const int fd = ::open(device_.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return {OpenError(device_, errno, fifo)};
    }
    if (known && S_ISCHR(st.st_mode)) {
        // Printer port drivers tell paper and on-line state; other devices refuse the ioctl.
        int status = 0;
        if (::ioctl(fd, LPGETSTATUS, &status) == 0) {
            if (status & LP_POUTPA) {
                ::close(fd);
                return {fmt::format("Printer on {} is out of paper", device_.string())};
            }
            if (!(status & LP_PSELECD)) {
                ::close(fd);
                return {fmt::format("Printer on {} is offline", device_.string())};
            }
        }
    }
    fd_ = fd;
    return {};
}

WriteOutcome DeviceFileBackend::WriteBytes(std::string_view bytes) {
    WriteOutcome outcome;
    if (fd_ < 0) {
        outcome.error = fmt::format("Printer device {} is not open", device_.string());
        return outcome;
    }
    SigpipeGuard guard;
    int64_t deadline = NowMs() + timeoutMs_;
    while (outcome.written < bytes.size()) {
        const ssize_t n =
            ::write(fd_, bytes.data() + outcome.written, bytes.size() - outcome.written);
        if (n > 0) {
            outcome.written += static_cast<std::size_t>(n);
            deadline = NowMs() + timeoutMs_;  // the printer is taking data: wait afresh
            continue;
        }
        const int error = n < 0 ? errno : EAGAIN;
        if (error == EINTR) {
            continue;
        }
        if (error == EAGAIN) {
            const int64_t left = deadline - NowMs();
            pollfd p{fd_, POLLOUT, 0};
            const int ready = left > 0 ? ::poll(&p, 1, static_cast<int>(left)) : 0;
            if (ready > 0 && !(p.revents & (POLLERR | POLLHUP | POLLNVAL))) {
                continue;
            }
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready > 0) {
                outcome.error = fmt::format("Printer on {} went away", device_.string());
            } else {
                outcome.error = fmt::format(
                    "Printer on {} takes no data (offline or out of paper?)", device_.string());
            }
        } else if (error == EPIPE) {
            outcome.error = fmt::format("Nothing reads from {} any more", device_.string());
        } else {
            outcome.error = fmt::format("Printer device {} cannot be written: {}", device_.string(),
                                        std::strerror(error));
        }
        Release();  // a printer that failed is let go at once
        return outcome;
    }
    return outcome;
}

BackendStatus DeviceFileBackend::EndJob() {
    if (fd_ < 0) {
        return {};
    }
    const int rc = ::close(fd_);
    const int error = errno;
    fd_ = -1;
    if (rc != 0 && error != EINTR) {
        return {fmt::format("Printer device {} cannot be closed: {}", device_.string(),
                            std::strerror(error))};
    }
    return {};
}

void DeviceFileBackend::Release() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

}  // namespace miradel
