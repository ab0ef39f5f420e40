#include "tariff/tariff_schedule.h"

#include "core/numbers.h"
#include "tariff/holidays.h"

#include <optional>

namespace zumi {
namespace {

// After a band boundary the search runs again for just under five minutes
// (0.0034722 day), so a tick that comes late still sees the new band.
constexpr double kRetriggerWindow = 0.0034722 * 86400.0;

constexpr int kWeekendBands = 4;
constexpr int kBandsPerDayType = 4;

// The moment of the day (seconds) at which a band begins: the hour its start
// field reads as, empty meaning midnight. A reading that names no hour of the
// day (24, -3, 99) has no such moment: the band never starts.
std::optional<double> bandStartTime(const TariffTables& tables, int connection, int band)
{
    const std::int32_t hour = leadingNumber(tables.start(connection, band));
    if (hour < 0 || hour > 23)
        return std::nullopt;
    return hour * 3600.0;
}

} // namespace

bool isWeekendOrHoliday(const std::chrono::year_month_day& date)
{
    using namespace std::chrono;
    if (date.month() == December && (date.day() == day{24} || date.day() == day{31}))
        return true;
    if (IsHoliday(date, 1))
        return true;
    const weekday wd{sys_days{date}};
    return wd == Saturday || wd == Sunday;
}

void UpdateCycleLength(CycleState& state, const TariffTables& tables, int connection, const LocalDateTime& now)
{
    const double t = now.secondsOfDay;
    const bool justSwitched = t > state.nextSwitch && t - state.nextSwitch < kRetriggerWindow;
    if (!state.recalcCycle && !justSwitched)
        return;

    state.recalcCycle = false;
    state.cycleSeconds = 0;
    const int first = isWeekendOrHoliday(now.date) ? kWeekendBands : 0;
    const int last = first + kBandsPerDayType - 1;

    const auto firstStart = bandStartTime(tables, connection, first);
    if (firstStart && t < *firstStart) {
        // Before the day's first band the band that began the evening before
        // is still running: the last one of this day type in use.
        for (int band = last; band >= first; --band) {
            if (!tables.takt(connection, band).empty() && !tables.start(connection, 0).empty()) {
                state.cycleSeconds = leadingNumber(tables.takt(connection, band));
                break;
            }
        }
    } else {
        // The latest band that has begun wins; bands are expected in order.
        for (int band = first; band <= last; ++band) {
            const auto start = bandStartTime(tables, connection, band);
            if (start && *start <= t && !tables.takt(connection, band).empty())
                state.cycleSeconds = leadingNumber(tables.takt(connection, band));
        }
    }
    if (state.cycleSeconds == 0)
        state.cycleSeconds = 60;

    for (int band = first; band <= last; ++band) {
        const auto start = bandStartTime(tables, connection, band);
        if (start && *start > t) {
            state.nextSwitch = *start;
            break;
        }
    }
}

} // namespace zumi
