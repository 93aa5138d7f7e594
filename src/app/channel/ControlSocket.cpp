#include "app/channel/ControlSocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace miradel {

struct ControlSocket::Connection {
    int fd = -1;
    std::mutex writeMutex;
    std::atomic<bool> open{true};
    std::atomic<bool> finished{false};  // its reading thread has ended
    std::thread server;

    // Joins the reading thread and closes the socket; a late answer then finds it closed.
    void End() {
        if (server.joinable()) {
            server.join();
        }
        std::lock_guard lock(writeMutex);
        open = false;
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }

    void Write(const std::string& line) {
        std::lock_guard lock(writeMutex);
        if (!open) {
            return;
        }
        const std::string out = line + "\n";
        std::size_t sent = 0;
        while (sent < out.size()) {
            // Never wait for a client: one that sends commands but reads no answers must not
            // hold up the office's commands.
            const ssize_t n =
                ::send(fd, out.data() + sent, out.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                // Gone, or its answers pile up unread: it loses them and its connection.
                open = false;
                ::shutdown(fd, SHUT_RDWR);
                return;
            }
            sent += std::size_t(n);
        }
    }
};

ControlSocket::~ControlSocket() {
    Close();
}

std::string ControlSocket::Listen(const std::filesystem::path& path) {
    sockaddr_un address{};
    const std::string name = path.string();
    if (name.empty() || name.size() >= sizeof(address.sun_path)) {
        return "control socket path too long or empty: " + name;
    }
    struct stat st {};
    if (::lstat(name.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            return "control socket path exists and is not a socket: " + name;
        }
        ::unlink(name.c_str());
    }
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) {
        return std::string("control socket: ") + std::strerror(errno);
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.c_str(), name.size() + 1);
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listenFd_, 8) != 0 || ::pipe2(wakeFd_, O_CLOEXEC) != 0) {
        const std::string error = std::strerror(errno);
        ::close(listenFd_);
        listenFd_ = -1;
        return "control socket " + name + ": " + error;
    }
    path_ = path;
    acceptor_ = std::thread([this] { AcceptLoop(); });
    return {};
}

void ControlSocket::AcceptLoop() {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFd_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (closing_ || (fds[1].revents & POLLIN) != 0) {
            return;
        }
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno != EINTR && errno != EAGAIN && errno != ECONNABORTED) {
                // Out of descriptors or memory: the pending client stays in the backlog, so
                // wait a little instead of spinning on it.
                ::poll(nullptr, 0, 100);
            }
            continue;
        }
        DropFinished();  // a long-lived office sees many short clients
        auto connection = std::make_shared<Connection>();
        connection->fd = fd;
        std::lock_guard lock(mutex_);
        connections_.push_back(connection);
        connection->server = std::thread([this, connection] { Serve(connection); });
    }
}

void ControlSocket::Serve(const std::shared_ptr<Connection>& connection) {
    std::string pending;
    bool overlong = false;
    char buffer[1024];
    for (;;) {
        const ssize_t n = ::recv(connection->fd, buffer, sizeof(buffer), 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0 || closing_) {
            break;
        }
        for (ssize_t i = 0; i < n; ++i) {
            const char c = buffer[i];
            if (c != '\n') {
                if (pending.size() < kMaxLine) {
                    pending += c;
                } else {
                    overlong = true;
                }
                continue;
            }
            if (!pending.empty() && pending.back() == '\r') {
                pending.pop_back();
            }
            if (overlong) {
                connection->Write("error line longer than " + std::to_string(kMaxLine));
            } else if (!pending.empty()) {
                std::weak_ptr<Connection> weak = connection;
                queue_.Push({pending, [weak](const std::string& line) {
                                 if (auto c = weak.lock()) {
                                     c->Write(line);
                                 }
                             }});
            }
            pending.clear();
            overlong = false;
        }
    }
    connection->open = false;
    connection->finished = true;
}

void ControlSocket::DropFinished() {
    std::vector<std::shared_ptr<Connection>> ended;
    {
        std::lock_guard lock(mutex_);
        auto gone = [](const std::shared_ptr<Connection>& c) { return c->finished.load(); };
        for (auto& c : connections_) {
            if (gone(c)) {
                ended.push_back(c);
            }
        }
        std::erase_if(connections_, gone);
    }
    for (auto& c : ended) {
        c->End();
    }
}

void ControlSocket::Close() {
    if (listenFd_ < 0) {
        return;
    }
    closing_ = true;
    const char wake = 1;
    [[maybe_unused]] const ssize_t w = ::write(wakeFd_[1], &wake, 1);
    if (acceptor_.joinable()) {
        acceptor_.join();
    }
    std::vector<std::shared_ptr<Connection>> connections;
    {
        std::lock_guard lock(mutex_);
        for (auto& c : connections_) {
            ::shutdown(c->fd, SHUT_RDWR);  // ends each reading thread's recv
        }
        connections.swap(connections_);
    }
    for (auto& c : connections) {
        c->End();
    }

    ::close(listenFd_);
    ::close(wakeFd_[0]);
    ::close(wakeFd_[1]);
    listenFd_ = -1;
    ::unlink(path_.c_str());
}

}  // namespace miradel
