#pragma once
#include "platform/clock.h"

#include <chrono>
#include <cmath>

namespace zumi::test {

// A clock the test moves by hand. The local reading and the monotonic one
// advance together unless the test jumps the local one (daylight saving).
class FakeClock final : public Clock {
public:
    explicit FakeClock(std::chrono::year_month_day date = std::chrono::year{2026} / 3 / 10, double secondsOfDay = 36000)
        : local_{date, secondsOfDay}
    {
    }

    LocalDateTime localNow() const override { return local_; }
    std::chrono::steady_clock::time_point monotonicNow() const override { return mono_; }
    // The local time taken as UTC plus one hour (winter in Germany).
    std::chrono::system_clock::time_point utcNow() const override
    {
        using namespace std::chrono;
        return sys_days(local_.date) + duration_cast<system_clock::duration>(duration<double>(local_.secondsOfDay))
            - hours{1};
    }

    void advance(double seconds)
    {
        mono_ += std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(seconds));
        jumpLocal(seconds);
    }
    // Moves only the wall clock, as a daylight-saving change does.
    void jumpLocal(double seconds)
    {
        const double days = std::floor((local_.secondsOfDay + seconds) / 86400);
        local_.secondsOfDay += seconds - days * 86400;
        local_.date = std::chrono::sys_days(local_.date) + std::chrono::days{static_cast<int>(days)};
    }

private:
    LocalDateTime local_;
    std::chrono::steady_clock::time_point mono_{std::chrono::hours{1000}};
};

} // namespace zumi::test
