#include "conn_names.h"
#include "tariff_schedule.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

using namespace std::chrono;

constexpr year_month_day kTuesday = year{2026} / March / 10;
constexpr year_month_day kFriday = year{2026} / March / 13;
constexpr year_month_day kSaturday = year{2026} / March / 14;

constexpr double at(int h, int m, int s = 0) { return h * 3600.0 + m * 60.0 + s; }

// Bands as "start/takt" texts, 0..7.
TariffTables record(std::initializer_list<std::pair<int, std::pair<const char*, const char*>>> bands, int c = 0)
{
    TariffTables tables;
    for (const auto& [band, fields] : bands) {
        tables.setStart(c, band, fields.first);
        tables.setTakt(c, band, fields.second);
    }
    return tables;
}

// A forced search, as at the start of a connection.
CycleState lookUp(const TariffTables& tables, year_month_day date, double t, int c = 0)
{
    CycleState state;
    state.recalcCycle = true;
    UpdateCycleLength(state, tables, c, {date, t});
    return state;
}

const TariffTables kDayEvening = record({{0, {"9", "90"}}, {1, {"18", "150"}}});

TEST(DayType, WeekendsHolidaysAndTheTwoDecemberEvenings)
{
    EXPECT_FALSE(isWeekendOrHoliday(kTuesday));
    EXPECT_TRUE(isWeekendOrHoliday(kSaturday));
    EXPECT_TRUE(isWeekendOrHoliday(year{2026} / March / 15));
    EXPECT_TRUE(isWeekendOrHoliday(year{2026} / December / 24)); // a Thursday
    EXPECT_TRUE(isWeekendOrHoliday(year{2026} / December / 31));
    EXPECT_FALSE(isWeekendOrHoliday(year{2026} / December / 23));
    EXPECT_TRUE(isWeekendOrHoliday(year{2026} / May / 1)); // a Friday
}

TEST(UpdateCycleLength, PicksTheBandThatHasBegun)
{
    EXPECT_EQ(lookUp(kDayEvening, kTuesday, at(8, 30)).cycleSeconds, 150); // the evening band still runs
    EXPECT_EQ(lookUp(kDayEvening, kTuesday, at(12, 0)).cycleSeconds, 90);
    EXPECT_EQ(lookUp(kDayEvening, kTuesday, at(18, 0)).cycleSeconds, 150); // a band starting now has begun
    EXPECT_EQ(lookUp(kDayEvening, kTuesday, at(8, 30)).nextSwitch, at(9, 0));

    // A cycle that reads as 0 still replaces the earlier band, and then means 60.
    EXPECT_EQ(lookUp(record({{0, {"0", "90"}}, {1, {"9", "abc"}}}), kTuesday, at(12, 0)).cycleSeconds, 60);
    // Start fields are read by their leading number, rounded half to even.
    const auto odd = record({{0, {"", "90"}}, {1, {"7:30", "120"}}, {2, {"8.5", "150"}}});
    EXPECT_EQ(lookUp(odd, kTuesday, at(7, 15)).cycleSeconds, 120);
    EXPECT_EQ(lookUp(odd, kTuesday, at(7, 15)).nextSwitch, at(8, 0));
    EXPECT_EQ(lookUp(odd, kTuesday, at(6, 0)).cycleSeconds, 90); // empty start = midnight
}

TEST(UpdateCycleLength, SearchesOnlyWhenForcedOrJustAfterASwitch)
{
    CycleState state = lookUp(kDayEvening, kTuesday, at(10, 0));
    EXPECT_EQ(state.cycleSeconds, 90);
    EXPECT_EQ(state.nextSwitch, at(18, 0));
    EXPECT_FALSE(state.recalcCycle);

    const auto runsAt = [&](double t) {
        state.cycleSeconds = -7; // a search overwrites this
        UpdateCycleLength(state, kDayEvening, 0, {kTuesday, t});
        return state.cycleSeconds != -7;
    };
    EXPECT_FALSE(runsAt(at(17, 59, 59)));
    EXPECT_FALSE(runsAt(at(18, 0))); // the trigger needs T later than the switch
    EXPECT_TRUE(runsAt(at(18, 0, 1)));
    EXPECT_EQ(state.cycleSeconds, 150);
    EXPECT_EQ(state.nextSwitch, at(18, 0)); // no later band: the switch stays
    EXPECT_TRUE(runsAt(at(18, 4, 59)));
    EXPECT_FALSE(runsAt(at(18, 5, 0)));
    EXPECT_FALSE(runsAt(at(22, 0)));
}

