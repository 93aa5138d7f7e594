// miradel: the call office. With a display it opens the main window (`--gui` insists on it);
// `--headless` takes the operator's commands line by line on stdin, `--demo` sets up a
// demonstration office on a simulated booth controller and plays one client's call.
#include <sys/resource.h>

#include <fmt/format.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <iostream>
#include <memory>
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
#include "app/channel/CommandQueue.h"
#include "app/channel/ControlSocket.h"
#include "app/channel/SingleInstance.h"
#include "app/config/AppConfigFields.h"
#include "app/config/StateFiles.h"
#include "common/AtomicFile.h"
#include "common/Clock.h"
#include "common/Cp1251.h"
#include "common/Scheduler.h"
#include "controller/LinuxSerialPort.h"
#include "controller/PortMap.h"
#ifdef MIRADEL_WITH_GUI
#include "BoothSimulatorWindow.h"
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
    std::string control;  // the control socket's path
    AnswerPolicy policy = AnswerPolicy::kYes;
    int talkSeconds = 20;  // the demo call's talk
};

constexpr const char* kUsage =
    "usage: miradel --headless [--workdir DIR] [--answer yes|no|first] [--device PATH]\n"
    "                          [--control SOCKET]\n"
    "       miradel --demo [--workdir DIR] [--answer yes|no|first] [--talk SECONDS]\n"
#ifdef MIRADEL_WITH_GUI
    "       miradel [--gui] [--workdir DIR] [--device PATH]   (the main window)\n"
    "       miradel --demo with a display: the demo office in its window, with the booth\n"
    "       simulator window\n"
#endif
    "The working folder is the current directory unless --workdir names another.\n";

