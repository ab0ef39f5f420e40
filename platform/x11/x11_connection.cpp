#include "platform/x11/x11_connection.h"

#include <xcb/xcb.h>

#include <cstdlib>

namespace zumi {

X11Connection::X11Connection(const std::string& displayName)
{
    xcb_connection_t* c = xcb_connect(displayName.empty() ? nullptr : displayName.c_str(), &screenNumber_);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c); // a failed connection is an object of its own
        return;
    }
    auto screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber_ && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0) {
        xcb_disconnect(c);
        return;
    }
    connection_ = c;
    screen_ = screens.data;
}

X11Connection::~X11Connection()
{
    if (connection_)
        xcb_disconnect(connection_);
}

int X11Connection::socket() const
{
    return connection_ ? xcb_get_file_descriptor(connection_) : -1;
}

int X11Connection::listen(Listener listener)
{
    listeners_.emplace(nextId_, std::move(listener));
    return nextId_++;
}

void X11Connection::unlisten(int id)
{
    listeners_.erase(id);
}

void X11Connection::pump()
{
    if (!connection_)
        return;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_))
        handOn(event);
}

void X11Connection::pumpQueued()
{
    if (!connection_)
        return;
    while (xcb_generic_event_t* event = xcb_poll_for_queued_event(connection_))
        handOn(event);
}

void X11Connection::handOn(void* xcbEvent)
{
    for (const auto& [id, listener] : listeners_)
        listener(xcbEvent);
    std::free(xcbEvent);
}

void X11Connection::watchRoot(std::uint32_t eventMask)
{
    if (!connection_ || (rootMask_ | eventMask) == rootMask_)
        return;
    rootMask_ |= eventMask;
    xcb_change_window_attributes(connection_, screen_->root, XCB_CW_EVENT_MASK, &rootMask_);
    xcb_flush(connection_);
}

} // namespace zumi
