#include "x11_window_queries.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <deque>
#include <utility>

namespace zumi {
namespace {

// Windows of other programs can vanish between two requests; the resulting
// BadWindow and friends are expected and carry no information we need.
int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

// Routes the protocol errors of the requests made in its scope to
// ignoreXError instead of the default handler, which ends the program.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display)
        : display_(display), previous_(XSetErrorHandler(ignoreXError))
    {
    }
    ~ErrorTrap()
    {
        XSync(display_, False); // collect our errors before handing back
        XSetErrorHandler(previous_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

private:
    Display* display_;
    XErrorHandler previous_;
};

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

// _NET_WM_STATE actions and the source indication of a pager, which window
// managers obey without their focus-stealing checks.
constexpr long kStateRemove = 0;
constexpr long kStateAdd = 1;
constexpr long kSourceApplication = 1;
constexpr long kSourcePager = 2;

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

bool contains(const std::vector<unsigned long>& values, unsigned long value)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

} // namespace

struct X11WindowQueries::Impl {
    Display* display = nullptr;
    Window root = None;
    std::array<Atom, kAtomCount> atom{};
    // Some window managers (openbox) take a _NET_RESTACK_WINDOW below a
    // sibling as a plain "lower to the bottom of the layer", and they redirect
    // our own restacking of their frames to themselves. After two requests
    // that were not followed, stackBelow settles for what layers can do.
    bool wmIgnoresSibling = false;
    int missedRestacks = 0;
    std::pair<Window, Window> pendingRestack{None, None};

    explicit Impl(const char* displayName)
    {
        display = XOpenDisplay(displayName);
        if (!display)
            return;
        root = DefaultRootWindow(display);
        XInternAtoms(display, const_cast<char**>(kAtomNames.data()), static_cast<int>(kAtomCount), False,
                     atom.data());
    }
    ~Impl()
    {
        if (display)
            XCloseDisplay(display);
    }

    // A property of 32-bit items (ATOM, WINDOW, CARDINAL), empty when absent.
    std::vector<unsigned long> longs(Window window, Atom property, Atom type) const
    {
        std::vector<unsigned long> out;
        long offset = 0;
        for (;;) {
            Atom actualType = None;
            int actualFormat = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display, window, property, offset, 1024, False, type, &actualType,
                                   &actualFormat, &count, &after, &data) != Success)
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
        return out;
    }

    Window windowProperty(Window window, Atom property) const
    {
        const auto values = longs(window, property, XA_WINDOW);
        return values.empty() ? None : values.front();
    }

    bool hasProperty(Window window, Atom property) const
    {
        Atom actualType = None;
        int actualFormat = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        const bool ok = XGetWindowProperty(display, window, property, 0, 0, False, AnyPropertyType, &actualType,
                                           &actualFormat, &count, &after, &data) == Success;
        if (data)
            XFree(data);
        return ok && actualType != None;
    }

