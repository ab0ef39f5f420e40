#include "platform/system_clock.h"

#include <windows.h>

namespace zumi {

LocalDateTime SystemClock::localNow() const
{
    // The system's own local time: its zone rules and daylight-saving changes, as the user set them.
    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    LocalDateTime result;
    result.date = std::chrono::year{local.wYear} / static_cast<unsigned>(local.wMonth) / static_cast<unsigned>(local.wDay);
    result.secondsOfDay = local.wHour * 3600.0 + local.wMinute * 60.0 + local.wSecond + local.wMilliseconds / 1000.0;
    if (result.secondsOfDay >= 86400.0)
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
