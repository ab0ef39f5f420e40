#include "tariff/holidays.h"
#include "tariff/tariff_schedule.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace zumi {
namespace {

using namespace std::chrono;

constexpr year_month_day kTuesday = year{2026} / March / 10;
constexpr year_month_day kSaturday = year{2026} / March / 14;

constexpr double at(int h, int m, int s = 0)
{
    return h * 3600.0 + m * 60.0 + s;
}

// Connection 0's bands as {band, start, takt}.
TariffTables record(std::initializer_list<std::tuple<int, const char*, const char*>> bands)
{
    TariffTables tables;
    for (const auto& [band, start, takt] : bands) {
        tables.setStart(0, band, start);
        tables.setTakt(0, band, takt);
    }
    return tables;
}

// A forced search, as at the start of a connection.
CycleState lookUp(const TariffTables& tables, year_month_day date, double t)
{
    CycleState state{.recalcCycle = true};
    UpdateCycleLength(state, tables, 0, {date, t});
    return state;
}

const TariffTables kDayEvening = record({{0, "9", "90"}, {1, "18", "150"}});

// Which band runs at a moment and the next switch, for any record, fuzz_tariff_lookup checks against a
// second reading of the rules; here the retrigger window and the day types.
TEST(UpdateCycleLength, BandsOfEachDayTypeTheirSwitchesAndTheRetriggerWindow)
{
    CycleState state = lookUp(kDayEvening, kTuesday, at(10, 0));
    const auto searchesAt = [&](year_month_day date, double t) {
        state.cycleSeconds = -7; // a search overwrites this
        UpdateCycleLength(state, kDayEvening, 0, {date, t});
        return state.cycleSeconds != -7;
    };
    EXPECT_FALSE(searchesAt(kTuesday, at(18, 0))); // the trigger needs T later than the switch
    EXPECT_TRUE(searchesAt(kTuesday, at(18, 0, 1)));
    EXPECT_TRUE(searchesAt(kTuesday, at(18, 4, 59)));
    EXPECT_FALSE(searchesAt(kTuesday, at(18, 5, 0)));
    // Midnight is no switch: the weekend goes unnoticed until the next trigger.
    EXPECT_FALSE(searchesAt(kSaturday, at(0, 2)));
    EXPECT_TRUE(searchesAt(kSaturday, at(18, 0, 1)));
    EXPECT_EQ(state.cycleSeconds, 60); // weekday bands do not apply

    auto weekend = record({{4, "8", "120"}, {5, "20", "200"}});
    EXPECT_EQ(lookUp(weekend, kSaturday, at(7, 0)).cycleSeconds, 60); // band 0 has no start
    weekend.setStart(0, 0, "9");
    EXPECT_EQ(lookUp(weekend, kSaturday, at(7, 0)).cycleSeconds, 200);
    EXPECT_EQ(lookUp(weekend, kSaturday, at(12, 0)).cycleSeconds, 120);
    EXPECT_EQ(lookUp(weekend, year{2026} / March / 15, at(12, 0)).cycleSeconds, 120);    // a Sunday
    EXPECT_EQ(lookUp(weekend, year{2026} / December / 24, at(21, 0)).cycleSeconds, 200); // a Thursday
    EXPECT_EQ(lookUp(weekend, year{2026} / December / 31, at(21, 0)).cycleSeconds, 200);
    EXPECT_EQ(lookUp(weekend, year{2026} / May / 1, at(21, 0)).cycleSeconds, 200); // a Friday
}

TEST(HolidayCalendar, EasterByTheFormulaAndTheNationwideDays)
{
    EXPECT_EQ(EasterSunday(1981), year{1981} / April / 19); // day 26 becomes 19
    EXPECT_EQ(EasterSunday(1954), year{1954} / April / 18); // day 25, d = 28, a = 16
    EXPECT_EQ(EasterSunday(2100), year{2100} / March / 27); // the Gregorian Easter would be 28 March
    EXPECT_EQ(EasterSunday(-1), year{-1} / March / 29);     // remainders of negative years stay non-negative

    using Days = std::initializer_list<std::pair<unsigned, unsigned>>; // month, day in 2026 (Easter: 5 April)
    for (const auto& [m, d] :
         Days{{1, 1}, {4, 3}, {4, 5}, {4, 6}, {5, 1}, {5, 14}, {5, 24}, {5, 25}, {10, 3}, {12, 25}, {12, 26}})
        EXPECT_TRUE(IsHoliday(year{2026} / month{m} / day{d})) << m << "/" << d;
    for (const auto& [m, d] : Days{{1, 6}, {5, 12}, {6, 4}, {11, 1}, {12, 24}})
        EXPECT_FALSE(IsHoliday(year{2026} / month{m} / day{d})) << m << "/" << d;
    EXPECT_TRUE(IsHoliday(year{2008} / May / 12)); // Whit Monday follows the date's own year
}

} // namespace
} // namespace zumi
