#pragma once
#include <chrono>
#include <cstdint>

namespace zumi {

// Gauss's formula with M = 24, N = 5 (Gregorian Easter for 1900..2099).
std::chrono::year_month_day EasterSunday(std::int16_t year);

// True on the German nationwide holidays of the date's year. Region 1 adds none.
bool IsHoliday(const std::chrono::year_month_day& date, std::int16_t region = 1);

} // namespace zumi
