#pragma once
#include "window_queries.h"

#include <map>
#include <string>
#include <vector>

namespace zumi::test {

// A window system whose foreground window and titles the test sets.
class FakeWindowQueries final : public WindowQueries {
public:
    WindowId active = 0;
    std::map<WindowId, std::string> titles;
    std::vector<WindowId> activations;
    WindowId kolp = 0;
    std::optional<WindowRect> kolpRect;

    bool available() const override { return true; }
    WindowId activeWindow() override { return active; }
    std::string windowTitle(WindowId window) override
    {
        auto it = titles.find(window);
        return it == titles.end() ? std::string() : it->second;
    }
    WindowId windowUnderPointer() override { return 0; }
    std::optional<WindowRect> windowRect(WindowId window) override
    {
        return window != 0 && window == kolp ? kolpRect : std::nullopt;
    }
    WindowId findKolpWindow() override { return kolp; }
    bool isFullScreen(WindowId) override { return false; }
    bool isTransient(WindowId) override { return false; }
    bool isMenuOpen() override { return false; }
    void stackAtBottom(WindowId) override {}
    void stackBelow(WindowId, WindowId) override {}
    void stackOnTop(WindowId) override {}
    void activate(WindowId window) override { activations.push_back(window); }
};

} // namespace zumi::test
