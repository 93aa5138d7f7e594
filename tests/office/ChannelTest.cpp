// The command channels of the office program: the control socket and one office per folder.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <thread>

#include "app/channel/ControlSocket.h"
#include "app/channel/SingleInstance.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

int Connect(const std::filesystem::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    return fd;
}

std::string ReadLines(int fd, int count) {
    std::string text;
    char c;
    while (count > 0 && ::recv(fd, &c, 1, 0) == 1) {
        text += c;
        count -= c == '\n';
    }
    return text;
}

TEST(ControlSocket, LinesComeInOrderAndAnswersGoBackToTheirConnection) {
    testing::TempDir dir;
    const auto path = dir.path() / "control";
    std::ofstream(path) << "not a socket";
    CommandQueue queue;
    {
        ControlSocket refused(queue);
        EXPECT_NE(refused.Listen(path), "");  // another file is never replaced
    }
    std::filesystem::remove(path);

    ControlSocket socket(queue);
    ASSERT_EQ(socket.Listen(path), "");
    const int a = Connect(path);
    const std::string in = "show state\r\n\nwait 1\n" + std::string(5000, 'x') + "\n";
    ASSERT_EQ(::send(a, in.data(), in.size(), 0), ssize_t(in.size()));
    EXPECT_EQ(ReadLines(a, 1), "error line longer than 4096\n");
    for (const char* expected : {"show state", "wait 1"}) {
        auto line = queue.Pop();
        ASSERT_TRUE(line);
        EXPECT_EQ(line->text, expected);
        line->reply("ok " + line->text);
    }
    EXPECT_EQ(ReadLines(a, 2), "ok show state\nok wait 1\n");

    // A client that has gone away costs nothing but its answers.
    const int b = Connect(path);
    ASSERT_EQ(::send(b, "quit\n", 5, 0), 5);
    auto line = queue.Pop();
    ::close(b);
    ASSERT_TRUE(line);
    line->reply("ok exit");

    // Many short clients, one after the other, as a script polling the office makes them.
    for (int i = 0; i < 20; ++i) {
        const int c = Connect(path);
        ASSERT_EQ(::send(c, "show state\n", 11, 0), 11);
        auto polled = queue.Pop();
        ASSERT_TRUE(polled);
        polled->reply("ok " + std::to_string(i));
        EXPECT_EQ(ReadLines(c, 1), "ok " + std::to_string(i) + "\n");
        ::close(c);
    }
    ::close(a);
    socket.Close();
    EXPECT_FALSE(std::filesystem::exists(path));

    queue.InputEnded();
    EXPECT_FALSE(queue.Pop());
}

TEST(SingleInstance, ASecondStartAsksTheFirstToTheFront) {
    testing::TempDir dir;
    {
        SingleInstance first;
        ASSERT_EQ(first.ClaimFolder(dir.path()), SingleInstance::Claim::kClaimed);
        SingleInstance second;
        EXPECT_EQ(second.ClaimFolder(dir.path() / "."), SingleInstance::Claim::kAlreadyRunning);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(first.RaiseRequests(), 1);
        EXPECT_EQ(first.RaiseRequests(), 0);
        testing::TempDir other;
        SingleInstance elsewhere;
        EXPECT_EQ(elsewhere.ClaimFolder(other.path()), SingleInstance::Claim::kClaimed);
    }
    SingleInstance again;  // the first one has ended
    EXPECT_EQ(again.ClaimFolder(dir.path()), SingleInstance::Claim::kClaimed);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));  // nothing written in the folder
}

}  // namespace
}  // namespace miradel