// The main window opens when asked for, or when a display is there and no other mode is.
bool WindowsWanted(const Options& o) {
#ifdef MIRADEL_WITH_GUI
    return o.gui || (!o.headless && DisplayAvailable());
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
        } else if (arg == "--workdir" || arg == "--device" || arg == "--answer" ||
                   arg == "--control") {
            const auto v = value();
            if (!v) {
                return std::nullopt;
            }
            if (arg == "--workdir") {
                o.workdir = *v;
            } else if (arg == "--control") {
                o.control = *v;
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
        if (o.headless || !o.control.empty()) {
            return std::nullopt;
        }
        o.gui = true;
    } else if (o.headless == o.demo || (o.demo && !o.control.empty())) {
        return std::nullopt;
    }
    if (o.workdir.empty() && !o.demo) {
        o.workdir = ".";
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
            },
            {},
            nullptr};
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
        const auto begun = std::chrono::steady_clock::now();
        if (auto error = office_->Start()) {
            console_.Line("message: Error: " + error->text);
            if (!error->detail.empty()) {
                console_.Line("note: " + error->detail);
            }
            return false;
        }
        const auto built = std::chrono::steady_clock::now();
        SleepMs(1000);
        const auto tick = std::chrono::steady_clock::now();
        office_->MainTimerTick();
        // How long the office takes to stand ready: construction, and the first tick from the
        // login to "Норма" (the password is already typed, so the wait for it is not counted).
        const auto ready = std::chrono::steady_clock::now();
        auto ms = [](auto d) {
            return fmt::format(
                "{:.1f}", std::chrono::duration_cast<std::chrono::microseconds>(d).count() / 1e3);
        };
        console_.Line("note: start-up " + ms(built - begun) + " ms, first tick " +
                      ms(ready - tick) + " ms");
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
        return Execute(line, [this](const std::string& out) { console_.Line(out); });
    }
    bool Execute(const std::string& line, const std::function<void(const std::string&)>& reply) {
        for (const std::string& out : commands_->Execute(line)) {
            reply(out);
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

// Standard input's lines go on the command queue, answered on the console. With a control
// socket the end of stdin ends nothing (a service runs with stdin on /dev/null): the office
// then closes on a `quit`.
void ReadStandardInput(const std::shared_ptr<CommandQueue>& queue, Console& console,
                       bool endsInput) {
    // The thread shares the queue, since a blocked read of stdin cannot be interrupted and
    // may outlive the office; the replies it queues run on the office's thread only.
    std::thread([queue, &console, endsInput] {
        for (std::string line; std::getline(std::cin, line);) {
            queue->Push({line, [&console](const std::string& out) { console.Line(out); }});
        }
        if (endsInput) {
            queue->InputEnded();
        }
    }).detach();
}

int RunHeadless(const Options& options, Console& console) {
    SingleInstance instance;
    switch (instance.ClaimFolder(options.workdir)) {
        case SingleInstance::Claim::kAlreadyRunning:
            console.Line("error an office already runs in " + options.workdir);
            return 3;
        case SingleInstance::Claim::kFailed:
            console.Line("note: one-office check unavailable: " + instance.Error());
            break;
        case SingleInstance::Claim::kClaimed:
            break;
    }
    auto shared = std::make_shared<CommandQueue>();
    CommandQueue& queue = *shared;
    ControlSocket control(queue);
    if (!options.control.empty()) {
        if (const std::string error = control.Listen(options.control); !error.empty()) {
            console.Line("error " + error);
            return 1;
        }
        console.Line("control: listening on " + options.control);
    }
    ReadStandardInput(shared, console, options.control.empty());
    bool inputEnded = false;
    // The "Паспорт" dialog reads "login PASSWORD" lines; "quit" or the end of input cancels.
    PasswordDialog passwords = [&]() -> std::optional<std::string> {
        while (auto line = queue.Pop()) {
            if (line->text.rfind("login ", 0) == 0) {
                return line->text.substr(6);
            }
            if (line->text == "quit") {
                return std::nullopt;
            }
            line->reply("error log in first: login PASSWORD");
        }
        inputEnded = true;
        return std::nullopt;
    };
    OfficeRun run(options.workdir, options, console, passwords);
    if (!run.Start()) {
        return 1;
    }
    while (!inputEnded) {
        std::optional<CommandLine> line = queue.Pop();
        if (!line) {
            break;
        }
        if (line->text.empty()) {
            continue;
        }
        if (instance.RaiseRequests() > 0) {
            console.Line("message: Miradel: a second start asked for this office");
        }
        if (run.Execute(line->text, line->reply)) {
            return 0;
        }
    }
    // The input has ended: close as the operator would; a refusal still ends the process,
    // and the booths come back from kabin.cfg at the next start.
    if (!run.Execute("quit", [&console](const std::string& out) { console.Line(out); })) {
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

// The demo's working folder and its booth controller: the simulator on a pseudo-terminal,
// with COM - АПП pointed at it in ports.cfg.
struct DemoController {
    std::filesystem::path workdir;
    kabsim::PseudoTerminal pty;
    std::unique_ptr<LinuxSerialPort> master;
    RealScheduler scheduler;
    std::unique_ptr<kabsim::KabSim> controller;

    ~DemoController() {
        if (controller) {
            scheduler.Post([this] { controller->Stop(); });
            SleepMs(100);
        }
        scheduler.Stop();
    }

    // Empty on success, else the error.
    std::string Prepare(const Options& options, Console& console) {
        workdir =
            options.workdir.empty() ? DefaultDemoFolder() : std::filesystem::path(options.workdir);
        if (auto error = PrepareDemoFolder(workdir, MIRADEL_DEMO_EXAMPLES); !error.empty()) {
            return error;
        }
        console.Line("demo: working folder " + workdir.string());
        if (!pty.Create()) {
            return pty.Error();
        }
        master = pty.TakeMasterPort();
        if (!master->Open(kabsim::kPtyMasterSettings)) {
            return master->LastError();
        }
        controller = std::make_unique<kabsim::KabSim>(*master, scheduler);
        controller->Start();
        scheduler.Start();
        const int comIndex = [&] {
            AppConfig config{AppConfigData::Defaults()};
            LoadAppConfig(workdir, config);
            return int(config.Get(appcfg::kComPortApp));
        }();
        if (auto error = PointPortAt(workdir, comIndex, pty.SlavePath()); !error.empty()) {
            return error;
        }
        console.Line("demo: booth controller simulator on " + pty.SlavePath() + " (" +
                     ComPortName(comIndex) + " in ports.cfg)");
        return {};
    }
};

#ifdef MIRADEL_WITH_GUI
// The demo office in its window, with the booth simulator window beside it.
int RunGuiDemo(const Options& options, int argc, char** argv) {
    Console console;
    DemoController demo;
    if (auto error = demo.Prepare(options, console); !error.empty()) {
        console.Line("error " + error);
        return 1;
    }
    kabsim::KabSimClients clients(*demo.controller, demo.scheduler);
    GuiOptions gui{demo.workdir.string(), "", [&](QWidget* mainWindow) {
                       auto read = [&demo](int line) {
                           auto record = std::make_shared<std::promise<kabsim::LineRecord>>();
                           auto future = record->get_future();
                           demo.scheduler.Post([&demo, line, record] {
                               record->set_value(demo.controller->Line(line));
                           });
                           return future.wait_for(std::chrono::milliseconds(200)) ==
                                          std::future_status::ready
                                      ? future.get()
                                      : kabsim::LineRecord{};
                       };
                       // A window of its own that belongs to the main one: it goes with it,
                       // so closing the office ends the demo.
                       auto* simulator = new BoothSimulatorWindow(clients, read, mainWindow);
                       simulator->setWindowFlag(Qt::Window, true);
                       simulator->move(mainWindow->x() + mainWindow->width() + 16, mainWindow->y());
                       simulator->show();
                   }};
    return RunGui(gui, argc, argv);
}
#endif

int RunDemo(const Options& options, Console& console) {
    DemoController demo;
    if (auto error = demo.Prepare(options, console); !error.empty()) {
        console.Line("error " + error);
        return 1;
    }
    const std::filesystem::path& workdir = demo.workdir;
    kabsim::KabSim& controller = *demo.controller;
    RealScheduler& simScheduler = demo.scheduler;

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
        return options->demo ? RunGuiDemo(*options, argc, argv)
                             : RunGui({options->workdir, options->device, {}}, argc, argv);
    }
#endif
    Console console;
    return options->demo ? RunDemo(*options, console) : RunHeadless(*options, console);
}
