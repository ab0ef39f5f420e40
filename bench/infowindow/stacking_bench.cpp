// The once-a-second stacking check of the info window on a real X desktop
// (run inside tests/xsession.sh): a window manager, a dozen other programs'
// windows and our own small always-on-top window.
#include "infowindow/stacking_guard.h"
#include "platform/x11/x11_window_queries.h"

#include <xcb/xcb.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace zumi::bench {
namespace {

// Windows made on a connection of their own, as other programs would.
class Desktop {
public:
    Desktop()
        : connection_(xcb_connect(nullptr, nullptr))
    {
        if (!ok())
            return;
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        for (int i = 0; i < 12; ++i)
            others_.push_back(makeWindow("Programm " + std::to_string(i), 40 + 20 * i, 40 + 15 * i, 500, 350));
        self_ = makeWindow("Zumi", 1000, 0, 189, 21);
        sync();
        std::this_thread::sleep_for(std::chrono::milliseconds(500)); // let the window manager frame them
    }
    ~Desktop() { xcb_disconnect(connection_); }
    bool ok() const { return !xcb_connection_has_error(connection_); }
    WindowId self() const { return self_; }
    // Another program changes its title: one property event to take in.
    void retitleOne(int n)
    {
        setTitle(others_[static_cast<std::size_t>(n) % others_.size()], "Programm " + std::to_string(n));
        sync();
    }

private:
    xcb_window_t makeWindow(const std::string& title, int x, int y, std::uint16_t width, std::uint16_t height)
    {
        const xcb_window_t window = xcb_generate_id(connection_);
        const std::uint32_t values[] = {0, 0}; // background and border pixel
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, screen_->root, static_cast<std::int16_t>(x),
                          static_cast<std::int16_t>(y), width, height, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          screen_->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL, values);
        setTitle(window, title);
        xcb_map_window(connection_, window);
        return window;
    }
    void setTitle(xcb_window_t window, const std::string& title)
    {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(title.size()), title.data());
    }
    // A round trip: everything before it has reached the server.
    void sync() { std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr)); }

    xcb_connection_t* connection_;
    xcb_screen_t* screen_ = nullptr;
    std::vector<xcb_window_t> others_;
    xcb_window_t self_ = 0;
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
        benchmark::DoNotOptimize(keepInfoOnTop(windows, windows, desktop.self()));
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
        benchmark::DoNotOptimize(keepInfoOnTop(windows, windows, desktop.self()));
        windows.drainEvents();
    }
}
BENCHMARK(busyDesktop)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace zumi::bench

BENCHMARK_MAIN();
