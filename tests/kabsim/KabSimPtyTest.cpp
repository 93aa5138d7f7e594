// The simulator in real time on a pseudo-terminal: once in this process against a
// LinuxSerialPort, and as the miradel-kabsim program. Every wait is bounded by a generous
// deadline; no test depends on how fast the machine is.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "KabSim.h"
#include "PseudoTerminal.h"
#include "common/Scheduler.h"
#include "controller/ControllerFrames.h"
#include "controller/FrameReceiver.h"
#include "controller/HexBytes.h"
#include "controller/LinuxSerialPort.h"
#include "support/TempDir.h"

extern char** environ;

namespace miradel::kabsim {
namespace {

using miradel::testing::HexFrame;
using miradel::testing::HexText;
using ::testing::HasSubstr;

constexpr auto kDeadline = std::chrono::seconds(5);

// The PC end: sends frames and waits for what comes back.
class PcSide {
  public:
    explicit PcSide(SerialPort& port) : port_(port) {}

    void Send(const Frame& frame) { ASSERT_TRUE(port_.Write(frame.Bytes())) << port_.LastError(); }

    // The next acknowledgement or frame, as hex; empty when nothing came in time.
    std::string Next() {
        const auto deadline = std::chrono::steady_clock::now() + kDeadline;
        while (std::chrono::steady_clock::now() < deadline) {
            uint8_t byte = 0;
            if (port_.Read(std::span<uint8_t>(&byte, 1)) == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            const ReceiveOutcome outcome = receiver_.FeedByte(byte);
            if (outcome.kind == ReceiveKind::kAcknowledgement ||
                outcome.kind == ReceiveKind::kFrame) {
                return HexText(outcome.bytes.Bytes());
            }
        }
        return {};
    }

  private:
    SerialPort& port_;
    FrameReceiver receiver_;
};

TEST(KabSimPtyTest, TalksToALinuxSerialPortInRealTime) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Create()) << pty.Error();
    std::unique_ptr<LinuxSerialPort> master = pty.TakeMasterPort();
    ASSERT_TRUE(master->Open(kPtyMasterSettings)) << master->LastError();
    LinuxSerialPort pcPort(pty.SlavePath());
    ASSERT_TRUE(pcPort.Open(kControllerLineSettings)) << pcPort.LastError();
    PcSide pc(pcPort);

    RealScheduler scheduler;
    KabSim sim(*master, scheduler);
    scheduler.Post([&] {
        sim.SetCondition(6, LineCondition::kHandsetUp);
        sim.Start();
    });
    scheduler.Start();

    pc.Send(StartFrame());
    EXPECT_EQ(pc.Next(), "7E 02 40 42");
    pc.Send(AskLineStateCommand(6));
    EXPECT_EQ(pc.Next(), "7E 02 40 42");
    EXPECT_EQ(pc.Next(), "7E 04 45 06 01 50");
    pc.Send(ConfirmationFrame());

    scheduler.Post([&] { sim.Inductor(9); });
    EXPECT_EQ(pc.Next(), "7E 03 46 09 52");
    pc.Send(ConfirmationFrame());

    // Read the counters on the scheduler's thread once both confirmations are in.
    std::optional<KabCounters> counters;
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (std::chrono::steady_clock::now() < deadline) {
        std::promise<KabCounters> promise;
        std::future<KabCounters> future = promise.get_future();
        scheduler.Post([&] { promise.set_value(sim.Counters()); });
        counters = future.get();
        if (counters->messagesConfirmed == 2) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    scheduler.Stop();
    ASSERT_TRUE(counters);
    EXPECT_EQ(counters->messagesConfirmed, 2);
    EXPECT_EQ(counters->acksSent, 2);
    EXPECT_EQ(counters->framesIn, 4);
    EXPECT_EQ(counters->repeatsSent, 0);
}

// miradel-kabsim as a child process with its output and errors on pipes.
class Program {
  public:
    explicit Program(std::vector<std::string> args) {
        int out[2];
        int err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        args.insert(args.begin(), KABSIM_PROGRAM);
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, KABSIM_PROGRAM, &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(out_);
        ::close(err_);
    }

