#include "x11_desktop_linux.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cctype>

namespace zumi::x11 {
namespace {

constexpr std::array<const char*, kAtomCount> kAtomNames{
    "_NET_SUPPORTED",
    "_NET_SUPPORTING_WM_CHECK",
    "_NET_ACTIVE_WINDOW",
    "_NET_CLIENT_LIST",
    "_NET_CLIENT_LIST_STACKING",
    "_NET_RESTACK_WINDOW",
    "_NET_WM_NAME",
    "UTF8_STRING",
    "WM_STATE",
    "_NET_WM_STATE",
    "_NET_WM_STATE_FULLSCREEN",
    "_NET_WM_STATE_ABOVE",
    "_NET_WM_STATE_BELOW",
    "_NET_FRAME_EXTENTS",
    "_NET_WM_WINDOW_TYPE",
    "_NET_WM_WINDOW_TYPE_NORMAL",
    "_NET_WM_WINDOW_TYPE_DIALOG",
    "_NET_WM_WINDOW_TYPE_DESKTOP",
    "_NET_WM_WINDOW_TYPE_DOCK",
    "_NET_WM_WINDOW_TYPE_SPLASH",
    "_NET_WM_WINDOW_TYPE_TOOLBAR",
    "_NET_WM_WINDOW_TYPE_UTILITY",
    "_NET_WM_WINDOW_TYPE_MENU",
    "_NET_WM_WINDOW_TYPE_POPUP_MENU",
    "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU",
    "_NET_WM_WINDOW_TYPE_TOOLTIP",
    "_NET_WM_WINDOW_TYPE_NOTIFICATION",
    "_NET_WM_WINDOW_TYPE_COMBO",
    "_NET_WM_WINDOW_TYPE_DND",
};

// Windows of other programs can vanish between two requests; the resulting
// BadWindow and friends are expected and carry no information we need.
int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

// What we want to hear about a window: its properties, its own structure
// and its children's (a frame's client being mapped or reparented).
constexpr long kWatchMask = PropertyChangeMask | StructureNotifyMask | SubstructureNotifyMask;

constexpr std::chrono::milliseconds kFreshFor{50};

std::string latin1ToUtf8(const unsigned char* text, std::size_t length)
{
    std::string out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char c = text[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace

Desktop::Desktop(const char* displayName)
{
    display_ = XOpenDisplay(displayName);
    if (!display_)
        return;
    root_ = DefaultRootWindow(display_);
    XInternAtoms(display_, const_cast<char**>(kAtomNames.data()), static_cast<int>(kAtomCount), False,
                 atoms_.data());
    XSelectInput(display_, root_, kWatchMask);
}

Desktop::~Desktop()
{
    if (display_)
        XCloseDisplay(display_);
}

bool Desktop::isKnownType(Atom type) const
{
    return std::find(atoms_.begin() + kTypeNormal, atoms_.begin() + kTypeDnd + 1, type) != atoms_.begin() + kTypeDnd + 1;
}

Desktop::Call::Call(Desktop& desktop)
    : desktop_(desktop), previous_(XSetErrorHandler(ignoreXError))
{
    // No round trip to catch the very latest: what is still on its way is
    // taken in by a later call. The queries of one stacking check come
    // within a millisecond; one look at the connection serves them all.
    const auto now = std::chrono::steady_clock::now();
    if (now - desktop_.lastRead_ >= kFreshFor)
        desktop_.readChanges();
}

Desktop::Call::~Call()
{
    if (desktop_.unsynced_) { // collect our errors before handing back
        XSync(desktop_.display_, False);
        desktop_.unsynced_ = false;
    }
    XSetErrorHandler(previous_);
}

void Desktop::readChanges()
{
    if (!display_)
        return;
    lastRead_ = std::chrono::steady_clock::now();
    const XErrorHandler previous = XSetErrorHandler(ignoreXError);
    while (XEventsQueued(display_, QueuedAfterReading) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        handle(event);
    }
    XSetErrorHandler(previous);
}

void Desktop::handle(const XEvent& event)
{
    if (event.type == PropertyNotify) {
        const Atom property = event.xproperty.atom;
        const bool read = property == XA_WM_NAME || property == XA_WM_TRANSIENT_FOR || property == XA_WM_CLASS ||
                          std::find(atoms_.begin(), atoms_.end(), property) != atoms_.end();
        if (read) // typing alone changes other properties (user time) all the time
            forgetWindow(event.xproperty.window);
        return;
    }
    if (event.type == ClientMessage) // requests to the window manager, ours among them
        return;
    if (event.type == DestroyNotify)
        watched_.erase(event.xdestroywindow.window);
    // A window appeared, went, moved, was restacked or reparented.
    changed();
}

void Desktop::forgetWindow(Window window)
{
    std::erase_if(longs_, [window](const auto& entry) { return std::get<0>(entry.first) == window; });
    wmState_.erase(window);
    titles_.erase(window);
    transientFor_.erase(window);
    classNames_.erase(window);
}

void Desktop::changed()
{
    longs_.clear();
    wmState_.clear();
    titles_.clear();
    children_.clear();
    attributes_.clear();
    geometries_.clear();
    transientFor_.clear();
    classNames_.clear();
    screen_.reset();
}

void Desktop::watch(Window window)
{
    // Asked for before anything is read, so that no change slips in between.
    if (window == root_ || window == None || !watched_.insert(window).second)
        return;
    XSelectInput(display_, window, kWatchMask);
    unsynced_ = true;
}

std::vector<unsigned long> Desktop::longs(Window window, Atom property, Atom type)
{
    const auto key = std::tuple{window, property, type};
    if (const auto it = longs_.find(key); it != longs_.end())
        return it->second;
    watch(window);
    std::vector<unsigned long> out;
    long offset = 0;
    for (;;) {
        Atom actualType = None;
        int actualFormat = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, window, property, offset, 1024, False, type, &actualType, &actualFormat,
                               &count, &after, &data) != Success)
            break;
        const bool usable = actualType == type && actualFormat == 32 && data;
        if (usable) {
            const auto* values = reinterpret_cast<const unsigned long*>(data);
            out.insert(out.end(), values, values + count);
        }
        if (data)
            XFree(data);
        if (!usable || after == 0 || count == 0)
            break;
        offset += static_cast<long>(count);
    }
    return longs_[key] = std::move(out);
}

Window Desktop::windowProperty(Window window, Atom property)
{
    const auto values = longs(window, property, XA_WINDOW);
    return values.empty() ? None : values.front();
}

bool Desktop::hasWmState(Window window)
{
    if (const auto it = wmState_.find(window); it != wmState_.end())
        return it->second;
    watch(window);
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool ok = XGetWindowProperty(display_, window, atoms_[kWmState], 0, 0, False, AnyPropertyType, &actualType,
                                       &actualFormat, &count, &after, &data) == Success;
    if (data)
        XFree(data);
    return wmState_[window] = ok && actualType != None;
}

std::string Desktop::title(Window window)
{
    if (const auto it = titles_.find(window); it != titles_.end())
        return it->second;
    watch(window);
    return titles_[window] = readTitle(window);
}

std::string Desktop::readTitle(Window window)
{
    {
        Atom actualType = None;
        int actualFormat = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, window, atoms_[kNetWmName], 0, 4096, False, atoms_[kUtf8String],
                               &actualType, &actualFormat, &count, &after, &data) == Success) {
            const bool utf8 = actualType == atoms_[kUtf8String] && actualFormat == 8;
            std::string name = utf8 && data ? std::string(reinterpret_cast<const char*>(data), count) : std::string{};
            if (data)
                XFree(data);
            if (utf8)
                return name;
        }
    }
    XTextProperty text{};
    if (!XGetWMName(display_, window, &text) || !text.value)
        return {};
    std::string out;
    if (text.encoding == XA_STRING) {
        out = latin1ToUtf8(text.value, text.nitems);
    } else if (text.encoding == atoms_[kUtf8String]) {
        out.assign(reinterpret_cast<const char*>(text.value), text.nitems);
    } else {
        char** list = nullptr;
        int count = 0;
        if (Xutf8TextPropertyToTextList(display_, &text, &list, &count) >= Success && list) {
            for (int i = 0; i < count; ++i)
                out += list[i];
            XFreeStringList(list);
        }
    }
    XFree(text.value);
    return out;
}

