// A process appending call records is killed at random moments. After each kill the database
// verifies without errors and holds every row whose append had returned.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <set>
#include <thread>

#include "StoreTestSupport.h"
#include "store/mainrepair.h"

namespace miradel {
namespace {

using testing::At;
using testing::Call;

[[noreturn]] void AppendUntilKilled(const std::filesystem::path& dir, int fd, int32_t firstTicket) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    try {
        VirtualClock clock(At(2009, 3, 5));
        TDMInfo dm(dir, clock, {});
        for (int32_t ticket = firstTicket;; ++ticket) {
            if (dm.WriteCallRecord(Call(1, "0952123456", 61, 150, clock.Now()), ticket, 1, 500, 350,
                                   150)) {
                // The append has returned: from here on the row must survive.
                if (::write(fd, &ticket, sizeof ticket) != sizeof ticket) {
                    ::_exit(2);
                }
            }
            clock.AdvanceMs(1000);
        }
    } catch (...) {
    }
    ::_exit(1);
}

std::set<int32_t> StoredTickets(const std::filesystem::path& file) {
    std::set<int32_t> tickets;
    for (const auto& row : testing::Rows(file, "SELECT TICKET FROM INFO")) {
        tickets.insert(std::stoi(row[0]));
    }
    return tickets;
}

TEST(StoreCrash, EveryAppendThatReturnedSurvivesAKill) {
    testing::TempDir dir;
    {
        VirtualClock clock;
        TDMInfo created(dir.path(), clock, {});
    }
    std::mt19937 random(20090305);
    std::uniform_int_distribution<int> delayMs(20, 250);
    std::set<int32_t> confirmed;
    constexpr int kKills = 5;
    for (int round = 0; round < kKills; ++round) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(fds[0]);
            AppendUntilKilled(dir.path(), fds[1], round * 1'000'000);
        }
        ::close(fds[1]);
        int32_t ticket = 0;
        ASSERT_EQ(::read(fds[0], &ticket, sizeof ticket), static_cast<ssize_t>(sizeof ticket));
        confirmed.insert(ticket);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status));
        while (::read(fds[0], &ticket, sizeof ticket) == static_cast<ssize_t>(sizeof ticket)) {
            confirmed.insert(ticket);
        }
        ::close(fds[0]);

        Connection db(dir.path(), Alias::APPD, OpenMode::ExistingOnly);
        const DatabaseVerifyResult verified = VerifyDatabase(db);
        EXPECT_EQ(verified.level, 0) << "after kill " << round;
        const std::set<int32_t> stored = StoredTickets(dir / "APPD.sqlite");
        for (int32_t t : confirmed) {
            ASSERT_TRUE(stored.count(t)) << "ticket " << t << " lost after kill " << round;
        }
    }
    EXPECT_GE(confirmed.size(), static_cast<std::size_t>(kKills));
}

}  // namespace
}  // namespace miradel