    std::optional<std::string> utf8Property(Window window, Atom property) const
    {
        Atom actualType = None;
        int actualFormat = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, property, 0, 4096, False, atom[kUtf8String], &actualType,
                               &actualFormat, &count, &after, &data) != Success)
            return std::nullopt;
        std::optional<std::string> out;
        if (actualType == atom[kUtf8String] && actualFormat == 8)
            out = std::string(reinterpret_cast<const char*>(data), count);
        if (data)
            XFree(data);
        return out;
    }

    std::string title(Window window) const
    {
        if (auto name = utf8Property(window, atom[kNetWmName]))
            return *name;
        XTextProperty text{};
        if (!XGetWMName(display, window, &text) || !text.value)
            return {};
        std::string out;
        if (text.encoding == XA_STRING) {
            out = latin1ToUtf8(text.value, text.nitems);
        } else if (text.encoding == atom[kUtf8String]) {
            out.assign(reinterpret_cast<const char*>(text.value), text.nitems);
        } else {
            char** list = nullptr;
            int count = 0;
            if (Xutf8TextPropertyToTextList(display, &text, &list, &count) >= Success && list) {
                for (int i = 0; i < count; ++i)
                    out += list[i];
                XFreeStringList(list);
            }
        }
        XFree(text.value);
        return out;
    }

    std::vector<Window> children(Window window) const
    {
        Window rootReturn = None, parent = None;
        Window* list = nullptr;
        unsigned int count = 0;
        std::vector<Window> out;
        if (XQueryTree(display, window, &rootReturn, &parent, &list, &count) && list)
            out.assign(list, list + count);
        if (list)
            XFree(list);
        return out;
    }

    // The client inside a top-level window (the one carrying WM_STATE); an
    // override-redirect window or a bare frame stands for itself.
    Window clientOf(Window topLevel) const
    {
        if (hasProperty(topLevel, atom[kWmState]))
            return topLevel;
        std::deque<Window> queue{topLevel};
        int visited = 0;
        while (!queue.empty() && visited < 256) {
            const Window window = queue.front();
            queue.pop_front();
            ++visited;
            for (Window child : children(window)) {
                if (hasProperty(child, atom[kWmState]))
                    return child;
                queue.push_back(child);
            }
        }
        return topLevel;
    }

    std::vector<unsigned long> windowTypes(Window window) const
    {
        return longs(window, atom[kNetWmWindowType], XA_ATOM);
    }

    // The first window type we know of (the list may start with vendor types), None without one.
    Atom standardType(Window window) const
    {
        for (unsigned long type : windowTypes(window)) {
            if (std::find(atom.begin() + kTypeNormal, atom.begin() + kTypeDnd + 1, type) != atom.begin() + kTypeDnd + 1)
                return type;
        }
        return None;
    }

    bool hasType(Window window, std::initializer_list<AtomId> types) const
    {
        const auto present = windowTypes(window);
        return std::any_of(types.begin(), types.end(), [&](AtomId id) { return contains(present, atom[id]); });
    }

    std::vector<unsigned long> states(Window window) const { return longs(window, atom[kNetWmState], XA_ATOM); }

    bool wmSupports(AtomId id) const
    {
        if (windowProperty(root, atom[kNetSupportingWmCheck]) == None)
            return false;
        return contains(longs(root, atom[kNetSupported], XA_ATOM), atom[id]);
    }

    bool managedByWm() const { return windowProperty(root, atom[kNetSupportingWmCheck]) != None; }

    std::vector<Window> publishedStacking() const
    {
        const auto values = longs(root, atom[kNetClientListStacking], XA_WINDOW);
        return {values.begin(), values.end()};
    }

    struct Size {
        int width = 0, height = 0;
    };
    Size screenSize() const
    {
        Window rootReturn = None;
        int x = 0, y = 0;
        unsigned int width = 0, height = 0, border = 0, depth = 0;
        if (!XGetGeometry(display, root, &rootReturn, &x, &y, &width, &height, &border, &depth))
            return {DisplayWidth(display, DefaultScreen(display)), DisplayHeight(display, DefaultScreen(display))};
        return {static_cast<int>(width), static_cast<int>(height)};
    }

    struct Geometry {
        WindowRect client;                 // inside the X border, root coordinates
        std::array<unsigned long, 4> frame{}; // left, right, top, bottom decoration
        int border = 0;
    };
    std::optional<Geometry> geometry(Window window) const
    {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, window, &attributes))
            return std::nullopt;
        int x = 0, y = 0;
        Window child = None;
        if (!XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child))
            return std::nullopt;
        Geometry g;
        g.client = {x, y, x + attributes.width, y + attributes.height};
        g.border = attributes.border_width;
        const auto extents = longs(window, atom[kNetFrameExtents], XA_CARDINAL);
        if (extents.size() == 4)
            std::copy(extents.begin(), extents.end(), g.frame.begin());
        return g;
    }

    void sendToRoot(Window window, Atom type, long l0, long l1 = 0, long l2 = 0, long l3 = 0) const
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
        XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    }

    enum class Layer { Lowered, Normal, Raised };

    Layer layerOf(Window window) const
    {
        const auto current = states(window);
        if (contains(current, atom[kNetWmStateAbove]))
            return Layer::Raised;
        if (contains(current, atom[kNetWmStateBelow]))
            return Layer::Lowered;
        return Layer::Normal;
    }

    // Puts our window into the window manager's layer; only what differs is sent.
    void setLayer(Window window, Layer layer) const
    {
        const auto current = states(window);
        const bool above = contains(current, atom[kNetWmStateAbove]);
        const bool below = contains(current, atom[kNetWmStateBelow]);
        const bool wantAbove = layer == Layer::Raised;
        const bool wantBelow = layer == Layer::Lowered;
        // Remove first, so that the window is never asked to be in two layers.
        if (above && !wantAbove)
            sendToRoot(window, atom[kNetWmState], kStateRemove, static_cast<long>(atom[kNetWmStateAbove]), 0,
                       kSourceApplication);
        if (below && !wantBelow)
            sendToRoot(window, atom[kNetWmState], kStateRemove, static_cast<long>(atom[kNetWmStateBelow]), 0,
                       kSourceApplication);
        if (wantAbove && !above)
            sendToRoot(window, atom[kNetWmState], kStateAdd, static_cast<long>(atom[kNetWmStateAbove]), 0,
                       kSourceApplication);
        if (wantBelow && !below)
            sendToRoot(window, atom[kNetWmState], kStateAdd, static_cast<long>(atom[kNetWmStateBelow]), 0,
                       kSourceApplication);
    }

    // Raise (Above) or lower (Below) within its layer, through the window
    // manager when there is one.
    void restack(Window window, int detail) const
    {
        if (wmSupports(kNetRestackWindow)) {
            sendToRoot(window, atom[kNetRestackWindow], kSourcePager, None, detail);
        } else {
            XWindowChanges changes{};
            changes.stack_mode = detail;
            XReconfigureWMWindow(display, window, DefaultScreen(display), CWStackMode, &changes);
        }
    }

    bool viewable(Window window) const
    {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
    }

    // In the X server's own order: is `lower` the first visible top-level
    // window under `upper`?
    bool directlyBelowOnServer(Window lower, Window upper) const
    {
        const auto order = children(root); // bottom to top
        auto it = std::find(order.begin(), order.end(), upper);
        if (it == order.end())
            return false;
        while (it != order.begin()) {
            --it;
            if (*it == lower)
                return true;
            if (viewable(*it))
                return false;
        }
        return false;
    }

    static bool directlyBelow(const std::vector<Window>& order, Window lower, Window upper)
    {
        const auto up = std::find(order.begin(), order.end(), upper);
        return up != order.begin() && up != order.end() && *(up - 1) == lower;
    }
};

