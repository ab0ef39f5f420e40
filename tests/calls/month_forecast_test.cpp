#include "calls/month_forecast.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

using namespace std::chrono;

const BudgetSettings kNone;

// Ten days of March's 31 (clocks go forward on the 29th): the pace runs on to
// the last day; the cost only when every call has a price.
TEST(MonthForecast, CalendarMonthWithAndWithoutCost)
{
    const MonthPace pace{year{2026} / 3 / 1, {year{2026} / 3 / 11, 0}, 100, 120000, "\xE2\x82\xAC"};
    EXPECT_EQ(forecastText(forecastMonth(pace, kNone, 0), kNone, "\xE2\x82\xAC"),
              "Hochrechnung bis 31.03.2026: etwa 310 Einheiten / 37,20 \xE2\x82\xAC.");
    MonthPace unpriced = pace;
    unpriced.cost.reset();
    EXPECT_EQ(forecastText(forecastMonth(unpriced, kNone, 0), kNone, "\xE2\x82\xAC"),
              "Hochrechnung bis 31.03.2026: etwa 310 Einheiten.");
}

// From the 15th: the billing month runs to 14 April across the change to
// summer time, which makes its days no shorter; at 4 units a day 100 last
// until 9 April, and 60 over the 21 days from today on leave 2,8 a day.
TEST(MonthForecast, BillingDayFifteenAcrossTheChangeToSummerTime)
{
    const BudgetSettings units{BudgetSettings::Kind::Units, 100, 15, true};
    const MonthForecast f = forecastMonth({year{2026} / 3 / 15, {year{2026} / 3 / 25, 0}, 40, {}, {}}, units, 40);
    EXPECT_EQ(f.lastDay, year{2026} / 4 / 14);
    EXPECT_EQ(f.units, 124);
    ASSERT_TRUE(f.runsOut);
    EXPECT_EQ(*f.runsOut, year{2026} / 4 / 9);
    EXPECT_EQ(forecastText(f, units, "\xE2\x82\xAC"),
              "Hochrechnung bis 14.04.2026: etwa 124 Einheiten. Bei diesem Tempo ist das Budget am 09.04.2026 "
              "verbraucht; \xC3\xBC"
              "brig sind 2,8 Einheiten je Tag (noch 21 Tage).");
}

// A money budget that lasts at this pace, and one used up.
TEST(MonthForecast, MoneyBudgetLastsOrIsSpent)
{
    const BudgetSettings money{BudgetSettings::Kind::Money, 200000, 15, true};
    const MonthPace pace{year{2026} / 3 / 15, {year{2026} / 3 / 25, 0}, 50, 50000, "\xE2\x82\xAC"};
    EXPECT_EQ(forecastText(forecastMonth(pace, money, 50000), money, "\xE2\x82\xAC"),
              "Hochrechnung bis 14.04.2026: etwa 155 Einheiten / 15,50 \xE2\x82\xAC. Das Budget reicht bei diesem "
              "Tempo bis zum Ende; \xC3\xBC"
              "brig sind 0,71 \xE2\x82\xAC je Tag (noch 21 Tage).");
    EXPECT_TRUE(forecastMonth(pace, money, 200000).budgetSpent);
}

} // namespace
} // namespace zumi
