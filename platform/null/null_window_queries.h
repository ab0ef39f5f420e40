#pragma once
#include "platform/window_queries.h"

namespace zumi {

// For window systems that do not let a client see other programs' windows
// (Wayland): nothing is known, and stacking is left to the window's own
// stay-on-top flag.
class NullWindowQueries final : public WindowSystem {
public:
    bool available() const override { return false; }
    WindowId activeWindow() override { return 0; }
    std::string windowTitle(WindowId) override { return {}; }
    WindowId windowUnderPointer() override { return 0; }
    std::optional<PixelRect> windowRect(WindowId) override { return std::nullopt; }
    WindowId findKolpWindow() override { return 0; }
    bool isFullScreen(WindowId) override { return false; }
    bool isTransient(WindowId) override { return false; }
    bool isMenuOpen() override { return false; }
    void stackAtBottom(WindowId) override {}
    void stackBelow(WindowId, WindowId) override {}
    void stackOnTop(WindowId) override {}
    void activate(WindowId) override {}
};

} // namespace zumi
