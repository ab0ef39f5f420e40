#include "tariff/holidays.h"

namespace zumi {
namespace {

using namespace std::chrono;

// Remainder that is never negative, so the formula also holds for years
// before the common era.
int floorMod(int value, int divisor)
{
    const int r = value % divisor;
    return r < 0 ? r + divisor : r;
}

year_month_day shifted(const year_month_day& date, int days)
{
    return year_month_day{sys_days{date} + std::chrono::days{days}};
}

} // namespace

year_month_day EasterSunday(std::int16_t y)
{
    const int a = floorMod(y, 19);
    const int b = floorMod(y, 4);
    const int c = floorMod(y, 7);
    const int d = floorMod(19 * a + 24, 30);
    const int e = floorMod(2 * b + 4 * c + 6 * d + 5, 7);
    int day = 22 + d + e; // a day of March
    if (day <= 31)
        return year{y} / March / std::chrono::day{static_cast<unsigned>(day)};

    day -= 31;
    if (day == 26)
        day = 19;
    else if (day == 25 && d == 28 && a > 10)
        day = 18;
    return year{y} / April / std::chrono::day{static_cast<unsigned>(day)};
}

// The region code adds nothing: only the nationwide days are known, and
// every caller asks for region 1. Other codes get the same nationwide list.
bool IsHoliday(const year_month_day& date, std::int16_t /*region*/)
{
    const auto y = static_cast<std::int16_t>(static_cast<int>(date.year()));
    const year_month_day easter = EasterSunday(y);
    const year_month_day holidays[] = {
        easter,
        year{y} / January / 1,
        shifted(easter, 1),  // Easter Monday
        shifted(easter, 50), // Whit Monday
        shifted(easter, 49), // Whit Sunday
        shifted(easter, 39), // Ascension Day
        year{y} / October / 3,
        shifted(easter, -2), // Good Friday
        year{y} / May / 1,
        year{y} / December / 25,
        year{y} / December / 26,
    };
    for (const auto& holiday : holidays) {
        if (holiday == date)
            return true;
    }
    return false;
}

} // namespace zumi
