#pragma once
// Operator command lines from several sources (standard input, control socket connections)
// in the order they arrive, each with the way back to whoever sent it. The office takes them
// one at a time on its own thread, so the commands never run side by side.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace miradel {

struct CommandLine {
    std::string text;
    // Receives each result line of the command (may be called from the office's thread).
    std::function<void(const std::string&)> reply;
};

class CommandQueue {
  public:
    void Push(CommandLine line);
    // Standard input has ended: once the queue is empty, Pop returns nothing.
    void InputEnded();
    // Waits for the next line; nothing once the input has ended and the queue is empty.
    std::optional<CommandLine> Pop();

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<CommandLine> lines_;
    bool ended_ = false;
};

}  // namespace miradel
