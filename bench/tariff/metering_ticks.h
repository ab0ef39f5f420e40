#pragma once
#include "metered_monitor.h"
#include "process_crowd.h"

#include <benchmark/benchmark.h>

#include <limits>
#include <string>

namespace zumi::bench {

// Times whole monitor ticks while the first connection of dialUp, the entry
// named entryName, is metered with the rules that read the link running.
inline void runMeteringTicks(benchmark::State& state, const Clock& clock, DialUpAccess& dialUp, ByteSource& bytes,
                             const std::string& entryName)
{
    test::MeteredMonitor metered(clock, dialUp, bytes);
    Settings& settings = metered.settings;
    settings.options.AutoHangup = true; // the low-traffic rule runs but never hangs up
    settings.options.HangupBytes = std::numeric_limits<std::int32_t>::min();
    settings.options.ShowSpeed = true;
    metered.names = {entryName};
    Monitor& monitor = metered.monitor;
    monitor.Timer_Timer(); // notices the connection
    if (!monitor.metering()) {
        state.SkipWithError("the connection was not seen");
        return;
    }
    for (auto _ : state) {
        monitor.Timer_Timer();
        metered.info.forgetShown();
    }
    state.counters["processes"] = ProcessCrowd::countProcesses();
    if (!monitor.metering())
        state.SkipWithError("metering stopped during the run");
}

} // namespace zumi::bench
