#pragma once
// The project's scheduler: one-shot tasks at absolute deadlines on a monotonic millisecond
// clock, run one at a time on one thread (the engine thread). Periodic work re-arms itself at
// its previous deadline plus its period, so it does not drift.
//
// Two kinds: RealScheduler runs its own thread on the PC's monotonic clock; VirtualScheduler
// runs only when a test advances it, on a VirtualClock, and gives exactly the same order of
// runs every time (deadline first, then the order in which tasks were scheduled).

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "common/Clock.h"

namespace miradel {

class Scheduler {
  public:
    using TaskId = uint64_t;  // 0 is never a task
    using Work = std::function<void()>;

    virtual ~Scheduler() = default;

    virtual int64_t NowMs() const = 0;
    // Schedules work at an absolute deadline; returns 0 when the scheduler refuses (stopped).
    virtual TaskId ScheduleAt(int64_t dueMs, Work work) = 0;
    TaskId ScheduleAfter(int64_t delayMs, Work work) {
        return ScheduleAt(NowMs() + delayMs, std::move(work));
    }
    // True when the task was still waiting and will not run.
    virtual bool Cancel(TaskId id) = 0;
    // Runs work on the scheduler's thread as soon as possible; callable from any thread.
    void Post(Work work) { ScheduleAt(NowMs(), std::move(work)); }
    // True on the thread that runs the tasks.
    virtual bool OnSchedulerThread() const = 0;
};

// The waiting tasks, ordered by deadline and then by scheduling order. Not thread-safe.
class TaskAgenda {
  public:
    Scheduler::TaskId Add(int64_t dueMs, Scheduler::Work work);
    bool Remove(Scheduler::TaskId id);
    bool Empty() const { return byDue_.empty(); }
    std::size_t Size() const { return byDue_.size(); }
    int64_t NextDue() const { return byDue_.begin()->first.first; }
    Scheduler::Work TakeNext();  // the earliest task; the agenda must not be empty
    void Clear();

  private:
    using Key = std::pair<int64_t, uint64_t>;  // deadline, sequence
    struct Entry {
        Scheduler::TaskId id;
        Scheduler::Work work;
    };
    std::map<Key, Entry> byDue_;
    std::unordered_map<Scheduler::TaskId, Key> byId_;
    uint64_t sequence_ = 0;
    Scheduler::TaskId nextId_ = 1;
};

// Runs tasks only when told to, advancing a VirtualClock to each task's deadline.
class VirtualScheduler final : public Scheduler {
  public:
    explicit VirtualScheduler(VirtualClock& clock) : clock_(clock) {}

    int64_t NowMs() const override { return clock_.MonotonicMs(); }
    TaskId ScheduleAt(int64_t dueMs, Work work) override;
    bool Cancel(TaskId id) override;
    bool OnSchedulerThread() const override { return true; }

    // Runs every task due within the next `ms` milliseconds, then leaves the clock there.
    void RunFor(int64_t ms);
    // Runs the tasks due now, without moving the clock.
    void RunDue() { RunFor(0); }
    // The next `count` attempts to schedule are refused, to test re-arm failures.
    void RefuseNext(int count) { refusals_ = count; }
    std::size_t Waiting() const;

  private:
    VirtualClock& clock_;
    mutable std::mutex mutex_;  // tasks may be scheduled from other threads in tests
    TaskAgenda agenda_;
    int refusals_ = 0;
};

// Runs tasks on its own thread at their deadlines on the monotonic clock.
class RealScheduler final : public Scheduler {
  public:
    RealScheduler();
    ~RealScheduler() override;  // stops and joins

    int64_t NowMs() const override;
    TaskId ScheduleAt(int64_t dueMs, Work work) override;
    bool Cancel(TaskId id) override;
    bool OnSchedulerThread() const override;

    void Start();
    // Stops after the running task; waiting tasks are dropped and further scheduling refused.
    void Stop();

  private:
    void Loop();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    TaskAgenda agenda_;
    bool stopping_ = false;
    bool started_ = false;
    std::thread thread_;
};

}  // namespace miradel
