// Runs the monitor on the program's kind of timer (1000 ms, precise) with the
// real clocks for a while and counts seconds of online time that no tick
// showed. Usage: bench_tick_timing [SECONDS]  (default 600)
#include "fake_dialup.h"
#include "metered_monitor.h"
#include "platform/system_clock.h"
#include "ras/pppd/pppd_dialup.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int secondsOf(const std::string& text) // "m:ss" or "h:mm:ss"
{
    int total = 0, part = 0;
    for (char c : text) {
        if (c == ':') {
            total = total * 60 + part;
            part = 0;
        } else {
            part = part * 10 + (c - '0');
        }
    }
    return total * 60 + part;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runSeconds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 600;

    using namespace zumi;
    SystemClock clock;
    test::FakeDialUp dialUp;
    dialUp.connect(4711, "Net1");
    // The real process scan each tick, so the tick costs what it costs in the program.
    PppdDialUp pppd("/");
    test::FakeByteCounter bytes;
    test::MeteredMonitor metered(clock, dialUp, bytes);
    metered.settings.options.Vorlauf = 0;
    metered.names[0] = "Net1";
    Monitor& monitor = metered.monitor;
    const auto& info = metered.info;

    QElapsedTimer wall;
    qint64 previousTick = -1, longestGap = 0;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(1000);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        std::int32_t handle = 0;
        (void)pppd.connectionState(handle);
        (void)pppd.enumConnections();
        monitor.Timer_Timer();
        const qint64 now = wall.elapsed();
        if (previousTick >= 0)
            longestGap = std::max(longestGap, now - previousTick);
        previousTick = now;
        if (now >= runSeconds * 1000LL)
            app.quit();
    });
    wall.start();
    timer.start();
    app.exec();

    // The first text is the detecting tick's "0:00"; from then on every tick
    // should show the next second.
    int skipped = 0, repeated = 0;
    for (std::size_t i = 2; i < info.timeTexts.size(); ++i) {
        const int step = secondsOf(info.timeTexts[i]) - secondsOf(info.timeTexts[i - 1]);
        if (step > 1)
            skipped += step - 1;
        if (step < 1)
            ++repeated;
    }
    std::printf(
        "ticks: %zu in %d s; seconds skipped: %d; seconds shown twice: %d; longest gap between ticks: %lld ms\n",
        info.timeTexts.size(), runSeconds, skipped, repeated, static_cast<long long>(longestGap));
    return skipped == 0 ? 0 : 1;
}
