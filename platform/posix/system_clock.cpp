#include "platform/system_clock.h"

#include <ctime>

namespace zumi {

LocalDateTime SystemClock::localNow() const
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    const auto sub = now - std::chrono::system_clock::from_time_t(t);
    LocalDateTime result;
    result.date = std::chrono::year{tm.tm_year + 1900} / (tm.tm_mon + 1) / tm.tm_mday;
    result.secondsOfDay
        = tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + tm.tm_sec + std::chrono::duration<double>(sub).count();
    if (result.secondsOfDay >= 86400.0) // a leap second reads as the day's last instant
        result.secondsOfDay = 86399.999;
    return result;
}

std::chrono::steady_clock::time_point SystemClock::monotonicNow() const
{
    return std::chrono::steady_clock::now();
}

std::chrono::system_clock::time_point SystemClock::utcNow() const
{
    return std::chrono::system_clock::now();
}

} // namespace zumi
