// miradel-link: runs the booth controller link on a real serial line and prints what arrives,
// without the rest of the office. An engineer uses it to see whether the controller answers;
// the tests use it against the booth controller simulator on a pseudo-terminal.
//
//   miradel-link (--device PATH | --com N [--workdir DIR]) [--seconds S]
//                [--cancel-on-stop]
//
// Prints one line per booth event ("booth 3: event 2"), every program state, operator log
// event and question, and at the end the CPU used and the confirmation delays.

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include "common/OperatorLogSink.h"
#include "common/OperatorPrompt.h"
#include "common/ProgramStatus.h"
#include "common/Scheduler.h"
#include "controller/ControllerExchange.h"
#include "controller/LinuxSerialPort.h"
#include "controller/PortMap.h"
#include "link/TimedPort.h"

using namespace miradel;

namespace {

std::atomic<bool> interrupted{false};
std::mutex outputMutex;

void Say(const std::string& line) {
    std::lock_guard lock(outputMutex);
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

class PrintingBooths final : public BoothEventSink {
  public:
    void RaiseBoothEvent(int panel, uint32_t event, int32_t argument) override {
        Say("booth " + std::to_string(panel) + ": event " + std::to_string(event) +
            (argument != 0 ? " " + std::to_string(argument) : ""));
    }
};

class PrintingStatus final : public ProgramStatusSink {
  public:
    void ShowProgramState(std::string_view text, StateColour, bool) override {
        Say("state: " + std::string(text));
    }
    void RaiseError(std::string_view text) override { Say("error: " + std::string(text)); }
    void DisableWindowTimer() override {}
};

class PrintingLog final : public OperatorLogSink {
  public:
    void LogEvent(int event, std::vector<std::string> values) override {
        std::string line = "operator log: event " + std::to_string(event);
        for (const auto& v : values)
            line += " | " + v;
        Say(line);
    }
};

class AnsweringPrompt final : public OperatorPrompt {
  public:
    explicit AnsweringPrompt(bool cancel) : cancel_(cancel) {}
    PromptAnswer Ask(const PromptRequest& r) override {
        Say("question: " + r.text);
        if (r.buttons == PromptButtons::OkCancel) {
            return cancel_ ? PromptAnswer::Cancel : PromptAnswer::Ok;
        }
        return PromptAnswer::Ok;
    }

  private:
    bool cancel_;
};

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: miradel-link (--device PATH | --com N [--workdir DIR]) [--seconds S] "
                 "[--cancel-on-stop]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string device;
    std::string workdir = ".";
    int com = 0;
    double seconds = 10;
    bool cancelOnStop = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (a == "--device" && i + 1 < argc) {
            device = next();
        } else if (a == "--com" && i + 1 < argc) {
            com = std::atoi(next());
        } else if (a == "--workdir" && i + 1 < argc) {
            workdir = next();
        } else if (a == "--seconds" && i + 1 < argc) {
            seconds = std::atof(next());
        } else if (a == "--cancel-on-stop") {
            cancelOnStop = true;
        } else {
            return Usage();
        }
    }
    if (device.empty()) {
        if (com < 1 || com > 8) {
            return Usage();
        }
        const PortMapLoad map = LoadPortMap(workdir);
        for (const auto& issue : map.issues)
            std::fprintf(stderr, "%s\n", issue.Text().c_str());
        device = map.map.DevicePath(com - 1).value_or(DefaultDevicePath(com - 1));
    }
    if (seconds <= 0) {
        return Usage();
    }
    std::signal(SIGINT, [](int) { interrupted = true; });
    std::signal(SIGTERM, [](int) { interrupted = true; });

    LinuxSerialPort serial(device);
    TimedPort port(serial);
    RealScheduler scheduler;
    PrintingBooths booths;
    PrintingStatus status;
    PrintingLog log;
    AnsweringPrompt prompt(cancelOnStop);
    ExchangeDebugView debug;
    ControllerExchange exchange(
        {scheduler, port, booths, status, log, prompt, debug, nullptr, nullptr, nullptr});

    const double cpuBefore = CpuSeconds();
    scheduler.Start();
    std::atomic<bool> started{false};
    scheduler.Post([&] {
        if (exchange.StartExchange()) {
            exchange.RequestStart();
            Say("link: " + device);
        } else {
            Say("cannot open " + device + ": " + serial.LastError());
        }
        started = true;
    });

    const auto until = std::chrono::steady_clock::now() +
                       std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000));
    while (!interrupted && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::atomic<bool> stopped{false};
    scheduler.Post([&] {
        exchange.StopTimers();
        stopped = true;
    });
    while (!stopped)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the tasks run down
    const double cpu = CpuSeconds() - cpuBefore;
    scheduler.Stop();

    std::vector<double> latencies = port.LatenciesMs();
    std::sort(latencies.begin(), latencies.end());
    std::printf("cpu: %.2f %% of one core over %.1f s\n", 100.0 * cpu / seconds, seconds);
    if (!latencies.empty()) {
        const auto at = [&](double q) {
            return latencies[std::min(latencies.size() - 1,
                                      static_cast<std::size_t>(q * latencies.size()))];
        };
        std::printf("confirmations: %zu, delay ms p50 %.1f p99 %.1f max %.1f\n", latencies.size(),
                    at(0.5), at(0.99), latencies.back());
    } else {
        std::printf("confirmations: 0\n");
    }
    return 0;
}
