#pragma once
#include "infowindow/twips.h"
#include "platform/window_queries.h"

namespace zumi {

// Other programs' windows and the program's own stacking through user32;
// a WindowId is the HWND's value.
class Win32WindowSystem final : public WindowSystem {
public:
    bool available() const override { return true; }

    WindowId activeWindow() override;
    std::string windowTitle(WindowId window) override;
    WindowId windowUnderPointer() override;
    std::optional<PixelRect> windowRect(WindowId window) override;
    WindowId findKolpWindow() override;
    bool isFullScreen(WindowId window) override;
    bool isTransient(WindowId window) override;
    bool isMenuOpen() override;

    void stackAtBottom(WindowId window) override;
    void stackBelow(WindowId window, WindowId sibling) override;
    void stackOnTop(WindowId window) override;
    void activate(WindowId window) override;
};

// The screen's twips per pixel, from its dots per inch.
TwipsPerPixel screenTwipsPerPixel();

} // namespace zumi
