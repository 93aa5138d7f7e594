// miradel-kabsim: the booth controller simulator on a pseudo-terminal or a serial device.
// See docs/KABSIM.md.

#include <signal.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "CommandLine.h"
#include "KabScript.h"
#include "KabSim.h"
#include "KabTrace.h"
#include "PseudoTerminal.h"
#include "common/Scheduler.h"
#include "controller/LinuxSerialPort.h"

namespace {

using namespace miradel;
using namespace miradel::kabsim;

constexpr int kExitOk = 0;
constexpr int kExitNoLine = 1;
constexpr int kExitBadInput = 2;
constexpr int kExitUnconfirmed = 3;

constexpr std::size_t kMaxScriptBytes = 1 << 20;

bool LoadScript(const std::string& path, KabScript& script) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "miradel-kabsim: cannot read " << path << '\n';
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    const std::string text = content.str();
    if (text.size() > kMaxScriptBytes) {
        std::cerr << "miradel-kabsim: " << path << " is too long for a script\n";
        return false;
    }
    ScriptParse parse = ParseKabScript(text);
    for (const ScriptError& error : parse.errors) {
        std::cerr << "miradel-kabsim: " << path << ": " << error.Text() << '\n';
    }
    script = std::move(parse.script);
    return parse.Ok();
}

// Waits for SIGINT/SIGTERM or for `finished`, whichever comes first.
void WaitForEnd(const sigset_t& signals, const std::atomic<bool>& finished, bool untilSignal) {
    const timespec slice{0, 50 * 1000 * 1000};
    for (;;) {
        if (::sigtimedwait(&signals, nullptr, &slice) > 0) {
            return;
        }
        if (!untilSignal && finished.load()) {
            return;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const CommandLineParse parse = ParseCommandLine(args);
    if (!parse.error.empty()) {
        std::cerr << "miradel-kabsim: " << parse.error << '\n' << kUsage;
        return kExitBadInput;
    }
    const CommandLine& options = parse.options;
    if (options.help) {
        std::cout << kUsage;
        return kExitOk;
    }

    // A bad script is refused before the line is touched.
    KabScript script;
    if (!options.script.empty() && !LoadScript(options.script, script)) {
        return kExitBadInput;
    }

    // The scheduler thread inherits this mask, so the signals reach only sigtimedwait here.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    PseudoTerminal pty;
    std::unique_ptr<LinuxSerialPort> port;
    if (options.pty) {
        if (!pty.Create()) {
            std::cerr << "miradel-kabsim: " << pty.Error() << '\n';
            return kExitNoLine;
        }
        port = pty.TakeMasterPort();
    } else {
        port = std::make_unique<LinuxSerialPort>(options.device);
    }
    if (!port->Open(options.pty ? kPtyMasterSettings : kControllerLineSettings)) {
        std::cerr << "miradel-kabsim: " << port->LastError() << '\n';
        return kExitNoLine;
    }
    if (options.pty) {
        std::cout << "PTY " << pty.SlavePath() << std::endl;
    }

    RealScheduler scheduler;
    KabSimOptions simOptions;
    if (options.ackDelayMs) {
        simOptions.ackDelayMs = *options.ackDelayMs;
    }
    simOptions.eventLimit = 0;  // nobody reads the log here; the listener prints
    KabSim sim(*port, scheduler, simOptions);
    std::atomic<bool> finished = false;
    sim.SetFinishedHandler([&finished] { finished = true; });
    const int64_t originMs = scheduler.NowMs();
    if (options.verbose) {
        sim.SetEventListener([originMs](const KabEvent& event) {
            std::cout << DescribeEvent(event, originMs) << std::endl;
        });
    }
    const bool hasScript = !options.script.empty();
    scheduler.Post([&] {
        sim.Start();
        if (hasScript) {
            sim.RunScript(std::move(script), options.waitStart ? KabSim::ScriptStart::kOnPcStart
                                                               : KabSim::ScriptStart::kNow);
        }
    });
    scheduler.Start();

    WaitForEnd(signals, finished, options.stay || !hasScript);
    scheduler.Stop();

    const KabCounters& counters = sim.Counters();
    if (options.verbose) {
        std::cout << "frames in " << counters.framesIn << ", acknowledged " << counters.acksSent
                  << ", messages sent " << counters.messagesSent << ", repeats "
                  << counters.repeatsSent << ", confirmed " << counters.messagesConfirmed
                  << std::endl;
    }
    if (counters.messagesGivenUp > 0) {
        std::cerr << "miradel-kabsim: " << counters.messagesGivenUp
                  << " message(s) were never confirmed\n";
        return kExitUnconfirmed;
    }
    return kExitOk;
}
