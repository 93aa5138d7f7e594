// miradel: the call office. With a display it opens the main window (`--gui` insists on it);
// `--headless` takes the operator's commands line by line on stdin, `--demo` sets up a
// demonstration office on a simulated booth controller and plays one client's call.
#include <sys/resource.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <iostream>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Console.h"
#include "DemoFolder.h"
#include "KabSim.h"
#include "PseudoTerminal.h"
#include "app/Headless.h"
#include "app/Office.h"
#include "app/config/AppConfigFields.h"
#include "app/config/StateFiles.h"
#include "common/AtomicFile.h"
#include "common/Clock.h"
#include "common/Cp1251.h"
#include "common/Scheduler.h"
#include "controller/LinuxSerialPort.h"
#include "controller/PortMap.h"
#ifdef MIRADEL_WITH_GUI
#include "GuiOffice.h"
#endif

namespace miradel::office {
namespace {

struct Options {
    bool headless = false;
    bool demo = false;
    bool gui = false;  // the main window
    std::string workdir;
    std::string device;
    AnswerPolicy policy = AnswerPolicy::kYes;
    int talkSeconds = 20;  // the demo call's talk
};

constexpr const char* kUsage =
    "usage: miradel --headless --workdir DIR [--answer yes|no|first] [--device PATH]\n"
    "       miradel --demo [--workdir DIR] [--answer yes|no|first] [--talk SECONDS]\n"
#ifdef MIRADEL_WITH_GUI
    "       miradel [--gui] --workdir DIR [--device PATH]   (the main window)\n"
#endif
    ;

// The main window opens when asked for, or when a display is there and no other mode is.
bool WindowsWanted(const Options& o) {
#ifdef MIRADEL_WITH_GUI
    return o.gui || (!o.headless && !o.demo && DisplayAvailable());
#else
    (void)o;
    return false;
#endif
}

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) {
                return std::nullopt;
            }
            return std::string(argv[++i]);
        };
        if (arg == "--headless") {
            o.headless = true;
        } else if (arg == "--demo") {
            o.demo = true;
        } else if (arg == "--gui") {
            o.gui = true;
        } else if (arg == "--talk") {
            const auto v = value();
            if (!v || v->empty() || v->find_first_not_of("0123456789") != std::string::npos ||
                v->size() > 3) {
                return std::nullopt;
            }
            o.talkSeconds = std::stoi(*v);
        } else if (arg == "--workdir" || arg == "--device" || arg == "--answer") {
            const auto v = value();
            if (!v) {
                return std::nullopt;
            }
            if (arg == "--workdir") {
                o.workdir = *v;
            } else if (arg == "--device") {
                o.device = *v;
            } else if (*v == "yes") {
                o.policy = AnswerPolicy::kYes;
            } else if (*v == "no") {
                o.policy = AnswerPolicy::kNo;
            } else if (*v == "first") {
                o.policy = AnswerPolicy::kFirst;
            } else {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    if (WindowsWanted(o)) {
        if (o.headless || o.demo || o.workdir.empty()) {
            return std::nullopt;
        }
        o.gui = true;
        return o;
    }
    if (o.headless == o.demo || (o.headless && o.workdir.empty())) {
        return std::nullopt;
    }
    return o;
}

// Normal, high or "real time" as far as a nice value goes; a refusal is only a warning.
bool SetProcessPriority(int level) {
    const int nice = level == 1 ? -5 : level == 2 ? -15 : 0;
    return setpriority(PRIO_PROCESS, 0, nice) == 0;
}

void SleepMs(int64_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// One office process on the real clock: the engine thread, the console and the office.
class OfficeRun {
  public:
    OfficeRun(const std::filesystem::path& workdir, const Options& options, Console& console,
              PasswordDialog passwords)
        : console_(console), prompt_(console, options.policy), status_(console) {
        const std::string device = options.device;
        OfficeHost host{
            scheduler_,
            clock_,
            prompt_,
            status_,
            [workdir, device](int comIndex) -> std::unique_ptr<SerialPort> {
                std::string path = device;
                if (path.empty()) {
                    path = LoadPortMap(workdir).map.DevicePath(comIndex).value_or("");
                }
                return std::make_unique<LinuxSerialPort>(path);
            },
            std::move(passwords),
            SetProcessPriority,
            [this](const std::string& note) { console_.Line("note: " + note); },
            [this](const LoginResult& r) {
                console_.Line(r.LoggedIn()
                                  ? "ok operator " + std::to_string(r.operatorNo) + " type " +
                                        std::to_string(r.type)
                                  : std::string("error ") + std::string(kPasswordNotFound));
            }};
        office_ = std::make_unique<Office>(workdir, std::move(host));
        commands_ = std::make_unique<HeadlessCommands>(*office_, SleepMs);
    }

    ~OfficeRun() {
        StopWindowTimer();
        office_.reset();
        scheduler_.Stop();
    }

    // Construction and the first tick of the main timer; false when the office cannot run.
    bool Start() {
        scheduler_.Start();
        if (auto error = office_->Start()) {
            console_.Line("message: Error: " + error->text);
            if (!error->detail.empty()) {
                console_.Line("note: " + error->detail);
            }
            return false;
        }
        SleepMs(1000);
        office_->MainTimerTick();
        if (office_->CloseRequested()) {
            SleepMs(1000);
            office_->Shutdown();
            return false;
        }
        // The later ticks of the main window timer (a failed fiscal link goes autonomous).
        windowTimer_ = std::thread([this] {
            std::unique_lock lock(timerMutex_);
            while (!timerStop_.wait_for(lock, std::chrono::seconds(1), [this] { return stop_; })) {
                office_->MainTimerTick();
            }
        });
        return true;
    }

    void StopWindowTimer() {
        {
            std::lock_guard lock(timerMutex_);
            stop_ = true;
        }
        timerStop_.notify_all();
        if (windowTimer_.joinable()) {
            windowTimer_.join();
        }
    }

    // Runs one command and prints its lines; true once the office has closed.
    bool Execute(const std::string& line) {
        for (const std::string& out : commands_->Execute(line)) {
            console_.Line(out);
        }
        if (commands_->Quit()) {
            SleepMs(1000);  // the window closes one second after the answer
            StopWindowTimer();
            office_->Shutdown();
            return true;
        }
        return false;
    }

    Office& office() { return *office_; }

  private:
    Console& console_;
    ConsolePrompt prompt_;
    ConsoleStatus status_;
    SystemClock clock_;
    RealScheduler scheduler_;
    std::unique_ptr<Office> office_;
    std::unique_ptr<HeadlessCommands> commands_;
    std::thread windowTimer_;
    std::mutex timerMutex_;
    std::condition_variable timerStop_;
    bool stop_ = false;
};

int RunHeadless(const Options& options, Console& console) {
    bool inputEnded = false;
    // The "Паспорт" dialog reads "login PASSWORD" lines; "quit" or the end of input cancels.
    PasswordDialog passwords = [&]() -> std::optional<std::string> {
        for (std::string line; std::getline(std::cin, line);) {
            if (line.rfind("login ", 0) == 0) {
                return line.substr(6);
            }
            if (line == "quit") {
                return std::nullopt;
            }
            console.Line("error log in first: login PASSWORD");
        }
        inputEnded = true;
        return std::nullopt;
    };
    OfficeRun run(options.workdir, options, console, passwords);
    if (!run.Start()) {
        return 1;
    }
    for (std::string line; !inputEnded && std::getline(std::cin, line);) {
        if (line.empty()) {
            continue;
        }
        if (run.Execute(line)) {
            return 0;
        }
    }
    // The input has ended: close as the operator would; a refusal still ends the process,
    // and the booths come back from kabin.cfg at the next start.
    if (!run.Execute("quit")) {
        run.StopWindowTimer();
        run.office().Shutdown();
    }
    return 0;
}

std::vector<std::string> ReceiptLines(const std::filesystem::path& file) {
    std::vector<std::string> lines;
    const auto bytes = ReadWholeFile(file);
    if (!bytes) {
        return lines;
    }
    const std::string text(bytes->begin(), bytes->end());
    const std::string end("\n\r\0", 3);
    std::size_t pos = 0;
    for (std::size_t at; (at = text.find(end, pos)) != std::string::npos; pos = at + 3) {
        lines.push_back(Cp1251ToUtf8(text.substr(pos, at - pos)));
    }
    return lines;
}

std::set<std::filesystem::path> SpoolFiles(const std::filesystem::path& folder) {
    std::set<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
        files.insert(e.path());
    }
    return files;
}

int RunDemo(const Options& options, Console& console) {
    const std::filesystem::path workdir =
        options.workdir.empty() ? DefaultDemoFolder() : std::filesystem::path(options.workdir);
    if (auto error = PrepareDemoFolder(workdir, MIRADEL_DEMO_EXAMPLES); !error.empty()) {
        console.Line("error " + error);
        return 1;
    }
    console.Line("demo: working folder " + workdir.string());

    kabsim::PseudoTerminal pty;
    if (!pty.Create()) {
        console.Line("error " + pty.Error());
        return 1;
    }
    std::unique_ptr<LinuxSerialPort> master = pty.TakeMasterPort();
    if (!master->Open(kabsim::kPtyMasterSettings)) {
        console.Line("error " + master->LastError());
        return 1;
    }
    RealScheduler simScheduler;
    kabsim::KabSim controller(*master, simScheduler);
    controller.Start();
    simScheduler.Start();
    const int comIndex = [&] {
        AppConfig config{AppConfigData::Defaults()};
        LoadAppConfig(workdir, config);
        return int(config.Get(appcfg::kComPortApp));
    }();
    if (auto error = PointPortAt(workdir, comIndex, pty.SlavePath()); !error.empty()) {
        console.Line("error " + error);
        return 1;
    }
    console.Line("demo: booth controller simulator on " + pty.SlavePath() + " (" +
                 ComPortName(comIndex) + " in ports.cfg)");

    const std::filesystem::path spool = workdir / "receipts";
    const auto before = SpoolFiles(spool);
    int code = 0;
    {
        bool asked = false;
        PasswordDialog passwords = [&]() -> std::optional<std::string> {
            if (asked) {
                return std::nullopt;
            }
            asked = true;
            console.Line("> login " + std::string(kServicePassword));
            return std::string(kServicePassword);
        };
        Options o = options;
        o.device.clear();
        OfficeRun run(workdir, o, console, passwords);
        if (!run.Start()) {
            code = 1;
        } else {
            auto command = [&](const std::string& line) {
                console.Line("> " + line);
                run.Execute(line);
            };
            auto client = [&](const std::string& what, std::function<void()> action) {
                console.Line("client: " + what);
                simScheduler.Post(std::move(action));
            };
            command("show state");
            command("advance 1 10.00");
            SleepMs(500);
            client("lifts the handset in booth 1", [&] { controller.Lift(0); });
            SleepMs(500);
            console.Line("client: dials 84951234567");
            for (char c : std::string("84951234567")) {
                const int digit = c == '0' ? 10 : c - '0';
                simScheduler.Post([&controller, digit] { controller.Dial(0, digit); });
                SleepMs(300);
            }
            SleepMs(700);
            client("the called party answers", [&] { controller.Answer(0); });
            command("wait " + std::to_string(options.talkSeconds));
            client("hangs up", [&] { controller.HangUp(0); });
            SleepMs(1000);
            command("show booths");
            command("settle 1 print");
            command("show kassa");
            SleepMs(500);
            command("quit");
        }
    }
    simScheduler.Post([&] { controller.Stop(); });
    SleepMs(100);
    simScheduler.Stop();
    for (const auto& file : SpoolFiles(spool)) {
        if (before.count(file) == 0) {
            console.Line("receipt " + file.filename().string() + ":");
            for (const std::string& line : ReceiptLines(file)) {
                console.Line("  | " + line);
            }
        }
    }
    console.Line(code == 0 ? "demo: done" : "demo: the office did not start");
    return code;
}

}  // namespace
}  // namespace miradel::office

int main(int argc, char** argv) {
    using namespace miradel::office;
    const auto options = ParseOptions(argc, argv);
    if (!options) {
        std::cerr << kUsage;
        return 2;
    }
#ifdef MIRADEL_WITH_GUI
    if (options->gui) {
        return RunGui({options->workdir, options->device}, argc, argv);
    }
#endif
    Console console;
    return options->demo ? RunDemo(*options, console) : RunHeadless(*options, console);
}
