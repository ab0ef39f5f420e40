// One second's worth of updates of the info window on a real X server (run
// inside tests/xsession.sh): online time and unit time shown at once, the
// data rate, and the bar.
#include "infowindow/qt/info_window.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <string>

namespace zumi::bench {
namespace {

std::string clock(int seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'))
        .toStdString();
}

void secondOfUpdates(benchmark::State& state)
{
    InfoPosition position;
    AutoHangupState autoHangup;
    InfoWindowMemory memory;
    InfoWindow window(position, autoHangup, memory, [] {});
    window.show();
    QApplication::processEvents();
    int second = 0;
    for (auto _ : state) {
        ++second;
        window.setTimeText(clock(second));
        window.setTaktText(
            QStringLiteral("%1:%2").arg(second % 240 / 60).arg(second % 60, 2, 10, QLatin1Char('0')).toStdString());
        window.setSpeedText(second % 2 ? "2,0 KB/s" : "1,9 KB/s");
        window.setProgressValue(second % 240 / 2.4);
        QApplication::processEvents(); // what is left for the event loop after the tick
    }
}
BENCHMARK(secondOfUpdates)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace zumi::bench

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
