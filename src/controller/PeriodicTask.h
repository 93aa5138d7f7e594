#pragma once
// A periodic task of the timer context: a one-shot run on the scheduler that does its work and
// then re-arms itself at its previous deadline plus its period, but only while the owner
// allows it (application running and timers enabled). A re-arm the scheduler refuses is tried
// again at once up to ten more times; then the task's error text is raised and it stops.

#include <cstdint>
#include <functional>
#include <string>

#include "common/ProgramStatus.h"
#include "common/Scheduler.h"

namespace miradel {

class PeriodicTask {
  public:
    PeriodicTask(Scheduler& scheduler, int64_t periodMs, std::string rearmErrorText,
                 std::function<void()> work, std::function<bool()> mayRearm,
                 ProgramStatusSink& errors);
    ~PeriodicTask();
    PeriodicTask(const PeriodicTask&) = delete;
    PeriodicTask& operator=(const PeriodicTask&) = delete;

    // Arms the first run one period from now unless an instance is already waiting or
    // running; false when the scheduler refuses.
    bool Start();
    // Cancels the waiting run; a running one finishes but does not re-arm.
    void Kill();
    // True while a run is waiting or in progress.
    bool Active() const { return waiting_ != 0 || running_; }

  private:
    void Run();
    bool Arm(int64_t dueMs);

    Scheduler& scheduler_;
    int64_t periodMs_;
    std::string rearmErrorText_;
    std::function<void()> work_;
    std::function<bool()> mayRearm_;
    ProgramStatusSink& errors_;
    Scheduler::TaskId waiting_ = 0;
    int64_t dueMs_ = 0;
    bool running_ = false;
    bool killed_ = false;
};

}  // namespace miradel
