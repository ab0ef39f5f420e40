#include "tariff/german_format.h"

#include <cmath>
#include <cstdio>

namespace zumi {

std::string formatOnlineTime(std::int32_t secondsOfDay)
{
    const int h = secondsOfDay / 3600;
    const int m = secondsOfDay / 60 % 60;
    const int s = secondsOfDay % 60;
    char text[32];
    if (h >= 1 && h <= 9)
        std::snprintf(text, sizeof text, "%d:%02d:%02d", h, m, s);
    else
        std::snprintf(text, sizeof text, "%d:%02d", m, s);
    return text;
}

std::string formatUnitTime(std::int32_t seconds)
{
    if (seconds < 0)
        seconds = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

std::string formatRate(float kilobytesPerSecond)
{
    const double rate = kilobytesPerSecond;
    char text[48];
    if (rate < 100) {
        const long long tenths = std::llround(rate * 10); // llround: halves away from zero
        std::snprintf(text, sizeof text, "%s%lld,%lld KB/s", tenths < 0 ? "-" : "", std::llabs(tenths) / 10,
                      std::llabs(tenths) % 10);
    } else {
        std::snprintf(text, sizeof text, "%02lld KB/s", std::llround(rate));
    }
    return text;
}

} // namespace zumi
