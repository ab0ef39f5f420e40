#include "tariff/holidays.h"

#include <gtest/gtest.h>

#include <utility>

namespace zumi {
namespace {

using namespace std::chrono;
using Days = std::initializer_list<std::pair<unsigned, unsigned>>; // month, day in 2026

TEST(HolidayCalendar, EasterByTheFormulaAndTheNationwideDays)
{
    EXPECT_EQ(EasterSunday(2026), year{2026} / April / 5);
    EXPECT_EQ(EasterSunday(2000), year{2000} / April / 23);
    EXPECT_EQ(EasterSunday(2008), year{2008} / March / 23);
    EXPECT_EQ(EasterSunday(1981), year{1981} / April / 19); // day 26 becomes 19
    EXPECT_EQ(EasterSunday(1954), year{1954} / April / 18); // day 25, d = 28, a = 16
    EXPECT_EQ(EasterSunday(2100), year{2100} / March / 27); // the Gregorian Easter would be 28 March
    EXPECT_EQ(EasterSunday(-1), year{-1} / March / 29);     // remainders of negative years stay non-negative

    for (const auto& [m, d] :
         Days{{1, 1}, {4, 3}, {4, 5}, {4, 6}, {5, 1}, {5, 14}, {5, 24}, {5, 25}, {10, 3}, {12, 25}, {12, 26}})
        EXPECT_TRUE(IsHoliday(year{2026} / month{m} / day{d})) << m << "/" << d;
    for (const auto& [m, d] : Days{{1, 6}, {5, 12}, {6, 4}, {11, 1}, {12, 24}})
        EXPECT_FALSE(IsHoliday(year{2026} / month{m} / day{d})) << m << "/" << d;
    EXPECT_TRUE(IsHoliday(year{2008} / May / 12));        // Whit Monday follows the date's own year
    EXPECT_FALSE(IsHoliday(year{2026} / January / 6, 7)); // no region knows extra days
}

} // namespace
} // namespace zumi
