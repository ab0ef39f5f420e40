// The once-a-second stacking check of the info window on a real X desktop
// (run inside tests/xsession.sh): a window manager, a dozen other programs'
// windows and our own small always-on-top window.
#include "stacking_guard.h"
#include "x11_window_queries.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace zumi::bench {
namespace {

// Windows made on a connection of their own, as other programs would.
class Desktop {
public:
    Desktop()
        : display_(XOpenDisplay(nullptr))
    {
        if (!display_)
            return;
        for (int i = 0; i < 12; ++i)
            others_.push_back(makeWindow("Programm " + std::to_string(i), 40 + 20 * i, 40 + 15 * i, 500, 350));
        self_ = makeWindow("Zumi", 1000, 0, 189, 21);
        XSync(display_, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(500)); // let the window manager frame them
    }
    ~Desktop()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    bool ok() const { return display_ != nullptr; }
    WindowId self() const { return self_; }
    // Another program changes its title: one property event to take in.
    void retitleOne(int n)
    {
        XStoreName(display_, others_[static_cast<std::size_t>(n) % others_.size()], ("Programm " + std::to_string(n)).c_str());
        XSync(display_, False);
    }

private:
    Window makeWindow(const std::string& title, int x, int y, unsigned width, unsigned height)
    {
        const Window window = XCreateSimpleWindow(display_, DefaultRootWindow(display_), x, y, width, height, 0, 0, 0);
        XStoreName(display_, window, title.c_str());
        XMapWindow(display_, window);
        return window;
    }

    Display* display_;
    std::vector<Window> others_;
    Window self_ = 0;
};

void quietDesktop(benchmark::State& state)
{
    Desktop desktop;
    X11WindowQueries windows;
    if (!desktop.ok() || !windows.available()) {
        state.SkipWithError("no X display (run inside tests/xsession.sh)");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(keepInfoOnTop(windows, desktop.self()));
        windows.drainEvents();
    }
}
BENCHMARK(quietDesktop)->Unit(benchmark::kMicrosecond);

// Some other program changes something between two checks.
void busyDesktop(benchmark::State& state)
{
    Desktop desktop;
    X11WindowQueries windows;
    if (!desktop.ok() || !windows.available()) {
        state.SkipWithError("no X display (run inside tests/xsession.sh)");
        return;
    }
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        desktop.retitleOne(++n);
        state.ResumeTiming();
        benchmark::DoNotOptimize(keepInfoOnTop(windows, desktop.self()));
        windows.drainEvents();
    }
}
BENCHMARK(busyDesktop)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace zumi::bench

BENCHMARK_MAIN();
