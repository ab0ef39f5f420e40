#pragma once
#include "platform/window_queries.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zumi::test {

// A desktop described by hand. Stacking and focus requests go to `calls` and to `onCall` (for a test to look
// at its own side at that moment); queries are not logged.
class FakeWindowQueries final : public WindowSystem {
public:
    WindowId active = 0;
    WindowId underPointer = 0;
    bool menuOpen = false;
    std::set<WindowId> fullScreen;
    std::set<WindowId> transient;
    std::map<WindowId, std::string> titles;
    // What activeWindow() answers after the first query: a window manager that moved the focus in between.
    std::optional<WindowId> activeLater;

    std::vector<std::string> calls;
    std::function<void(const std::string&)> onCall;

    bool available() const override { return true; }
    WindowId activeWindow() override
    {
        const WindowId answer = active;
        if (activeLater) {
            active = *activeLater;
            activeLater.reset();
        }
        return answer;
    }
    std::string windowTitle(WindowId window) override { return titles.count(window) ? titles.at(window) : ""; }
    WindowId windowUnderPointer() override { return underPointer; }
    // No Kolp on this desktop.
    std::optional<PixelRect> windowRect(WindowId) override { return std::nullopt; }
    WindowId findKolpWindow() override { return 0; }
    bool isFullScreen(WindowId window) override { return fullScreen.count(window) > 0; }
    bool isTransient(WindowId window) override { return transient.count(window) > 0; }
    bool isMenuOpen() override { return menuOpen; }

    void stackAtBottom(WindowId window) override { record("stackAtBottom " + std::to_string(window)); }
    void stackBelow(WindowId window, WindowId sibling) override
    {
        record("stackBelow " + std::to_string(window) + " " + std::to_string(sibling));
    }
    void stackOnTop(WindowId window) override { record("stackOnTop " + std::to_string(window)); }
    void activate(WindowId window) override
    {
        active = window;
        record("activate " + std::to_string(window));
    }

private:
    void record(const std::string& call)
    {
        calls.push_back(call);
        if (onCall)
            onCall(call);
    }
};

} // namespace zumi::test
