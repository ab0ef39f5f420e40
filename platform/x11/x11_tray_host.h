#pragma once
#include <cstdint>
#include <functional>
#include <optional>

namespace zumi {

class X11Connection;

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
// Hears of it over the connection passed in (which outlives it) when that
// connection's events are pumped; without an X display it sees nothing.
class X11TrayHost {
public:
    explicit X11TrayHost(X11Connection& connection);
    ~X11TrayHost();
    X11TrayHost(const X11TrayHost&) = delete;
    X11TrayHost& operator=(const X11TrayHost&) = delete;

    // Called from the connection's pump each time a tray host has taken the selection.
    void onNewHost(std::function<void()> handler) { newHost_ = std::move(handler); }
    // Takes in what the connection read off with a reply to a query of
    // another of its users: that no longer makes its socket readable.
    void takeQueued();

    // A button press in an xcb event as a toolkit hands it over, core or
    // XInput 2 (the toolkit's own connection to the same server).
    std::optional<X11ButtonPress> buttonPress(const void* xcbEvent) const;

private:
    void handle(const void* xcbEvent);

    X11Connection& connection_;
    int listener_ = -1;
    std::uint32_t selection_ = 0; // atoms; 0 for none
    std::uint32_t manager_ = 0;
    int inputOpcode_ = -1; // of the XInputExtension, -1 without it
    std::function<void()> newHost_;
};

} // namespace zumi