X11WindowQueries::X11WindowQueries() : d_(std::make_unique<Impl>(nullptr)) {}

X11WindowQueries::X11WindowQueries(const std::string& displayName)
    : d_(std::make_unique<Impl>(displayName.empty() ? nullptr : displayName.c_str()))
{
}

X11WindowQueries::~X11WindowQueries() = default;

bool X11WindowQueries::available() const
{
    return d_->display != nullptr;
}

WindowId X11WindowQueries::activeWindow()
{
    if (!available())
        return 0;
    ErrorTrap trap(d_->display);
    return d_->windowProperty(d_->root, d_->atom[kNetActiveWindow]);
}

std::string X11WindowQueries::windowTitle(WindowId window)
{
    if (!available() || window == 0)
        return {};
    ErrorTrap trap(d_->display);
    return d_->title(static_cast<Window>(window));
}

WindowId X11WindowQueries::windowUnderPointer()
{
    if (!available())
        return 0;
    ErrorTrap trap(d_->display);
    Window rootReturn = None, child = None;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(d_->display, d_->root, &rootReturn, &child, &rootX, &rootY, &x, &y, &mask) || child == None)
        return 0;
    return d_->clientOf(child);
}

std::optional<WindowRect> X11WindowQueries::windowRect(WindowId window)
{
    if (!available() || window == 0)
        return std::nullopt;
    ErrorTrap trap(d_->display);
    const auto g = d_->geometry(static_cast<Window>(window));
    if (!g)
        return std::nullopt;
    // The outer rectangle, decoration included, as the user sees the window.
    const int b = g->border;
    return WindowRect{g->client.left - b - static_cast<int>(g->frame[0]),
                      g->client.top - b - static_cast<int>(g->frame[2]),
                      g->client.right + b + static_cast<int>(g->frame[1]),
                      g->client.bottom + b + static_cast<int>(g->frame[3])};
}

