#include "common/Scheduler.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <string>

namespace miradel {
namespace {

TEST(VirtualScheduler, RunsByDeadlineThenBySchedulingOrderAndMovesTheClock) {
    VirtualClock clock;
    VirtualScheduler scheduler(clock);
    std::string order;
    scheduler.ScheduleAt(10, [&] { order += "b"; });
    scheduler.ScheduleAt(5, [&] { order += "a"; });
    scheduler.ScheduleAt(10, [&] {
        order += "c";
        EXPECT_EQ(scheduler.NowMs(), 10);
        scheduler.Post([&] { order += "d"; });  // runs at once, still at 10
    });
    const auto cancelled = scheduler.ScheduleAt(7, [&] { order += "x"; });
    EXPECT_TRUE(scheduler.Cancel(cancelled));
    EXPECT_FALSE(scheduler.Cancel(cancelled));
    scheduler.RunFor(9);
    EXPECT_EQ(order, "a");
    EXPECT_EQ(clock.MonotonicMs(), 9);
    scheduler.RunFor(100);
    EXPECT_EQ(order, "abcd");
    EXPECT_EQ(clock.MonotonicMs(), 109);
    EXPECT_EQ(scheduler.Waiting(), 0u);
}

TEST(VirtualScheduler, RefusesOnRequest) {
    VirtualClock clock;
    VirtualScheduler scheduler(clock);
    scheduler.RefuseNext(2);
    EXPECT_EQ(scheduler.ScheduleAfter(1, [] {}), 0u);
    EXPECT_EQ(scheduler.ScheduleAfter(1, [] {}), 0u);
    EXPECT_NE(scheduler.ScheduleAfter(1, [] {}), 0u);
}

TEST(RealScheduler, RunsTasksInDeadlineOrderOnItsOwnThreadAndStopsCleanly) {
    RealScheduler scheduler;
    scheduler.Start();
    std::promise<std::string> done;
    auto order = std::make_shared<std::string>();
    const int64_t now = scheduler.NowMs();
    scheduler.ScheduleAt(now + 30, [&, order] {
        *order += "b";
        done.set_value(*order);
    });
    scheduler.ScheduleAt(now + 10, [&, order] {
        EXPECT_TRUE(scheduler.OnSchedulerThread());
        *order += "a";
    });
    auto result = done.get_future();
    ASSERT_EQ(result.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(result.get(), "ab");
    EXPECT_FALSE(scheduler.OnSchedulerThread());
    scheduler.Stop();
    EXPECT_EQ(scheduler.ScheduleAfter(1, [] {}), 0u);  // refused once stopped
}

}  // namespace
}  // namespace miradel
