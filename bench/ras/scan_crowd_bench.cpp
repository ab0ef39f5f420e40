// The cost of one tick's connection query on a machine crowded to 500 and to
// 5000 processes, with one new process a second (here: one per tick), each
// living a few ticks as a real one would. CPU time of this thread only.
#include "process_crowd.h"
#include "ras/connection_queries.h"
#include "ras/pppd/pppd_dialup.h"

#include <benchmark/benchmark.h>

#include <csignal>
#include <ctime>
#include <deque>
#include <sys/wait.h>
#include <thread>

namespace zumi::bench {
namespace {

double threadSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void end(pid_t pid)
{
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
}

void tick_with_one_new_process(benchmark::State& state)
{
    ProcessCrowd crowd(static_cast<int>(state.range(0)));
    std::this_thread::sleep_for(std::chrono::seconds(3)); // until the crowd has started
    PppdDialUp pppd("/");
    std::int32_t handle = 0;
    // Past the listing at start and the first seconds, in which every
    // process is new to the scan.
    for (int tick = 0; tick < 8; ++tick)
        getActiveConnection(pppd, handle);
    std::deque<pid_t> young;
    for (auto _ : state) {
        if (const pid_t pid = ProcessCrowd::spawnSleeper("60"))
            young.push_back(pid);
        if (young.size() > 8) {
            end(young.front());
            young.pop_front();
        }
        // A process of the last second has long started when the tick comes.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const double start = threadSeconds();
        std::string name = getActiveConnection(pppd, handle);
        std::int32_t connectState = getConnectState(pppd, handle);
        state.SetIterationTime(threadSeconds() - start);
        benchmark::DoNotOptimize(name);
        benchmark::DoNotOptimize(connectState);
    }
    for (const pid_t pid : young)
        end(pid);
    state.counters["processes"] = ProcessCrowd::countProcesses();
}
// 600 ticks: ten minutes of metering, with the occasional full listing.
BENCHMARK(tick_with_one_new_process)
    ->Arg(500)
    ->Arg(5000)
    ->Iterations(600)
    ->Repetitions(5)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->ReportAggregatesOnly(true);

} // namespace
} // namespace zumi::bench

BENCHMARK_MAIN();
