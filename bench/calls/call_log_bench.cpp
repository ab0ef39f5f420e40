// The metering tick with and without the call log behind it, and the one
// write the log makes per unit begun: an SQLite transaction on a real file.
#include "calls/call_recorder.h"
#include "calls/sqlite/sqlite_call_store.h"
#include "fake_clock.h"
#include "fake_dialup.h"
#include "metered_monitor.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <unistd.h>

namespace zumi::bench {
namespace {

std::filesystem::path databasePath()
{
    return std::filesystem::temp_directory_path() / ("zumi-bench-calls-" + std::to_string(::getpid()) + ".sqlite");
}

void removeDatabase(const std::filesystem::path& path)
{
    for (const char* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(path.string() + suffix);
}

// A day of 60-s units, one tick a second on the hand-moved clock: a tick in
// sixty begins a unit and, with the log, writes it.
void meteringTick(benchmark::State& state, bool withLog)
{
    const auto path = databasePath();
    test::FakeClock clock;
    test::FakeDialUp dialUp;
    test::FakeByteCounter bytes;
    SqliteCallStore store(path);
    CallRecorder recorder(clock, store, nullptr);
    test::MeteredMonitor metered(clock, dialUp, bytes, nullptr, withLog ? &recorder : nullptr);
    metered.names = {"Net1"};
    metered.taktAllDay("60");
    dialUp.connect(7, "Net1");
    metered.monitor.Timer_Timer();
    auto& info = metered.info;
    for (auto _ : state) {
        clock.advance(1);
        bytes.total += 1000;
        metered.monitor.Timer_Timer();
        info.forgetShown();
    }
    removeDatabase(path);
}

void unitWrite(benchmark::State& state)
{
    const auto path = databasePath();
    test::FakeClock clock;
    SqliteCallStore store(path);
    CallRecorder recorder(clock, store, nullptr);
    recorder.started("Net1", {0, 1});
    std::int32_t units = 1;
    for (auto _ : state) {
        ++units;
        recorder.unitBegun(units, {static_cast<std::uint32_t>(units) * 100u, static_cast<std::uint32_t>(units) * 900u});
    }
    recorder.ended(CallEnd::Outside, {});
    removeDatabase(path);
}

BENCHMARK_CAPTURE(meteringTick, without_log, false);
BENCHMARK_CAPTURE(meteringTick, with_log, true);
BENCHMARK(unitWrite);

} // namespace
} // namespace zumi::bench

BENCHMARK_MAIN();
