#pragma once
#include "platform/pixel_rect.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zumi {

using WindowId = std::uint64_t; // 0 = none

// What the program asks the window system about other programs' windows.
// Every query answers "none"/false/nullopt when it cannot tell (for example
// on a window system that does not let a client see other windows).
class WindowQueries {
public:
    virtual ~WindowQueries() = default;
    virtual bool available() const = 0; // false: the stacking queries are unknown here

    virtual WindowId activeWindow() = 0; // the foreground window
    virtual std::string windowTitle(WindowId window) = 0;
    virtual WindowId windowUnderPointer() = 0; // top-level window under the pointer
    virtual std::optional<PixelRect> windowRect(WindowId window) = 0;
    // A top-level window titled exactly "Kolp".
    virtual WindowId findKolpWindow() = 0;

    // A window that fills the whole screen as a full-screen program does
    // (not a dialog or system window that merely covers it).
    virtual bool isFullScreen(WindowId window) = 0;
    // A tooltip, menu, notification, screen saver or a window that is not visible.
    virtual bool isTransient(WindowId window) = 0;
    // Any popup menu open on the screen.
    virtual bool isMenuOpen() = 0;

    // Takes in what the window system has reported since the last look, so
    // that nothing piles up between queries: each time eventSocket() turns
    // readable, or once a second where there is no such socket.
    virtual void drainEvents() {}
    // A socket that turns readable when the window system has reported
    // something; -1 for none.
    virtual int eventSocket() { return -1; }
};

// What the program asks the window system to do with its own windows.
class WindowActions {
public:
    virtual ~WindowActions() = default;
    virtual void stackAtBottom(WindowId window) = 0;
    virtual void stackBelow(WindowId window, WindowId sibling) = 0;
    virtual void stackOnTop(WindowId window) = 0;
    // Gives the window the input focus; failures are ignored.
    virtual void activate(WindowId window) = 0;
    // Keeps a window, not yet shown, out of taskbars and pagers.
    virtual void skipTaskbarAndPager(WindowId) {}
};

// One window system backend answers both; only its owner sees it whole.
class WindowSystem : public WindowQueries, public WindowActions {};

} // namespace zumi