TEST(UpdateCycleLength, NoticesNothingAcrossMidnightUntilTheNextSwitch)
{
    const auto tables = record({{0, {"9", "90"}}, {1, {"18", "150"}}, {4, {"0", "240"}}});
    CycleState state = lookUp(tables, kFriday, at(17, 0));
    UpdateCycleLength(state, tables, 0, {kFriday, at(18, 1)});
    EXPECT_EQ(state.cycleSeconds, 150);
    UpdateCycleLength(state, tables, 0, {kSaturday, at(0, 2)});
    UpdateCycleLength(state, tables, 0, {kSaturday, at(9, 1)});
    EXPECT_EQ(state.cycleSeconds, 150); // neither the weekend nor 09:00 is noticed
    UpdateCycleLength(state, tables, 0, {kSaturday, at(18, 1)});
    EXPECT_EQ(state.cycleSeconds, 240);
}

TEST(UpdateCycleLength, WeekendBandsAndTheBackwardSearchesCondition)
{
    EXPECT_EQ(lookUp(kDayEvening, kSaturday, at(12, 0)).cycleSeconds, 60); // weekday bands do not apply

    auto weekend = record({{4, {"8", "120"}}, {5, {"20", "200"}}});
    EXPECT_EQ(lookUp(weekend, kSaturday, at(7, 0)).cycleSeconds, 60); // band 0 has no start
    weekend.setStart(0, 0, "9");
    EXPECT_EQ(lookUp(weekend, kSaturday, at(7, 0)).cycleSeconds, 200);
    EXPECT_EQ(lookUp(weekend, kSaturday, at(12, 0)).cycleSeconds, 120);
    EXPECT_EQ(lookUp(weekend, year{2026} / December / 24, at(12, 0)).cycleSeconds, 120);
    EXPECT_EQ(lookUp(weekend, year{2026} / December / 31, at(21, 0)).cycleSeconds, 200);
    EXPECT_EQ(lookUp(weekend, year{2026} / May / 1, at(21, 0)).cycleSeconds, 200);
    EXPECT_EQ(lookUp(weekend, year{2026} / December / 23, at(21, 0)).cycleSeconds, 60);
}

TEST(UpdateCycleLength, EmptyRecordsAndUnknownConnectionsGiveSixtySeconds)
{
    for (double t : {at(0, 0), at(8, 0), at(23, 59, 59)}) {
        EXPECT_EQ(lookUp(TariffTables{}, kTuesday, t).cycleSeconds, 60);
        EXPECT_EQ(lookUp(TariffTables{}, kSaturday, t).cycleSeconds, 60);
        EXPECT_EQ(lookUp(kDayEvening, kTuesday, t, kNoConnectionSlot).cycleSeconds, 60);
        EXPECT_EQ(lookUp(kDayEvening, kTuesday, t, 1).cycleSeconds, 60);
    }
}

// A start that names no hour of the day (24, -3) marks a band that never starts:
// it is skipped as a running band and as the next switch, and it does not put
// the day's early hours before the first band.
TEST(UpdateCycleLength, BandsWithoutAValidHourNeverStart)
{
    const auto tables = record({{0, {"24", "90"}}, {1, {"9", "120"}}, {2, {"-3", "150"}}, {3, {"18", "180"}}});
    CycleState noon = lookUp(tables, kTuesday, at(12, 0));
    EXPECT_EQ(noon.cycleSeconds, 120);
    EXPECT_EQ(noon.nextSwitch, at(18, 0));
    CycleState early = lookUp(tables, kTuesday, at(7, 0));
    EXPECT_EQ(early.cycleSeconds, 60);
    EXPECT_EQ(early.nextSwitch, at(9, 0));
    EXPECT_EQ(lookUp(tables, kTuesday, at(20, 0)).cycleSeconds, 180);

    const auto hugeStart = record({{0, {"99999999999", "90"}}, {1, {"-2147483649", "120"}}});
    CycleState state = lookUp(hugeStart, kTuesday, at(1, 0));
    EXPECT_EQ(state.cycleSeconds, 60);
    EXPECT_EQ(state.nextSwitch, 0);
}

} // namespace
} // namespace zumi
