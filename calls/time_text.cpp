#include "calls/time_text.h"

#include <cstdio>

namespace zumi {

std::string localStamp(const LocalDateTime& at)
{
    const auto s = static_cast<int>(at.secondsOfDay);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(at.date.year()),
                  static_cast<unsigned>(at.date.month()), static_cast<unsigned>(at.date.day()), s / 3600, s / 60 % 60,
                  s % 60);
    return text;
}

std::string utcStamp(std::chrono::system_clock::time_point at)
{
    using namespace std::chrono;
    const auto day = floor<days>(at);
    const year_month_day date{day};
    const auto s = duration_cast<seconds>(at - day).count();
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02lld:%02lld:%02lldZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<long long>(s / 3600), static_cast<long long>(s / 60 % 60),
                  static_cast<long long>(s % 60));
    return text;
}

std::string germanDate(const std::string& stamp)
{
    if (stamp.size() < 10)
        return {};
    return stamp.substr(8, 2) + "." + stamp.substr(5, 2) + "." + stamp.substr(0, 4);
}

std::string clockTime(const std::string& stamp)
{
    return stamp.size() < 19 ? std::string{} : stamp.substr(11, 8);
}

std::string durationText(std::int64_t seconds)
{
    if (seconds < 0)
        seconds = 0;
    char text[40];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

} // namespace zumi
