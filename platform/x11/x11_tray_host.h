#pragma once
#include <cstdint>
#include <optional>

namespace zumi {

// A press of the left or right mouse button: the window pressed and the
// pointer's place on the screen.
struct X11ButtonPress {
    std::uint64_t window = 0;
    int rootX = 0, rootY = 0;
    bool right = false;
};

// Follows the tray host of an X11 screen: whoever takes the selection
// _NET_SYSTEM_TRAY_S<screen> announces itself with a MANAGER message on the
// root window, so a host that restarts is seen however quickly it comes back.
// Uses a connection of its own; without an X display it sees nothing.
class X11TrayHost {
public:
    X11TrayHost(); // the display named by DISPLAY
    ~X11TrayHost();
    X11TrayHost(const X11TrayHost&) = delete;
    X11TrayHost& operator=(const X11TrayHost&) = delete;

    // The connection's file descriptor, readable when the server has reported
    // something; -1 without a display.
    int fd() const;
    // Takes in what the server has reported, without waiting: true when a
    // tray host has taken the selection since the last call.
    bool newHost();

    // A button press in an xcb event as a toolkit hands it over, core or
    // XInput 2 (the toolkit's own connection to the same server).
    std::optional<X11ButtonPress> buttonPress(const void* xcbEvent) const;

private:
    struct Impl;
    Impl* d_;
};

} // namespace zumi
