#pragma once
#include "platform/window_queries.h"

#include <memory>
#include <string>
#include <vector>

namespace zumi {

class X11Connection;

// Window queries and stacking on an X11 desktop, through the EWMH hints of
// the window manager. Speaks over a connection of its own (not the
// toolkit's), so it works beside any toolkit; every failing request is ignored and reads as "none". What it has
// read is kept until the server reports a change, so asking again on a quiet
// desktop costs a round trip.
class X11WindowQueries final : public WindowSystem {
public:
    // Opens a connection of its own to the display named by DISPLAY (or the given name).
    explicit X11WindowQueries(const std::string& displayName = {});
    // Over a connection that others share; it outlives this object, and its
    // events reach it whenever anyone pumps them.
    explicit X11WindowQueries(X11Connection& connection);
    ~X11WindowQueries() override;
    X11WindowQueries(const X11WindowQueries&) = delete;
    X11WindowQueries& operator=(const X11WindowQueries&) = delete;

    bool available() const override; // false when no display could be opened

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
    void skipTaskbarAndPager(WindowId window) override;
    void drainEvents() override;
    int eventSocket() override;

    // The managed windows from bottom to top, as the window manager
    // publishes them (_NET_CLIENT_LIST_STACKING); empty without one.
    std::vector<WindowId> clientStackingOrder();

private:
    explicit X11WindowQueries(std::unique_ptr<X11Connection> connection);

    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace zumi
