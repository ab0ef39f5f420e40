#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>

struct xcb_connection_t;
struct xcb_screen_t;

namespace zumi {

// The program's own connection to the X server (beside the toolkit's), one
// for all that speak X directly: the window queries and the tray host's
// watch. Whoever owns it passes it in; pump() reads what the server reported
// and hands each event to every listener, so one socket serves them all.
class X11Connection {
public:
    // The display named by DISPLAY when displayName is empty.
    explicit X11Connection(const std::string& displayName = {});
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    bool open() const { return connection_ != nullptr; }
    // Readable when the server has reported something; -1 without a display.
    int socket() const;

    using Listener = std::function<void(const void* xcbEvent)>;
    int listen(Listener listener);
    void unlisten(int id);
    // Takes in every event the server has reported so far, without waiting.
    void pump();
    // Only those already read off the socket (as waiting for a reply does):
    // no call into the kernel, and none is left behind a socket that no
    // longer turns readable for it.
    void pumpQueued();

    // Adds to the events asked of the root window; what others asked stays.
    void watchRoot(std::uint32_t eventMask);

    xcb_connection_t* xcb() const { return connection_; }
    const xcb_screen_t* screen() const { return screen_; }
    int screenNumber() const { return screenNumber_; }

private:
    void handOn(void* xcbEvent); // and frees it

    xcb_connection_t* connection_ = nullptr;
    const xcb_screen_t* screen_ = nullptr;
    int screenNumber_ = 0;
    std::uint32_t rootMask_ = 0;
    std::map<int, Listener> listeners_;
    int nextId_ = 0;
};

} // namespace zumi