WindowId X11WindowQueries::findKolpWindow()
{
    if (!available())
        return 0;
    ErrorTrap trap(d_->display);
    auto clients = d_->longs(d_->root, d_->atom[kNetClientList], XA_WINDOW);
    if (clients.empty()) { // no window manager: look at the top-level windows themselves
        for (Window top : d_->children(d_->root))
            clients.push_back(d_->clientOf(top));
    }
    for (unsigned long client : clients) {
        if (d_->title(client) == "Kolp")
            return client;
    }
    return 0;
}

bool X11WindowQueries::isFullScreen(WindowId id)
{
    if (!available() || id == 0)
        return false;
    ErrorTrap trap(d_->display);
    const auto window = static_cast<Window>(id);

    // Dialogs and the desktop's own windows never count, whatever their size.
    const Atom type = d_->standardType(window);
    if (type != None && type != d_->atom[kTypeNormal])
        return false;
    Window transientFor = None;
    if (XGetTransientForHint(d_->display, window, &transientFor))
        return false;

    if (contains(d_->states(window), d_->atom[kNetWmStateFullscreen]))
        return true;

    // A borderless window that covers exactly the whole screen from 0,0.
    const auto g = d_->geometry(window);
    if (!g || g->border != 0 || std::any_of(g->frame.begin(), g->frame.end(), [](unsigned long e) { return e != 0; }))
        return false;
    const auto screen = d_->screenSize();
    return g->client.left == 0 && g->client.top == 0 && g->client.right == screen.width &&
           g->client.bottom == screen.height;
}

bool X11WindowQueries::isTransient(WindowId id)
{
    if (!available() || id == 0)
        return false;
    ErrorTrap trap(d_->display);
    const auto window = static_cast<Window>(id);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(d_->display, window, &attributes))
        return false;
    if (attributes.map_state != IsViewable || attributes.override_redirect)
        return true; // hidden, or a popup that bypasses the window manager
    if (d_->hasType(window, {kTypeTooltip, kTypeMenu, kTypePopupMenu, kTypeDropdownMenu, kTypeNotification,
                             kTypeCombo, kTypeDnd}))
        return true;
    XClassHint hint{};
    if (XGetClassHint(d_->display, window, &hint)) {
        std::string names = std::string(hint.res_name ? hint.res_name : "") + " " +
                            (hint.res_class ? hint.res_class : "");
        if (hint.res_name)
            XFree(hint.res_name);
        if (hint.res_class)
            XFree(hint.res_class);
        std::transform(names.begin(), names.end(), names.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (names.find("tooltip") != std::string::npos || names.find("screensaver") != std::string::npos)
            return true;
    }
    return false;
}

bool X11WindowQueries::isMenuOpen()
{
    if (!available())
        return false;
    ErrorTrap trap(d_->display);
    // Popup menus are override-redirect windows straight under the root: typed
    // as menus, or (Qt's, for one) untyped but transient for an application window.
    for (Window top : d_->children(d_->root)) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(d_->display, top, &attributes))
            continue;
        if (!attributes.override_redirect || attributes.map_state != IsViewable)
            continue;
        const auto type = d_->standardType(top);
        if (type == d_->atom[kTypeMenu] || type == d_->atom[kTypePopupMenu] || type == d_->atom[kTypeDropdownMenu] ||
            type == d_->atom[kTypeCombo])
            return true;
        Window transientFor = None;
        if ((type == None || type == d_->atom[kTypeNormal]) && XGetTransientForHint(d_->display, top, &transientFor))
            return true;
    }
    return false;
}

