#include "holidays.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

using namespace std::chrono;

TEST(EasterSunday, FollowsTheFormulaIncludingItsTwoAprilCorrections)
{
    EXPECT_EQ(EasterSunday(2026), year{2026} / April / 5);
    EXPECT_EQ(EasterSunday(2000), year{2000} / April / 23);
    EXPECT_EQ(EasterSunday(2008), year{2008} / March / 23);
    EXPECT_EQ(EasterSunday(1981), year{1981} / April / 19); // day 26 becomes 19
    EXPECT_EQ(EasterSunday(1954), year{1954} / April / 18); // day 25, d = 28, a = 16
}

TEST(EasterSunday, OutsideTheCenturiesItKeepsTheFormulasDate)
{
    EXPECT_EQ(EasterSunday(2100), year{2100} / March / 27); // the Gregorian Easter would be 28 March
    EXPECT_EQ(EasterSunday(-1), year{-1} / March / 29);     // remainders of negative years stay non-negative
    EXPECT_EQ(EasterSunday(32767), year{32767} / April / 16);
    for (int y = -32767; y <= 32767; y += 97)
        EXPECT_TRUE(EasterSunday(static_cast<std::int16_t>(y)).ok()) << y;
}

TEST(IsHoliday, KnowsTheNationwideDaysAndNoOthers)
{
    const year_month_day holidays[] = {
        year{2026} / January / 1,  year{2026} / April / 3,  year{2026} / April / 5,   year{2026} / April / 6,
        year{2026} / May / 1,      year{2026} / May / 14,   year{2026} / May / 24,    year{2026} / May / 25,
        year{2026} / October / 3,  year{2026} / December / 25, year{2026} / December / 26,
    };
    for (const auto& date : holidays)
        EXPECT_TRUE(IsHoliday(date)) << static_cast<unsigned>(date.month()) << "/" << static_cast<unsigned>(date.day());

    const year_month_day workdays[] = {
        year{2026} / January / 6,  year{2026} / August / 15,  year{2026} / November / 1,
        year{2026} / October / 31, year{2026} / June / 4, // Easter Sunday + 60 days
        year{2026} / December / 24, year{2026} / December / 31, year{2026} / April / 4,
    };
    for (const auto& date : workdays)
        EXPECT_FALSE(IsHoliday(date)) << static_cast<unsigned>(date.month()) << "/" << static_cast<unsigned>(date.day());

    // Easter-dependent days belong to the date's own year.
    EXPECT_TRUE(IsHoliday(year{2008} / May / 12));  // Whit Monday 2008
    EXPECT_FALSE(IsHoliday(year{2026} / May / 12));
}

TEST(IsHoliday, OtherRegionCodesGiveTheNationwideDaysToo)
{
    EXPECT_TRUE(IsHoliday(year{2026} / October / 3, 7));
    EXPECT_FALSE(IsHoliday(year{2026} / January / 6, 7)); // no regional extras are known
}

} // namespace
} // namespace zumi
