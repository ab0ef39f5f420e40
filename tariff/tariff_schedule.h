#pragma once
#include "platform/clock.h"
#include "settings/settings.h"

#include <cstdint>

namespace zumi {

struct CycleState {
    std::int32_t cycleSeconds = 0;
    double nextSwitch = 0; // seconds of the day
    bool recalcCycle = false;
};

// True for 24 and 31 December, nationwide holidays, Saturdays and Sundays.
bool isWeekendOrHoliday(const std::chrono::year_month_day& date);

// Finds the cycle length in force for the connection at the given moment,
// when forced or just after a band boundary. A band whose start field names no
// hour of the day (24, -3) never starts: it is neither a running band nor the
// next switch, and it does not put the early hours before the first band.
void UpdateCycleLength(CycleState& state, const TariffTables& tables, int connection, const LocalDateTime& now);

} // namespace zumi
