#pragma once
#include "platform/clock.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace zumi {

// "2026-03-10 10:00:00": sorts like the moment it names.
std::string localStamp(const LocalDateTime& at);
// "2026-03-10T09:00:00Z".
std::string utcStamp(std::chrono::system_clock::time_point at);
// From a local stamp: "10.03.2026" and "10:00:00"; empty for an empty stamp.
std::string germanDate(const std::string& stamp);
std::string clockTime(const std::string& stamp);
// "0:05:12": hours, minutes, seconds.
std::string durationText(std::int64_t seconds);

} // namespace zumi
