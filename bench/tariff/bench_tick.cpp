// One whole monitor tick while a connection is metered, with the real
// dial-up backend scanning a machine of about 500 processes.
#include "bench_link.h"
#include "metering_ticks.h"
#include "platform/system_clock.h"
#include "process_crowd.h"
#include "ras/pppd/link_bytes.h"
#include "ras/pppd/pppd_dialup.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace zumi::bench {
namespace {

constexpr const char* kLinkName = "zumibench";

// Without a link of its own the benchmark still pays for the real process
// scan and state query, but meters a connection that only it can see.
class ScanCostDialUp final : public DialUpAccess {
public:
    explicit ScanCostDialUp(DialUpAccess& real)
        : real_(real)
    {
    }
    ConnectionList enumConnections() override
    {
        benchmark::DoNotOptimize(real_.enumConnections());
        return {true, {{1, kLinkName}}};
    }
    std::int32_t connectionState(std::int32_t handle) override
    {
        benchmark::DoNotOptimize(real_.connectionState(handle));
        return kStateConnected;
    }
    int hangUp(std::int32_t) override { return 0; }
    Phonebook phonebookEntries() override { return {}; }
    DialResult dial(const std::string&) override { return {}; }

private:
    DialUpAccess& real_;
};

// What stays up for the whole run: the crowd of processes and the link.
struct Machine {
    ProcessCrowd crowd{500};
    std::unique_ptr<BenchLink> link = startBenchLink(kLinkName);
};

void meteringTick(benchmark::State& state, const Machine& machine)
{
    const auto& link = machine.link;
    PppdDialUp pppd("/");
    LinkBytes linkBytes("/");
    ScanCostDialUp scanCost(pppd);
    DialUpAccess& dialUp = link ? pppd : static_cast<DialUpAccess&>(scanCost);

    SystemClock clock;
    runMeteringTicks(state, clock, dialUp, linkBytes, kLinkName);
    state.counters["stand_in_link"] = link ? 1 : 0;
}
} // namespace
} // namespace zumi::bench

int main(int argc, char** argv)
{
    using namespace zumi::bench;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const Machine machine;
    benchmark::RegisterBenchmark("MeteringTick", [&machine](benchmark::State& state) { meteringTick(state, machine); })
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(9)
        ->ReportAggregatesOnly(true);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
