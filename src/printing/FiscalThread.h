#pragma once
// Running a fiscal worker: FiscalWorkerRunner steps it on any scheduler until told to stop;
// FiscalThread gives it a thread of its own at idle priority.
//
// Stopping never cuts a step short: the step in progress (a driver call included) ends, then
// the worker finishes on its own thread. RequestStop does not wait, so the window thread is
// never held by the register; Stop waits for the end.

#include <condition_variable>
#include <memory>
#include <mutex>

#include "common/Scheduler.h"
#include "printing/FiscalWorker.h"

namespace miradel {

class FiscalWorkerRunner {
  public:
    FiscalWorkerRunner(Scheduler& scheduler, FiscalWorker& worker);
    ~FiscalWorkerRunner();  // the scheduler must no longer run this runner's steps
    FiscalWorkerRunner(const FiscalWorkerRunner&) = delete;
    FiscalWorkerRunner& operator=(const FiscalWorkerRunner&) = delete;

    void Start();
    // Any thread; returns at once.
    void RequestStop();
    bool Finished() const;
    // Blocks until the worker has finished; only with a scheduler running on another thread.
    void WaitFinished();

  private:
    void Run();
    void End();  // under no lock

    Scheduler& scheduler_;
    FiscalWorker& worker_;
    mutable std::mutex mutex_;
    std::condition_variable finished_cv_;
    Scheduler::TaskId pending_ = 0;
    bool started_ = false;
    bool stopRequested_ = false;
    bool finished_ = false;
};

// Moves the calling thread to the idle scheduling class (SCHED_IDLE), or failing that to
// nice 19. False when neither was allowed; the worker then runs at normal priority.
bool LowerThreadToIdle();

class FiscalThread {
  public:
    explicit FiscalThread(FiscalWorker& worker);
    ~FiscalThread();  // Stop()

    // The thread starts, lowers its priority first, then runs the worker.
    void Start();
    void RequestStop() { runner_.RequestStop(); }
    bool Finished() const { return runner_.Finished(); }
    void Stop();

  private:
    RealScheduler scheduler_;
    FiscalWorkerRunner runner_;
    bool stopped_ = false;
};

}  // namespace miradel
