// Arbitrary records and moments: the lookup searches exactly when forced or
// just after a boundary and finds what the day type's bands call for.
#include "core/numbers.h"
#include "fuzz_target.h"
#include "settings/tariff_record.h"
#include "tariff/tariff_schedule.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

using namespace std::chrono;

// The start of a band in seconds of the day; none when it names no hour.
std::optional<double> startOf(const zumi::TariffTables& tables, int c, int band)
{
    const std::int32_t hour = zumi::leadingNumber(tables.start(c, band));
    return hour >= 0 && hour <= 23 ? std::optional<double>(hour * 3600.0) : std::nullopt;
}

// A second, plain reading of the rules: before the first band the last one
// runs on (when band 0 has a start), else the latest begun; 60 s when none
// applies. The next switch is the first later start, else it is kept.
void requireSearched(const zumi::CycleState& before, const zumi::CycleState& after, const zumi::TariffTables& tables,
                     int c, const zumi::LocalDateTime& now)
{
    const double t = now.secondsOfDay;
    const int first = zumi::isWeekendOrHoliday(now.date) ? 4 : 0;
    const bool early = startOf(tables, c, first).value_or(-1) > t; // before the day type's first band
    std::optional<std::int32_t> cycle;
    double nextSwitch = before.nextSwitch;
    for (int band = first + 3; band >= first; --band) {
        const auto start = startOf(tables, c, band);
        const bool begun = early ? !tables.start(c, 0).empty() : start && *start <= t;
        if (!cycle && begun && !tables.takt(c, band).empty())
            cycle = zumi::leadingNumber(tables.takt(c, band));
        if (start && *start > t)
            nextSwitch = *start;
    }
    require(!after.recalcCycle && after.cycleSeconds == (cycle.value_or(0) == 0 ? 60 : *cycle));
    require(after.nextSwitch == nextSwitch && after.nextSwitch >= 0 && after.nextSwitch < 86400);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The whole input is a stored tariff record; connection and moment are drawn from its last bytes.
    const zumi::TariffRecord record = zumi::parseTariffRecord(std::string(reinterpret_cast<const char*>(data), size));
    FuzzedDataProvider input(data, size);
    const int c = input.ConsumeIntegralInRange(0, zumi::kMaxConnections - 1);
    zumi::TariffTables tables;
    for (int band = 0; band < zumi::kBands; ++band) {
        tables.setStart(c, band, record.start[band]);
        tables.setTakt(c, band, record.takt[band]);
    }
    const year_month_day date{sys_days{year{input.ConsumeIntegralInRange(1800, 2299)} / January / 1}
                              + days{input.ConsumeIntegralInRange(0, 365)}};
    const double seconds = input.ConsumeIntegralInRange(0, 86399) + input.ConsumeIntegralInRange(0, 99) / 100.0;

    zumi::CycleState state;
    state.nextSwitch = input.ConsumeIntegralInRange(0, 23) * 3600.0;
    for (int step = 0; step < 4; ++step) {
        const double t = seconds + step * input.ConsumeIntegralInRange(0, 600);
        const zumi::LocalDateTime now{date, t < 86400 ? t : seconds};
        zumi::CycleState forced = state; // forced: always searches
        forced.recalcCycle = true;
        zumi::UpdateCycleLength(forced, tables, c, now);
        requireSearched(state, forced, tables, c, now);
        // Not forced: only just after the boundary in nextSwitch does anything change.
        state = forced;
        const double sinceSwitch = now.secondsOfDay - state.nextSwitch;
        zumi::UpdateCycleLength(state, tables, c, now);
        if (sinceSwitch > 0 && sinceSwitch < 0.0034722 * 86400.0)
            requireSearched(forced, state, tables, c, now);
        else
            require(state.cycleSeconds == forced.cycleSeconds && state.nextSwitch == forced.nextSwitch);
    }
    return 0;
}
