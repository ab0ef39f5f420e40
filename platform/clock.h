#pragma once
#include <chrono>

namespace zumi {

// A local wall-clock reading: the calendar date and the time of day.
struct LocalDateTime {
    std::chrono::year_month_day date;
    double secondsOfDay = 0.0; // 0 <= secondsOfDay < 86400
};

// Two clocks: the local one decides day types and tariff bands, the
// monotonic one measures online time (it does not jump with daylight saving).
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime localNow() const = 0;
    virtual std::chrono::steady_clock::time_point monotonicNow() const = 0;
    // The same moment as localNow() in UTC, for records that outlive a time zone.
    virtual std::chrono::system_clock::time_point utcNow() const = 0;
};

} // namespace zumi
