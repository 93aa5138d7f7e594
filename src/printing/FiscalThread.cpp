#include "printing/FiscalThread.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace miradel {

FiscalWorkerRunner::FiscalWorkerRunner(Scheduler& scheduler, FiscalWorker& worker)
    : scheduler_(scheduler), worker_(worker) {}

FiscalWorkerRunner::~FiscalWorkerRunner() {
    std::lock_guard lock(mutex_);
    if (pending_ != 0) {
        scheduler_.Cancel(pending_);
    }
}

void FiscalWorkerRunner::Start() {
    std::lock_guard lock(mutex_);
    if (started_ || stopRequested_) {
        return;
    }
    started_ = true;
    pending_ = scheduler_.ScheduleAfter(0, [this] { Run(); });
    if (pending_ == 0) {
        finished_ = true;
    }
}

void FiscalWorkerRunner::RequestStop() {
    bool endHere = false;
    {
        std::lock_guard lock(mutex_);
        if (stopRequested_ || finished_) {
            return;
        }
        stopRequested_ = true;
        if (!started_) {
            finished_ = true;
            finished_cv_.notify_all();
            return;
        }
        // A step waiting for its time is replaced by the worker's end; a step running now
        // sees the request when it is over.
        if (pending_ != 0 && scheduler_.Cancel(pending_)) {
            pending_ = scheduler_.ScheduleAfter(0, [this] { Run(); });
            endHere = pending_ == 0;  // the scheduler is gone: nothing else runs the worker
        }
    }
    if (endHere) {
        End();
    }
}

bool FiscalWorkerRunner::Finished() const {
    std::lock_guard lock(mutex_);
    return finished_;
}

void FiscalWorkerRunner::WaitFinished() {
    std::unique_lock lock(mutex_);
    finished_cv_.wait(lock, [this] { return finished_; });
}

void FiscalWorkerRunner::Run() {
    bool stop = false;
    {
        std::lock_guard lock(mutex_);
        pending_ = 0;
        stop = stopRequested_;
    }
    if (!stop) {
        const int64_t delay = worker_.Step();
        std::lock_guard lock(mutex_);
        if (!stopRequested_) {
            pending_ = scheduler_.ScheduleAfter(delay, [this] { Run(); });
            if (pending_ != 0) {
                return;
            }
        }
    }
    End();
}

void FiscalWorkerRunner::End() {
    worker_.Finish();
    std::lock_guard lock(mutex_);
    finished_ = true;
    finished_cv_.notify_all();
}

bool LowerThreadToIdle() {
    sched_param param{};
    param.sched_priority = 0;
    if (pthread_setschedparam(pthread_self(), SCHED_IDLE, &param) == 0) {
        return true;
    }
    const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
    return ::setpriority(PRIO_PROCESS, tid, 19) == 0;
}

FiscalThread::FiscalThread(FiscalWorker& worker) : runner_(scheduler_, worker) {}

FiscalThread::~FiscalThread() {
    Stop();
}

void FiscalThread::Start() {
    scheduler_.Start();
    scheduler_.Post([] { LowerThreadToIdle(); });
    runner_.Start();
}

void FiscalThread::Stop() {
    if (stopped_) {
        return;
    }
    stopped_ = true;
    runner_.RequestStop();
    runner_.WaitFinished();
    scheduler_.Stop();
}

}  // namespace miradel
