#include "common/Clock.h"

#include <ctime>

namespace miradel {

int64_t DaysFromCivil(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yoe = year - era * 400;
    const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

int WeekdayOf(int year, int month, int day) {
    const int64_t d = DaysFromCivil(year, month, day);
    return static_cast<int>(d >= -4 ? (d + 4) % 7 : (d + 5) % 7 + 6);
}

LocalDateTime SystemClock::Now() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    LocalDateTime t;
    t.year = local.tm_year + 1900;
    t.month = local.tm_mon + 1;
    t.day = local.tm_mday;
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    t.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    t.hundredths = static_cast<int>(ts.tv_nsec / 10'000'000);
    t.weekday = local.tm_wday;
    return t;
}

int64_t SystemClock::MonotonicMs() const {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1'000'000;
}

namespace {

int64_t ToWallMs(const LocalDateTime& t) {
    const int64_t days = DaysFromCivil(t.year, t.month, t.day);
    return ((days * 24 + t.hour) * 60 + t.minute) * 60'000 + t.second * 1000 + t.hundredths * 10;
}

LocalDateTime FromWallMs(int64_t ms) {
    int64_t days = ms / 86'400'000;
    int64_t rest = ms % 86'400'000;
    if (rest < 0) {
        rest += 86'400'000;
        --days;
    }
    LocalDateTime t;
    CivilFromDays(days, t.year, t.month, t.day);
    t.hour = static_cast<int>(rest / 3'600'000);
    t.minute = static_cast<int>(rest / 60'000 % 60);
    t.second = static_cast<int>(rest / 1000 % 60);
    t.hundredths = static_cast<int>(rest % 1000 / 10);
    t.weekday = WeekdayOf(t.year, t.month, t.day);
    return t;
}

}  // namespace

VirtualClock::VirtualClock(LocalDateTime start) : wallMs_(ToWallMs(start)) {}

LocalDateTime VirtualClock::Now() const {
    std::lock_guard lock(mutex_);
    return FromWallMs(wallMs_);
}

int64_t VirtualClock::MonotonicMs() const {
    std::lock_guard lock(mutex_);
    return monotonicMs_;
}

void VirtualClock::Set(const LocalDateTime& when) {
    std::lock_guard lock(mutex_);
    wallMs_ = ToWallMs(when);
}

void VirtualClock::AdvanceMs(int64_t ms) {
    std::lock_guard lock(mutex_);
    if (ms < 0) {
        return;
    }
    wallMs_ += ms;
    monotonicMs_ += ms;
}

}  // namespace miradel
