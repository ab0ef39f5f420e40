#pragma once
#include <optional>
#include <string>

namespace zumi {

// The environment variables that decide the toolkit's window system.
struct PlatformSession {
    bool waylandDisplay = false; // WAYLAND_DISPLAY is set
    bool x11Display = false;     // DISPLAY is set (on Wayland: XWayland runs)
    bool userChoice = false;     // QT_QPA_PLATFORM is set
};

// On a Wayland session with XWayland, the program's windows go through
// XWayland ("xcb"): only an X window can be kept above the others and be
// stacked by the program, and native Wayland offers neither to an ordinary
// window. Nothing when the user chose a platform, the session is not
// Wayland's, or there is no XWayland.
std::optional<std::string> platformOverride(const PlatformSession& session);

} // namespace zumi
