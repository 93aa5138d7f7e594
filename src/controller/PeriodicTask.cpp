#include "controller/PeriodicTask.h"

namespace miradel {

PeriodicTask::PeriodicTask(Scheduler& scheduler, int64_t periodMs, std::string rearmErrorText,
                           std::function<void()> work, std::function<bool()> mayRearm,
                           ProgramStatusSink& errors)
    : scheduler_(scheduler),
      periodMs_(periodMs),
      rearmErrorText_(std::move(rearmErrorText)),
      work_(std::move(work)),
      mayRearm_(std::move(mayRearm)),
      errors_(errors) {}

PeriodicTask::~PeriodicTask() {
    Kill();
}

bool PeriodicTask::Start() {
    if (Active()) {
        return true;
    }
    killed_ = false;
    return Arm(scheduler_.NowMs() + periodMs_);
}

void PeriodicTask::Kill() {
    if (waiting_ != 0) {
        scheduler_.Cancel(waiting_);
        waiting_ = 0;
    }
    killed_ = true;
}

bool PeriodicTask::Arm(int64_t dueMs) {
    const Scheduler::TaskId id = scheduler_.ScheduleAt(dueMs, [this] { Run(); });
    if (id == 0) {
        return false;
    }
    waiting_ = id;
    dueMs_ = dueMs;
    return true;
}

void PeriodicTask::Run() {
    waiting_ = 0;
    running_ = true;
    killed_ = false;
    work_();
    running_ = false;
    if (killed_ || !mayRearm_()) {
        return;
    }
    // Keep to the absolute grid; after a long stall (a modal question, a suspended PC) take
    // the next slot from now instead of running every missed period in a burst.
    int64_t next = dueMs_ + periodMs_;
    const int64_t now = scheduler_.NowMs();
    if (next + periodMs_ <= now) {
        next = now + periodMs_;
    }
    for (int attempt = 0; attempt <= 10; ++attempt) {
        if (Arm(next)) {
            return;
        }
    }
    errors_.RaiseError(rearmErrorText_);
}

}  // namespace miradel
