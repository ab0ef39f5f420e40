#pragma once
#include "clock.h"
#include "settings.h"

#include <cstdint>

namespace zumi {

struct CycleState {
    std::int32_t cycleSeconds = 0;
    double nextSwitch = 0;     // seconds of the day
    bool recalcCycle = false;
};

// True for 24 and 31 December, nationwide holidays, Saturdays and Sundays.
bool isWeekendOrHoliday(const std::chrono::year_month_day& date);

// Finds the cycle length in force for the connection at the given moment,
// when forced or just after a band boundary.
void UpdateCycleLength(CycleState& state, const TariffTables& tables, int connection, const LocalDateTime& now);

} // namespace zumi
