#include "common/Clock.h"

#include <gtest/gtest.h>

namespace miradel {
namespace {

TEST(VirtualClock, AdvancesWallAndMonotonicTimeTogetherAcrossMonthAndYearEnds) {
    VirtualClock clock({2008, 12, 31, 23, 59, 59, 50});
    clock.AdvanceMs(500);
    const LocalDateTime t = clock.Now();
    EXPECT_EQ(t, (LocalDateTime{2009, 1, 1, 0, 0, 0, 0, 4}));  // a Thursday
    EXPECT_EQ(clock.MonotonicMs(), 500);

    clock.Set({2012, 2, 28, 12, 0, 0, 0});
    clock.AdvanceMs(24LL * 3600 * 1000);
    EXPECT_EQ(clock.Now().day, 29);  // leap year
    EXPECT_EQ(clock.MonotonicMs(), 500 + 24LL * 3600 * 1000);
}

TEST(VirtualClock, NeverGoesBack) {
    VirtualClock clock;
    clock.AdvanceMs(10);
    clock.AdvanceMs(-5);
    EXPECT_EQ(clock.MonotonicMs(), 10);
}

TEST(Calendar, DaysAndWeekdaysRoundTrip) {
    for (int64_t d = -800'000; d <= 800'000; d += 997) {
        int y, m, day;
        CivilFromDays(d, y, m, day);
        EXPECT_EQ(DaysFromCivil(y, m, day), d);
    }
    EXPECT_EQ(WeekdayOf(1970, 1, 1), 4);
    EXPECT_EQ(WeekdayOf(2026, 12, 11), 5);  // Friday
    EXPECT_EQ(WeekdayOf(1969, 12, 28), 0);  // Sunday
}

}  // namespace
}  // namespace miradel
