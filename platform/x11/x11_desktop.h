#pragma once
#include "platform/x11/x11_connection.h"

#include <xcb/xcb.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace zumi::x11 {

using Window = xcb_window_t;
using Atom = xcb_atom_t;

enum AtomId : std::size_t {
    kNetSupported,
    kNetSupportingWmCheck,
    kNetActiveWindow,
    kNetClientList,
    kNetClientListStacking,
    kNetRestackWindow,
    kNetWmName,
    kUtf8String,
    kCompoundText,
    kWmState,
    kNetWmState,
    kNetWmStateFullscreen,
    kNetWmStateAbove,
    kNetWmStateBelow,
    kNetWmStateSkipTaskbar,
    kNetWmStateSkipPager,
    kNetFrameExtents,
    kNetWmWindowType,
    kTypeNormal,
    kTypeDialog,
    kTypeDesktop,
    kTypeDock,
    kTypeSplash,
    kTypeToolbar,
    kTypeUtility,
    kTypeMenu,
    kTypePopupMenu,
    kTypeDropdownMenu,
    kTypeTooltip,
    kTypeNotification,
    kTypeCombo,
    kTypeDnd,
    kAtomCount
};

struct Geometry {
    int left = 0, top = 0, width = 0, height = 0; // inside the X border, root coordinates
    int border = 0;
};

struct Attributes {
    bool viewable = false;
    bool overrideRedirect = false;
};

// What we have read from the X server over our own connection. Answers
// are kept until the server reports a change: the root window, and every
// window we have read something of, are watched for property and structure
// changes and for the pointer crossing their edges, and reading the reported
// changes drops exactly what they touch (a property: that property's window;
// a crossing: the window under the pointer; a window appearing, going, moving
// or restacking: everything). So the once-a-second stacking check costs no
// round trip on a desktop where nothing moves, instead of dozens.
//
// Every read belongs to a Call, which first takes in the changes reported so
// far. Requests of windows that vanish meanwhile fail and read as "none".
class Desktop {
public:
    explicit Desktop(X11Connection& connection);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    bool open() const { return connection_ != nullptr; }
    Window root() const { return root_; }
    Atom atom(AtomId id) const { return atoms_[id]; }
    bool isKnownType(Atom type) const;

    class Call {
    public:
        explicit Call(Desktop& desktop);
        ~Call();
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

    private:
        Desktop& desktop_;
    };

    // Reads the changes the server has reported so far without waiting
    // (and hands the connection's other listeners theirs).
    void readChanges();
    // The connection's socket, readable when the server has reported something; -1 without one.
    int socket() const;

    // A property of 32-bit items (ATOM, WINDOW, CARDINAL), empty when absent.
    std::vector<std::uint32_t> longs(Window window, Atom property, Atom type);
    Window windowProperty(Window window, Atom property);
    bool hasWmState(Window window);
    std::string title(Window window);
    std::vector<Window> children(Window window);
    std::optional<Attributes> attributes(Window window);
    std::optional<Geometry> geometry(Window window);
    std::optional<Window> transientFor(Window window);
    // res_name and res_class, lower case, separated by a blank.
    std::string className(Window window);
    std::pair<int, int> screenSize();
    // The top-level window under the pointer, XCB_NONE without one; kept
    // until the pointer crosses a window edge or the windows change.
    Window childUnderPointer();

    // Requests that change something: what we know may be out of date after them.
    void sendToRoot(Window window, Atom type, std::uint32_t l0, std::uint32_t l1 = 0, std::uint32_t l2 = 0,
                    std::uint32_t l3 = 0);
    // XCB_STACK_MODE_ABOVE or _BELOW, relative to the sibling when one is given.
    void restack(Window window, std::uint32_t stackMode, Window sibling = XCB_NONE);
    void focus(Window window);
    // Adds atoms to an ATOM list property of one of our own windows.
    void appendAtoms(Window window, Atom property, const std::vector<Atom>& atoms);

private:
    void sent();
    void changed();
    void watch(Window window);
    void handle(const xcb_generic_event_t& event);
    void forgetWindow(Window window);
    std::string readTitle(Window window);
    Window queryPointer();

    X11Connection& x11_;
    int listener_ = -1;
    xcb_connection_t* connection_ = nullptr; // null without a display
    Window root_ = XCB_NONE;
    std::pair<int, int> rootSize_{};
    std::array<Atom, kAtomCount> atoms_{};
    // xcb keeps requests without a reply in its buffer until told to send them.
    bool unflushed_ = false;
    std::chrono::steady_clock::time_point lastRead_{};
    std::set<Window> watched_;

    std::map<std::tuple<Window, Atom, Atom>, std::vector<std::uint32_t>> longs_;
    std::map<Window, bool> wmState_;
    std::map<Window, std::string> titles_;
    std::map<Window, std::vector<Window>> children_;
    std::map<Window, std::optional<Attributes>> attributes_;
    std::map<Window, std::optional<Geometry>> geometries_;
    std::map<Window, std::string> classNames_;
    std::optional<std::pair<int, int>> screen_;
    std::optional<Window> pointerChild_;
    std::chrono::steady_clock::time_point pointerReadAt_{};
};

} // namespace zumi::x11
