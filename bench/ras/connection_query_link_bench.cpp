// The same query while a link is up, so the pppd found is also read in full.
#include "ras/connection_queries.h"
#include "ras/pppd/pppd_dialup.h"
#include "stand_in_link.h"

#include <benchmark/benchmark.h>

namespace zumi::bench {
namespace {

void connection_query_with_link(benchmark::State& state)
{
    if (!test::StandInLink::canRun()) {
        state.SkipWithError(test::StandInLink::whyNot().c_str());
        return;
    }
    auto link = test::StandInLink::start("bench");
    if (!link) {
        state.SkipWithError("the stand-in pppd did not come up");
        return;
    }
    PppdDialUp pppd("/");
    for (auto _ : state) {
        std::int32_t handle = 0;
        std::string name = getActiveConnection(pppd, handle);
        std::int32_t linkState = getConnectState(pppd, handle);
        if (linkState != kStateConnected) {
            state.SkipWithError("the link is not seen as connected");
            break;
        }
        benchmark::DoNotOptimize(name);
    }
}
BENCHMARK(connection_query_with_link)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);

} // namespace
} // namespace zumi::bench
