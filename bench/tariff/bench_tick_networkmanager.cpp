// One whole monitor tick while a NetworkManager activation is metered: the
// program's own dial-up systems (pppd's and NetworkManager's, the latter on
// a stand-in on a private bus), on a machine of about 500 processes. The
// activation's device is the loopback interface, so bytes are real counters.
#include "app/linux/desktop_dialup.h"
#include "metering_ticks.h"
#include "nm_stand_in.h"
#include "platform/system_clock.h"
#include "process_crowd.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace zumi::bench {
namespace {

constexpr const char* kEntry = "Iridium Daten";
const test::NetworkManagerStandIn* networkManager = nullptr;

void meteringTick(benchmark::State& state)
{
    DesktopDialUp backend = makeDesktopDialUp();
    DialUpAccess& dialUp = *backend.dialUp;
    if (!test::waitFor([&] { return !dialUp.phonebookEntries().entries.empty(); }) || !dialUp.dial(kEntry).started
        || !test::waitFor([&] { return dialUp.enumConnections().connections.size() == 1; })) {
        state.SkipWithError("the stand-in's profile could not be dialed");
        return;
    }
    // Up, on the loopback interface (a hang-up takes a modem's interface away).
    networkManager->control({"interface", "modem0", "lo"});
    networkManager->control({"state", networkManager->control({"active"}), "2"});
    const std::int32_t handle = dialUp.enumConnections().connections.at(0).handle;
    if (!test::waitFor([&] { return dialUp.connectionState(handle) == kStateConnected; })) {
        state.SkipWithError("the activation did not come up");
        return;
    }
    SystemClock clock;
    runMeteringTicks(state, clock, dialUp, *backend.linkBytes, kEntry);
    dialUp.hangUp(dialUp.enumConnections().connections.at(0).handle);
    test::waitFor([&] { return dialUp.enumConnections().connections.empty(); });
}

} // namespace
} // namespace zumi::bench

int main(int argc, char** argv)
{
    using namespace zumi;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QCoreApplication app(argc, argv);
    test::NetworkManagerStandIn standIn;
    bench::networkManager = &standIn;
    bool ready = standIn.busRuns() && standIn.start();
    if (ready)
        standIn.control({"profile", bench::kEntry, "gsm"}, &ready);
    if (ready)
        standIn.control({"modem", "modem0", "lo"}, &ready);
    if (!ready) {
        std::fprintf(stderr, "bench_tick_networkmanager: no stand-in NetworkManager\n");
        return 1;
    }
    const bench::ProcessCrowd crowd{500};
    benchmark::RegisterBenchmark("MeteringTickNetworkManager", bench::meteringTick)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(9)
        ->ReportAggregatesOnly(true);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