std::vector<Window> Desktop::children(Window window)
{
    if (const auto it = children_.find(window); it != children_.end())
        return it->second;
    watch(window);
    Window rootReturn = None, parent = None;
    Window* list = nullptr;
    unsigned int count = 0;
    std::vector<Window> out;
    if (XQueryTree(display_, window, &rootReturn, &parent, &list, &count) && list)
        out.assign(list, list + count);
    if (list)
        XFree(list);
    return children_[window] = std::move(out);
}

std::optional<XWindowAttributes> Desktop::attributes(Window window)
{
    if (const auto it = attributes_.find(window); it != attributes_.end())
        return it->second;
    watch(window);
    XWindowAttributes attributes{};
    std::optional<XWindowAttributes> out;
    if (XGetWindowAttributes(display_, window, &attributes))
        out = attributes;
    return attributes_[window] = out;
}

std::optional<Geometry> Desktop::geometry(Window window)
{
    if (const auto it = geometries_.find(window); it != geometries_.end())
        return it->second;
    std::optional<Geometry> out;
    if (const auto a = attributes(window)) {
        int x = 0, y = 0;
        Window child = None;
        if (XTranslateCoordinates(display_, window, root_, 0, 0, &x, &y, &child))
            out = Geometry{x, y, a->width, a->height, a->border_width};
    }
    return geometries_[window] = out;
}

std::optional<Window> Desktop::transientFor(Window window)
{
    if (const auto it = transientFor_.find(window); it != transientFor_.end())
        return it->second;
    watch(window);
    Window owner = None;
    std::optional<Window> out;
    if (XGetTransientForHint(display_, window, &owner))
        out = owner;
    return transientFor_[window] = out;
}

std::string Desktop::className(Window window)
{
    if (const auto it = classNames_.find(window); it != classNames_.end())
        return it->second;
    watch(window);
    std::string names;
    XClassHint hint{};
    if (XGetClassHint(display_, window, &hint)) {
        names = std::string(hint.res_name ? hint.res_name : "") + " " + (hint.res_class ? hint.res_class : "");
        if (hint.res_name)
            XFree(hint.res_name);
        if (hint.res_class)
            XFree(hint.res_class);
        std::transform(names.begin(), names.end(), names.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    }
    return classNames_[window] = std::move(names);
}

std::pair<int, int> Desktop::screenSize()
{
    if (!screen_) {
        Window rootReturn = None;
        int x = 0, y = 0;
        unsigned int width = 0, height = 0, border = 0, depth = 0;
        if (XGetGeometry(display_, root_, &rootReturn, &x, &y, &width, &height, &border, &depth))
            screen_ = {static_cast<int>(width), static_cast<int>(height)};
        else
            screen_ = {DisplayWidth(display_, DefaultScreen(display_)), DisplayHeight(display_, DefaultScreen(display_))};
    }
    return *screen_;
}

void Desktop::sendToRoot(Window window, Atom type, long l0, long l1, long l2, long l3)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    event.xclient.data.l[0] = l0;
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    XSendEvent(display_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    sent();
}

void Desktop::sent()
{
    unsynced_ = true;
    changed();
}

} // namespace zumi::x11
