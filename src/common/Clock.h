#pragma once
// Every reading of the date, the time of day or elapsed time goes through a Clock, so that
// tests can run hours of office life in virtual time.

#include <cstdint>
#include <mutex>

namespace miradel {

// A local calendar date and time as the office sees it on its wall clock.
struct LocalDateTime {
    int year = 2000;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int hundredths = 0;  // 0..99
    int weekday = 6;     // 0 = Sunday .. 6 = Saturday

    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Local wall-clock date and time.
    virtual LocalDateTime Now() const = 0;
    // Monotonic milliseconds since an arbitrary origin; never goes back.
    virtual int64_t MonotonicMs() const = 0;
};

// The PC's clock: local time from the system, monotonic time from CLOCK_MONOTONIC.
class SystemClock final : public Clock {
public:
    LocalDateTime Now() const override;
    int64_t MonotonicMs() const override;
};

// A clock that moves only when told to. Wall and monotonic time advance together.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(LocalDateTime start = {});

    LocalDateTime Now() const override;
    int64_t MonotonicMs() const override;

    void Set(const LocalDateTime& when);  // moves the wall clock only
    void AdvanceMs(int64_t ms);

private:
    mutable std::mutex mutex_;
    int64_t wallMs_;  // milliseconds since 1970-01-01 00:00 local, proleptic calendar
    int64_t monotonicMs_ = 0;
};

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(int64_t days, int& year, int& month, int& day);
int WeekdayOf(int year, int month, int day);  // 0 = Sunday

}  // namespace miradel
