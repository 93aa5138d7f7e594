#include "app/channel/CommandQueue.h"

namespace miradel {

void CommandQueue::Push(CommandLine line) {
    {
        std::lock_guard lock(mutex_);
        lines_.push_back(std::move(line));
    }
    ready_.notify_one();
}

void CommandQueue::InputEnded() {
    {
        std::lock_guard lock(mutex_);
        ended_ = true;
    }
    ready_.notify_all();
}

std::optional<CommandLine> CommandQueue::Pop() {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [this] { return !lines_.empty() || ended_; });
    if (lines_.empty()) {
        return std::nullopt;
    }
    CommandLine line = std::move(lines_.front());
    lines_.pop_front();
    return line;
}

}  // namespace miradel
