#include "common/Scheduler.h"

#include <chrono>

namespace miradel {

Scheduler::TaskId TaskAgenda::Add(int64_t dueMs, Scheduler::Work work) {
    const Scheduler::TaskId id = nextId_++;
    const Key key{dueMs, sequence_++};
    byDue_.emplace(key, Entry{id, std::move(work)});
    byId_.emplace(id, key);
    return id;
}

bool TaskAgenda::Remove(Scheduler::TaskId id) {
    const auto it = byId_.find(id);
    if (it == byId_.end()) {
        return false;
    }
    byDue_.erase(it->second);
    byId_.erase(it);
    return true;
}

Scheduler::Work TaskAgenda::TakeNext() {
    auto it = byDue_.begin();
    Scheduler::Work work = std::move(it->second.work);
    byId_.erase(it->second.id);
    byDue_.erase(it);
    return work;
}

void TaskAgenda::Clear() {
    byDue_.clear();
    byId_.clear();
}

Scheduler::TaskId VirtualScheduler::ScheduleAt(int64_t dueMs, Work work) {
    std::lock_guard lock(mutex_);
    if (refusals_ > 0) {
        --refusals_;
        return 0;
    }
    return agenda_.Add(dueMs, std::move(work));
}

bool VirtualScheduler::Cancel(TaskId id) {
    std::lock_guard lock(mutex_);
    return agenda_.Remove(id);
}

std::size_t VirtualScheduler::Waiting() const {
    std::lock_guard lock(mutex_);
    return agenda_.Size();
}

void VirtualScheduler::RunFor(int64_t ms) {
    const int64_t until = clock_.MonotonicMs() + (ms > 0 ? ms : 0);
    for (;;) {
        Work work;
        {
            std::lock_guard lock(mutex_);
            if (agenda_.Empty() || agenda_.NextDue() > until) {
                break;
            }
            const int64_t due = agenda_.NextDue();
            if (due > clock_.MonotonicMs()) {
                clock_.AdvanceMs(due - clock_.MonotonicMs());
            }
            work = agenda_.TakeNext();
        }
        work();
    }
    if (until > clock_.MonotonicMs()) {
        clock_.AdvanceMs(until - clock_.MonotonicMs());
    }
}

RealScheduler::RealScheduler() = default;

RealScheduler::~RealScheduler() {
    Stop();
}

int64_t RealScheduler::NowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

Scheduler::TaskId RealScheduler::ScheduleAt(int64_t dueMs, Work work) {
    std::lock_guard lock(mutex_);
    if (stopping_) {
        return 0;
    }
    const bool first = agenda_.Empty() || dueMs < agenda_.NextDue();
    const TaskId id = agenda_.Add(dueMs, std::move(work));
    if (first) {
        wake_.notify_one();
    }
    return id;
}

bool RealScheduler::Cancel(TaskId id) {
    std::lock_guard lock(mutex_);
    return agenda_.Remove(id);
}

bool RealScheduler::OnSchedulerThread() const {
    return std::this_thread::get_id() == thread_.get_id();
}

void RealScheduler::Start() {
    std::lock_guard lock(mutex_);
    if (started_ || stopping_) {
        return;
    }
    started_ = true;
    thread_ = std::thread([this] { Loop(); });
}

void RealScheduler::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        agenda_.Clear();
    }
    wake_.notify_all();
    if (thread_.joinable() && !OnSchedulerThread()) {
        thread_.join();
    }
}

void RealScheduler::Loop() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (agenda_.Empty()) {
            wake_.wait(lock);
            continue;
        }
        const int64_t due = agenda_.NextDue();
        if (due > NowMs()) {
            const auto deadline =
                std::chrono::steady_clock::time_point(std::chrono::milliseconds(due));
            wake_.wait_until(lock, deadline);
            continue;
        }
        Work work = agenda_.TakeNext();
        lock.unlock();
        work();
        work = nullptr;  // release captures outside the lock
        lock.lock();
    }
}

}  // namespace miradel
