#include "app/channel/SingleInstance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <functional>

namespace miradel {

namespace {

sockaddr_un AddressOf(const std::string& name, socklen_t& length) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // An abstract name: a leading zero byte, then the name without a terminator.
    const std::size_t size = std::min(name.size(), sizeof(address.sun_path) - 1);
    std::memcpy(address.sun_path + 1, name.data(), size);
    length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size);
    return address;
}

}  // namespace

std::string InstanceName(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::path real = std::filesystem::weakly_canonical(folder, ec);
    if (ec) {
        real = std::filesystem::absolute(folder, ec);
    }
    const std::size_t hash = std::hash<std::string>{}(real.string());
    return "miradel-office-" + std::to_string(::getuid()) + "-" + std::to_string(hash);
}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

SingleInstance::Claim SingleInstance::ClaimFolder(const std::filesystem::path& folder) {
    socklen_t length = 0;
    const sockaddr_un address = AddressOf(InstanceName(folder), length);
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        error_ = std::strerror(errno);
        return Claim::kFailed;
    }
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
        ::listen(fd_, 4) == 0) {
        return Claim::kClaimed;
    }
    const int bindError = errno;
    ::close(fd_);
    fd_ = -1;
    if (bindError != EADDRINUSE) {
        error_ = std::strerror(bindError);
        return Claim::kFailed;
    }
    // Taken: tell the first office to come to the front.
    const int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (client >= 0) {
        if (::connect(client, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
            [[maybe_unused]] const ssize_t n = ::send(client, "raise\n", 6, MSG_NOSIGNAL);
        }
        ::close(client);
    }
    return Claim::kAlreadyRunning;
}

int SingleInstance::RaiseRequests() {
    int count = 0;
    if (fd_ < 0) {
        return 0;
    }
    for (int client; (client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
        ++count;
        ::close(client);
    }
    return count;
}

}  // namespace miradel