void X11WindowQueries::stackAtBottom(WindowId id)
{
    if (!available() || id == 0)
        return;
    ErrorTrap trap(d_->display);
    const auto window = static_cast<Window>(id);
    if (d_->managedByWm()) {
        d_->setLayer(window, Impl::Layer::Normal);
        const auto order = d_->publishedStacking();
        if (!order.empty() && order.front() == window && !contains(d_->states(window), d_->atom[kNetWmStateAbove]))
            return;
        d_->restack(window, Below);
    } else {
        XLowerWindow(d_->display, window);
    }
}

void X11WindowQueries::stackOnTop(WindowId id)
{
    if (!available() || id == 0)
        return;
    ErrorTrap trap(d_->display);
    const auto window = static_cast<Window>(id);
    if (d_->managedByWm()) {
        const bool wasAbove = contains(d_->states(window), d_->atom[kNetWmStateAbove]);
        d_->setLayer(window, Impl::Layer::Raised);
        const auto order = d_->publishedStacking();
        if (wasAbove && !order.empty() && order.back() == window)
            return;
        d_->restack(window, Above);
    } else {
        XRaiseWindow(d_->display, window);
    }
}

void X11WindowQueries::stackBelow(WindowId id, WindowId siblingId)
{
    if (!available() || id == 0 || siblingId == 0 || id == siblingId)
        return;
    ErrorTrap trap(d_->display);
    const auto window = static_cast<Window>(id);
    const auto sibling = static_cast<Window>(siblingId);

    if (!d_->managedByWm()) {
        // Without a window manager both are top-level windows we may restack ourselves.
        if (!d_->directlyBelowOnServer(window, sibling)) {
            XWindowChanges changes{};
            changes.sibling = sibling;
            changes.stack_mode = Below;
            XConfigureWindow(d_->display, window, CWSibling | CWStackMode, &changes);
        }
        return;
    }

    // The window manager keeps layers apart: share the sibling's, then ask to
    // be put right below it.
    const auto siblingLayer = d_->layerOf(sibling);
    const auto order = d_->publishedStacking();
    if (!d_->wmIgnoresSibling) {
        d_->setLayer(window, siblingLayer);
        if (Impl::directlyBelow(order, window, sibling)) {
            d_->pendingRestack = {None, None};
            d_->missedRestacks = 0;
            return;
        }
        if (d_->pendingRestack == std::pair{window, sibling} && ++d_->missedRestacks >= 2)
            d_->wmIgnoresSibling = true;
        if (!d_->wmIgnoresSibling && d_->wmSupports(kNetRestackWindow)) {
            d_->pendingRestack = {window, sibling};
            d_->sendToRoot(window, d_->atom[kNetRestackWindow], kSourcePager, static_cast<long>(sibling), Below);
            return;
        }
        d_->wmIgnoresSibling = true;
    }

    // The closest such a window manager offers: the top of the layer under the
    // sibling's, or the bottom of the lowest layer when the sibling is in it.
    if (siblingLayer == Impl::Layer::Lowered) {
        d_->setLayer(window, Impl::Layer::Lowered);
        if (order.empty() || order.front() != window)
            d_->restack(window, Below);
        return;
    }
    const auto layer = siblingLayer == Impl::Layer::Raised ? Impl::Layer::Normal : Impl::Layer::Lowered;
    d_->setLayer(window, layer);
    const auto it = std::find(order.begin(), order.end(), window);
    const bool topOfLayer =
        it != order.end() && (it + 1 == order.end() || d_->layerOf(*(it + 1)) != layer) && d_->layerOf(window) == layer;
    if (!topOfLayer)
        d_->restack(window, Above);
}

void X11WindowQueries::activate(WindowId id)
{
    if (!available() || id == 0)
        return;
    ErrorTrap trap(d_->display);
    const auto window = static_cast<Window>(id);
    if (d_->wmSupports(kNetActiveWindow))
        d_->sendToRoot(window, d_->atom[kNetActiveWindow], kSourcePager, CurrentTime, None);
    else
        XSetInputFocus(d_->display, window, RevertToPointerRoot, CurrentTime);
}

std::vector<WindowId> X11WindowQueries::clientStackingOrder()
{
    if (!available())
        return {};
    ErrorTrap trap(d_->display);
    const auto order = d_->publishedStacking();
    return {order.begin(), order.end()};
}

} // namespace zumi