    bool Started() const { return pid_ > 0; }
    void Signal(int signal) { ::kill(pid_, signal); }

    // The first line of its output, without the newline.
    std::string FirstLine() {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + kDeadline;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd poller{out_, POLLIN, 20};
            if (::poll(&poller, 1, 20) <= 0) {
                continue;
            }
            char c = 0;
            if (::read(out_, &c, 1) != 1 || c == '\n') {
                break;
            }
            line += c;
        }
        return line;
    }

    // The exit status, or -1 when it did not end in time.
    int Wait() {
        const auto deadline = std::chrono::steady_clock::now() + kDeadline;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return -1;
    }

    std::string Errors() {
        std::string text;
        char buffer[512];
        ssize_t n = 0;
        while ((n = ::read(err_, buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
        }
        return text;
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
};

TEST(KabSimProgramTest, RunsTheScriptOnAPseudoTerminalAndEndsWhenAllIsConfirmed) {
    testing::TempDir folder;
    const std::string script = (folder / "call.kab").string();
    std::ofstream(script) << "line 1 lift\nline 1 dial 7 pace 0.01\n";
    Program program({"--pty", "--script", script, "--ack-delay", "1"});
    ASSERT_TRUE(program.Started());
    const std::string first = program.FirstLine();
    ASSERT_THAT(first, ::testing::StartsWith("PTY /dev/"));

    LinuxSerialPort port(first.substr(4));
    ASSERT_TRUE(port.Open(kControllerLineSettings)) << port.LastError();
    PcSide pc(port);
    pc.Send(StartFrame());
    // The lift may have gone out before we opened the port; its repeat comes anyway.
    std::vector<std::string> seen;
    for (int i = 0; i < 3 && seen.size() < 3; ++i) {
        const std::string next = pc.Next();
        if (next.empty()) {
            break;
        }
        if (next != "7E 02 40 42") {
            seen.push_back(next);
            pc.Send(ConfirmationFrame());
        }
        if (next == "7E 04 43 01 07 4F") {
            break;
        }
    }
    EXPECT_THAT(seen, ::testing::ElementsAre("7E 03 41 01 45", "7E 04 43 01 07 4F"));
    EXPECT_EQ(program.Wait(), 0) << program.Errors();
}

TEST(KabSimProgramTest, WithoutAScriptItAcknowledgesUntilTerminated) {
    Program program({"--pty"});
    ASSERT_TRUE(program.Started());
    const std::string first = program.FirstLine();
    ASSERT_THAT(first, ::testing::StartsWith("PTY /dev/"));
    LinuxSerialPort port(first.substr(4));
    ASSERT_TRUE(port.Open(kControllerLineSettings)) << port.LastError();
    PcSide pc(port);
    pc.Send(KeepAliveFrame());
    EXPECT_EQ(pc.Next(), "7E 02 40 42");
    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(), 0);
}

TEST(KabSimProgramTest, ABadScriptOrUsageIsRefusedBeforeAnythingRuns) {
    testing::TempDir folder;
    const std::string script = (folder / "bad.kab").string();
    std::ofstream(script) << "line 1 lift\n\nline 99 lift\n";
    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    const Case cases[] = {
        {{"--pty", "--script", script}, "bad.kab: line 3: \"99\" is not a line number"},
        {{"--pty", "--script", (folder / "missing.kab").string()}, "cannot read"},
        {{"--script", script}, "give either --pty or --device PATH"},
        {{"--pty", "--ack-delay", "soon"}, "--ack-delay takes milliseconds"},
        {{"--pty", "--bogus"}, "unknown argument \"--bogus\""},
    };
    for (const Case& c : cases) {
        Program program(c.args);
        ASSERT_TRUE(program.Started());
        EXPECT_EQ(program.Wait(), 2);
        EXPECT_THAT(program.Errors(), HasSubstr(c.error));
        EXPECT_EQ(program.FirstLine(), "") << "nothing was opened";
    }
    Program missing({"--device", "/dev/miradel-no-such-port"});
    EXPECT_EQ(missing.Wait(), 1);
    EXPECT_THAT(missing.Errors(), HasSubstr("/dev/miradel-no-such-port"));
}

}  // namespace
}  // namespace miradel::kabsim
