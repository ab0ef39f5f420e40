#pragma once
#include <cstdint>
#include <string>

namespace zumi {

// The texts of the info window, written the German way.

// Online time from whole seconds of a day: "h:mm:ss" from one to nine hours,
// otherwise "m:ss" (from ten hours on the hours are left out).
std::string formatOnlineTime(std::int32_t secondsOfDay);

// Time left in the unit: minutes without a leading zero, then ":ss".
// Below 0 reads as 0:00.
std::string formatUnitTime(std::int32_t seconds);

// Data rate: one decimal with a decimal comma below 100, a whole number from
// 100 on, then " KB/s". Halves round away from zero.
std::string formatRate(float kilobytesPerSecond);

} // namespace zumi
