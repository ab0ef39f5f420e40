// Arbitrary tariff records and moments: the lookup must never crash, must
// search exactly when forced or just after a boundary, and must find the
// cycle length and next switch that the bands of the day type call for.
#include "numbers.h"
#include "tariff_record.h"
#include "tariff_schedule.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace std::chrono;

void require(bool condition)
{
    if (!condition)
        std::abort();
}

std::optional<double> startOf(const zumi::TariffTables& tables, int band)
{
    const std::int32_t hour = zumi::leadingNumber(tables.start(0, band));
    if (hour < 0 || hour > 23)
        return std::nullopt; // names no hour of the day: never starts
    return hour * 3600.0;
}

// What a search must leave, worked out band by band: before the day type's
// first band the last band in use of that day type runs on (when band 0 has
// a start), otherwise the latest band that has begun; 60 s when none applies.
// The next switch is the first later band start of the day type, else kept.
void checkSearchResult(const zumi::CycleState& before, const zumi::CycleState& after,
                       const zumi::TariffTables& tables, const zumi::LocalDateTime& now)
{
    const double t = now.secondsOfDay;
    const int first = zumi::isWeekendOrHoliday(now.date) ? 4 : 0;
    std::int32_t cycle = 0;
    const auto firstStart = startOf(tables, first);
    if (firstStart && t < *firstStart) {
        for (int band = first + 3; band >= first && !tables.start(0, 0).empty(); --band) {
            if (!tables.takt(0, band).empty()) {
                cycle = zumi::leadingNumber(tables.takt(0, band));
                break;
            }
        }
    } else {
        for (int band = first; band < first + 4; ++band) {
            const auto start = startOf(tables, band);
            if (start && *start <= t && !tables.takt(0, band).empty())
                cycle = zumi::leadingNumber(tables.takt(0, band));
        }
    }
    double nextSwitch = before.nextSwitch;
    for (int band = first; band < first + 4; ++band) {
        const auto start = startOf(tables, band);
        if (start && *start > t) {
            nextSwitch = *start;
            break;
        }
    }
    require(!after.recalcCycle);
    require(after.cycleSeconds == (cycle == 0 ? 60 : cycle));
    require(after.nextSwitch == nextSwitch);
    require(after.nextSwitch >= 0 && after.nextSwitch < 86400);
}

bool sameState(const zumi::CycleState& a, const zumi::CycleState& b)
{
    return a.cycleSeconds == b.cycleSeconds && a.nextSwitch == b.nextSwitch && a.recalcCycle == b.recalcCycle;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The whole input is a stored tariff record; the moment is drawn from its last bytes.
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const zumi::TariffRecord record = zumi::parseTariffRecord(text);
    zumi::TariffTables tables;
    for (int band = 0; band < zumi::kBands; ++band) {
        tables.setStart(0, band, record.start[band]);
        tables.setTakt(0, band, record.takt[band]);
    }

    FuzzedDataProvider input(data, size);
    const int yearNumber = input.ConsumeIntegralInRange(1800, 2299);
    const int dayOffset = input.ConsumeIntegralInRange(0, 365);
    const double seconds = input.ConsumeIntegralInRange(0, 86399) + input.ConsumeIntegralInRange(0, 99) / 100.0;
    const year_month_day date{sys_days{year{yearNumber} / January / 1} + days{dayOffset}};

    zumi::CycleState state;
    state.nextSwitch = input.ConsumeIntegralInRange(0, 23) * 3600.0;
    for (int step = 0; step < 4; ++step) {
        const double t = seconds + step * input.ConsumeIntegralInRange(0, 600);
        const zumi::LocalDateTime now{date, t < 86400 ? t : seconds};

        // Forced: always searches, and searching again at the same moment
        // finds the same cycle and the same next switch.
        zumi::CycleState forced = state;
        forced.recalcCycle = true;
        zumi::UpdateCycleLength(forced, tables, 0, now);
        checkSearchResult(state, forced, tables, now);
        zumi::CycleState again = forced;
        again.recalcCycle = true;
        zumi::UpdateCycleLength(again, tables, 0, now);
        require(sameState(forced, again));

        // Not forced: only just after the boundary in nextSwitch does anything change.
        zumi::CycleState unforced = forced;
        const bool justSwitched = now.secondsOfDay > unforced.nextSwitch
            && now.secondsOfDay - unforced.nextSwitch < 0.0034722 * 86400.0;
        zumi::UpdateCycleLength(unforced, tables, 0, now);
        if (justSwitched)
            checkSearchResult(forced, unforced, tables, now);
        else
            require(sameState(unforced, forced));
        state = unforced;
    }

    // A connection without bands gets 60 s at any moment.
    zumi::CycleState empty;
    empty.recalcCycle = true;
    zumi::UpdateCycleLength(empty, tables, 1, {date, seconds});
    require(empty.cycleSeconds == 60 && empty.nextSwitch == 0);
    return 0;
}
