#pragma once
#include <X11/Xlib.h>

#include <array>
#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace zumi::x11 {

enum AtomId : std::size_t {
    kNetSupported,
    kNetSupportingWmCheck,
    kNetActiveWindow,
    kNetClientList,
    kNetClientListStacking,
    kNetRestackWindow,
    kNetWmName,
    kUtf8String,
    kWmState,
    kNetWmState,
    kNetWmStateFullscreen,
    kNetWmStateAbove,
    kNetWmStateBelow,
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

// Our own connection to the X server and what it has read from it. Answers
// are kept until the server reports a change: the root window, and every
// window we have read something of, are watched for property and structure
// changes, and reading the reported changes drops exactly what they touch
// (a property: that property's window; a window appearing, going, moving or
// restacking: everything). So the once-a-second stacking check costs next to
// no round trips on a desktop where nothing moves, instead of dozens.
//
// Every read belongs to a Call, which first takes in the changes reported so
// far and hides the protocol errors of windows that vanish meanwhile.
class Desktop {
public:
    explicit Desktop(const char* displayName);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    bool open() const { return display_ != nullptr; }
    Display* display() const { return display_; }
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
        XErrorHandler previous_;
    };

    // Reads the changes the server has reported so far without waiting.
    void readChanges();

    // A property of 32-bit items (ATOM, WINDOW, CARDINAL), empty when absent.
    std::vector<unsigned long> longs(Window window, Atom property, Atom type);
    Window windowProperty(Window window, Atom property);
    bool hasWmState(Window window);
    std::string title(Window window);
    std::vector<Window> children(Window window);
    std::optional<XWindowAttributes> attributes(Window window);
    std::optional<Geometry> geometry(Window window);
    std::optional<Window> transientFor(Window window);
    // res_name and res_class, lower case, separated by a blank.
    std::string className(Window window);
    std::pair<int, int> screenSize();

    // Requests that change something: what we know may be out of date after
    // them, and their errors are yet to come. sent() is for those made directly.
    void sendToRoot(Window window, Atom type, long l0, long l1 = 0, long l2 = 0, long l3 = 0);
    void sent();

private:
    void changed();
    void watch(Window window);
    void handle(const XEvent& event);
    void forgetWindow(Window window);
    std::string readTitle(Window window);

    Display* display_ = nullptr;
    Window root_ = None;
    std::array<Atom, kAtomCount> atoms_{};
    // Requests without a reply are sent; their errors are yet to come.
    bool unsynced_ = false;
    std::chrono::steady_clock::time_point lastRead_{};
    std::set<Window> watched_;

    std::map<std::tuple<Window, Atom, Atom>, std::vector<unsigned long>> longs_;
    std::map<Window, bool> wmState_;
    std::map<Window, std::string> titles_;
    std::map<Window, std::vector<Window>> children_;
    std::map<Window, std::optional<XWindowAttributes>> attributes_;
    std::map<Window, std::optional<Geometry>> geometries_;
    std::map<Window, std::optional<Window>> transientFor_;
    std::map<Window, std::string> classNames_;
    std::optional<std::pair<int, int>> screen_;
};

} // namespace zumi::x11
