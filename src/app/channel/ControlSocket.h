#pragma once
// The office's control socket (`--control PATH`): a Unix stream socket that takes operator
// command lines from any number of connections. Each line goes on the command queue and its
// result lines go back on the same connection. A line longer than kMaxLine is answered with
// an error and dropped; a client that goes away loses only its own answers.
#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/channel/CommandQueue.h"

namespace miradel {

class ControlSocket {
  public:
    static constexpr std::size_t kMaxLine = 4096;

    explicit ControlSocket(CommandQueue& queue) : queue_(queue) {}
    ~ControlSocket();
    ControlSocket(const ControlSocket&) = delete;
    ControlSocket& operator=(const ControlSocket&) = delete;

    // Creates the socket at `path` (a stale socket file there is replaced; any other file is
    // left alone and refused) and starts accepting. Empty on success, else the reason.
    std::string Listen(const std::filesystem::path& path);
    // Stops accepting, closes every connection and removes the socket file.
    void Close();

  private:
    struct Connection;
    void AcceptLoop();
    void Serve(const std::shared_ptr<Connection>& connection);
    // Joins and forgets the connections whose clients have gone (accepting thread only).
    void DropFinished();

    CommandQueue& queue_;
    std::filesystem::path path_;
    int listenFd_ = -1;
    int wakeFd_[2] = {-1, -1};
    std::atomic<bool> closing_{false};
    std::thread acceptor_;
    std::mutex mutex_;
    std::vector<std::shared_ptr<Connection>> connections_;
};

}  // namespace miradel
