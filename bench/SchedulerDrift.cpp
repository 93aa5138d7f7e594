// Measures how far the engine's periodic tasks drift from their absolute grid in real time:
// a one-second task (the booth tick) beside two 1 ms tasks and a 32 ms task, as the exchange
// runs them. Prints the lateness of the one-second runs and the CPU time the process used.
//
//   build/bin/bench_scheduler_drift [seconds]      (default 600)

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <future>

#include "common/ProgramStatus.h"
#include "common/Scheduler.h"
#include "controller/PeriodicTask.h"

using namespace miradel;

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 600;
    RealScheduler scheduler;
    RecordingProgramStatus status;
    auto always = [] { return true; };
    long ticks1ms = 0;
    PeriodicTask transmitter(
        scheduler, 1, "tx", [&] { ++ticks1ms; }, always, status);
    PeriodicTask receiver(
        scheduler, 1, "rx", [&] { ++ticks1ms; }, always, status);
    PeriodicTask sender(
        scheduler, 32, "lcd", [] {}, always, status);

    int64_t start = 0;
    int runs = 0;
    int64_t worst = 0;
    int64_t last = 0;
    std::promise<void> done;
    PeriodicTask second(
        scheduler, 1000, "1s",
        [&] {
            ++runs;
            const int64_t late = scheduler.NowMs() - (start + runs * 1000LL);
            worst = std::max(worst, late);
            last = late;
            if (runs == seconds) {
                done.set_value();
            }
        },
        [&] { return runs < seconds; }, status);

    const double cpuBefore = CpuSeconds();
    scheduler.Start();
    std::promise<void> started;
    scheduler.Post([&] {
        start = scheduler.NowMs();
        transmitter.Start();
        receiver.Start();
        sender.Start();
        second.Start();
        started.set_value();
    });
    started.get_future().wait();
    done.get_future().wait();
    const double cpu = CpuSeconds() - cpuBefore;
    scheduler.Post([&] {
        transmitter.Kill();
        receiver.Kill();
        sender.Kill();
    });
    scheduler.Stop();

    std::printf("one-second runs: %d over %d s\n", runs, seconds);
    std::printf("lateness of the last run: %lld ms, worst: %lld ms\n", static_cast<long long>(last),
                static_cast<long long>(worst));
    std::printf("1 ms task runs: %ld (expected about %d)\n", ticks1ms, 2 * seconds * 1000);
    std::printf("CPU: %.2f s = %.2f %% of one core\n", cpu, 100.0 * cpu / seconds);
    return 0;
}
