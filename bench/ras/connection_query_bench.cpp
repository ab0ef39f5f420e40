// The once-a-second connection query of the monitor tick: the active
// connection and its state, from the platform's backend, on a machine with
// about 500 processes.
#include "process_crowd.h"
#include "ras/connection_queries.h"
#include "ras/pppd/pppd_dialup.h"

#include <benchmark/benchmark.h>

namespace zumi::bench {
namespace {

void queryOnce(DialUpAccess& dialUp)
{
    std::int32_t handle = 0;
    std::string name = getActiveConnection(dialUp, handle);
    std::int32_t state = getConnectState(dialUp, handle);
    benchmark::DoNotOptimize(name);
    benchmark::DoNotOptimize(state);
}

// The program keeps one backend for its whole run.
void connection_query(benchmark::State& state)
{
    PppdDialUp pppd("/");
    for (auto _ : state)
        queryOnce(pppd);
    state.counters["processes"] = ProcessCrowd::countProcesses();
}
BENCHMARK(connection_query)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);

// The first query of a fresh backend reads every process.
void connection_query_first(benchmark::State& state)
{
    for (auto _ : state) {
        PppdDialUp pppd("/");
        queryOnce(pppd);
    }
    state.counters["processes"] = ProcessCrowd::countProcesses();
}
BENCHMARK(connection_query_first)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
} // namespace zumi::bench

int main(int argc, char** argv)
{
    zumi::bench::ProcessCrowd crowd(500);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
