#include "platform/x11/x11_window_queries.h"

#include "platform/x11/x11_desktop.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <utility>

namespace zumi {
using namespace x11;
namespace {

// _NET_WM_STATE actions and the source indication of a pager, which window
// managers obey without their focus-stealing checks.
constexpr std::uint32_t kStateRemove = 0;
constexpr std::uint32_t kStateAdd = 1;
constexpr std::uint32_t kSourceApplication = 1;
constexpr std::uint32_t kSourcePager = 2;

bool contains(const std::vector<std::uint32_t>& values, std::uint32_t value)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

} // namespace

struct X11WindowQueries::Impl {
    std::unique_ptr<X11Connection> own; // none when the connection is shared
    Desktop desktop;
    // Some window managers (openbox) take a _NET_RESTACK_WINDOW below a
    // sibling as a plain "lower to the bottom of the layer", and they redirect
    // our own restacking of their frames to themselves. After two requests
    // that were not followed, stackBelow builds the order from raises.
    bool wmIgnoresSibling = false;
    int missedRestacks = 0;
    std::pair<Window, Window> pendingRestack{XCB_NONE, XCB_NONE};

    Impl(std::unique_ptr<X11Connection> connection, X11Connection& shared)
        : own(std::move(connection))
        , desktop(own ? *own : shared)
    {
    }

    Atom atom(AtomId id) const { return desktop.atom(id); }
    Window root() const { return desktop.root(); }

    // The client inside a top-level window (the one carrying WM_STATE); an
    // override-redirect window or a bare frame stands for itself.
    Window clientOf(Window topLevel)
    {
        if (desktop.hasWmState(topLevel))
            return topLevel;
        std::deque<Window> queue{topLevel};
        int visited = 0;
        while (!queue.empty() && visited < 256) {
            const Window window = queue.front();
            queue.pop_front();
            ++visited;
            for (Window child : desktop.children(window)) {
                if (desktop.hasWmState(child))
                    return child;
                queue.push_back(child);
            }
        }
        return topLevel;
    }

    std::vector<std::uint32_t> windowTypes(Window window)
    {
        return desktop.longs(window, atom(kNetWmWindowType), XCB_ATOM_ATOM);
    }

    // The first window type we know of (the list may start with vendor types), XCB_NONE without one.
    Atom standardType(Window window)
    {
        for (const Atom type : windowTypes(window)) {
            if (desktop.isKnownType(type))
                return type;
        }
        return XCB_NONE;
    }

    bool hasType(Window window, std::initializer_list<AtomId> types)
    {
        const auto present = windowTypes(window);
        return std::any_of(types.begin(), types.end(), [&](AtomId id) { return contains(present, atom(id)); });
    }

    std::vector<std::uint32_t> states(Window window) { return desktop.longs(window, atom(kNetWmState), XCB_ATOM_ATOM); }

    bool managedByWm() { return desktop.windowProperty(root(), atom(kNetSupportingWmCheck)) != XCB_NONE; }

    bool wmSupports(AtomId id)
    {
        return managedByWm() && contains(desktop.longs(root(), atom(kNetSupported), XCB_ATOM_ATOM), atom(id));
    }

    std::vector<Window> publishedStacking()
    {
        return desktop.longs(root(), atom(kNetClientListStacking), XCB_ATOM_WINDOW);
    }

    // Left, right, top, bottom decoration the window manager put around the window.
    std::array<std::uint32_t, 4> frameExtents(Window window)
    {
        std::array<std::uint32_t, 4> frame{};
        const auto extents = desktop.longs(window, atom(kNetFrameExtents), XCB_ATOM_CARDINAL);
        if (extents.size() == 4)
            std::copy(extents.begin(), extents.end(), frame.begin());
        return frame;
    }

    enum class Layer { Lowered, Normal, Raised };

    Layer layerOf(Window window)
    {
        const auto current = states(window);
        if (contains(current, atom(kNetWmStateAbove)))
            return Layer::Raised;
        if (contains(current, atom(kNetWmStateBelow)))
            return Layer::Lowered;
        return Layer::Normal;
    }

    // Puts our window into the window manager's layer; only what differs is sent.
    void setLayer(Window window, Layer layer)
    {
        const auto current = states(window);
        const bool above = contains(current, atom(kNetWmStateAbove));
        const bool below = contains(current, atom(kNetWmStateBelow));
        const bool wantAbove = layer == Layer::Raised;
        const bool wantBelow = layer == Layer::Lowered;
        // Remove first, so that the window is never asked to be in two layers.
        if (above && !wantAbove)
            desktop.sendToRoot(window, atom(kNetWmState), kStateRemove, atom(kNetWmStateAbove), 0, kSourceApplication);
        if (below && !wantBelow)
            desktop.sendToRoot(window, atom(kNetWmState), kStateRemove, atom(kNetWmStateBelow), 0, kSourceApplication);
        if (wantAbove && !above)
            desktop.sendToRoot(window, atom(kNetWmState), kStateAdd, atom(kNetWmStateAbove), 0, kSourceApplication);
        if (wantBelow && !below)
            desktop.sendToRoot(window, atom(kNetWmState), kStateAdd, atom(kNetWmStateBelow), 0, kSourceApplication);
    }

    // Raise (XCB_STACK_MODE_ABOVE) or lower (_BELOW) within its layer, through
    // the window manager when there is one.
    void restack(Window window, std::uint32_t stackMode)
    {
        if (wmSupports(kNetRestackWindow))
            desktop.sendToRoot(window, atom(kNetRestackWindow), kSourcePager, XCB_NONE, stackMode);
        else
            desktop.restack(window, stackMode);
    }

    bool viewable(Window window)
    {
        const auto attributes = desktop.attributes(window);
        return attributes && attributes->viewable;
    }

    // In the X server's own order: is `lower` the first visible top-level
    // window under `upper`?
    bool directlyBelowOnServer(Window lower, Window upper)
    {
        const auto order = desktop.children(root()); // bottom to top
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

X11WindowQueries::X11WindowQueries(const std::string& displayName)
    : X11WindowQueries(std::make_unique<X11Connection>(displayName))
{
}

X11WindowQueries::X11WindowQueries(std::unique_ptr<X11Connection> connection)
{
    X11Connection& own = *connection;
    d_ = std::make_unique<Impl>(std::move(connection), own);
}

X11WindowQueries::X11WindowQueries(X11Connection& connection)
    : d_(std::make_unique<Impl>(nullptr, connection))
{
}

X11WindowQueries::~X11WindowQueries() = default;

bool X11WindowQueries::available() const
{
    return d_->desktop.open();
}

WindowId X11WindowQueries::activeWindow()
{
    if (!available())
        return 0;
    Desktop::Call call(d_->desktop);
    return d_->desktop.windowProperty(d_->root(), d_->atom(kNetActiveWindow));
}

std::string X11WindowQueries::windowTitle(WindowId window)
{
    if (!available() || window == 0)
        return {};
    Desktop::Call call(d_->desktop);
    return d_->desktop.title(static_cast<Window>(window));
}

WindowId X11WindowQueries::windowUnderPointer()
{
    if (!available())
        return 0;
    Desktop::Call call(d_->desktop);
    const Window child = d_->desktop.childUnderPointer();
    return child == XCB_NONE ? 0 : d_->clientOf(child);
}

std::optional<PixelRect> X11WindowQueries::windowRect(WindowId id)
{
    if (!available() || id == 0)
        return std::nullopt;
    Desktop::Call call(d_->desktop);
    const auto window = static_cast<Window>(id);
    const auto g = d_->desktop.geometry(window);
    if (!g)
        return std::nullopt;
    // The outer rectangle, decoration included, as the user sees the window.
    const auto frame = d_->frameExtents(window);
    const int b = g->border;
    return PixelRect{g->left - b - static_cast<int>(frame[0]), g->top - b - static_cast<int>(frame[2]),
                     g->left + g->width + b + static_cast<int>(frame[1]),
                     g->top + g->height + b + static_cast<int>(frame[3])};
}

WindowId X11WindowQueries::findKolpWindow()
{
    if (!available())
        return 0;
    Desktop::Call call(d_->desktop);
    auto clients = d_->desktop.longs(d_->root(), d_->atom(kNetClientList), XCB_ATOM_WINDOW);
    if (clients.empty()) { // no window manager: look at the top-level windows themselves
        for (Window top : d_->desktop.children(d_->root()))
            clients.push_back(d_->clientOf(top));
    }
    for (const Window client : clients) {
        if (d_->desktop.title(client) == "Kolp")
            return client;
    }
    return 0;
}

bool X11WindowQueries::isFullScreen(WindowId id)
{
    if (!available() || id == 0)
        return false;
    Desktop::Call call(d_->desktop);
    const auto window = static_cast<Window>(id);

    // Dialogs and the desktop's own windows never count, whatever their size.
    const Atom type = d_->standardType(window);
    if (type != XCB_NONE && type != d_->atom(kTypeNormal))
        return false;
    if (d_->desktop.transientFor(window))
        return false;

    if (contains(d_->states(window), d_->atom(kNetWmStateFullscreen)))
        return true;

    // A borderless window that covers exactly the whole screen from 0,0.
    const auto g = d_->desktop.geometry(window);
    const auto frame = d_->frameExtents(window);
    if (!g || g->border != 0 || std::any_of(frame.begin(), frame.end(), [](std::uint32_t e) { return e != 0; }))
        return false;
    const auto [width, height] = d_->desktop.screenSize();
    return g->left == 0 && g->top == 0 && g->width == width && g->height == height;
}

bool X11WindowQueries::isTransient(WindowId id)
{
    if (!available() || id == 0)
        return false;
    Desktop::Call call(d_->desktop);
    const auto window = static_cast<Window>(id);
    const auto attributes = d_->desktop.attributes(window);
    if (!attributes)
        return false;
    if (!attributes->viewable || attributes->overrideRedirect)
        return true; // hidden, or a popup that bypasses the window manager
    if (d_->hasType(
            window,
            {kTypeTooltip, kTypeMenu, kTypePopupMenu, kTypeDropdownMenu, kTypeNotification, kTypeCombo, kTypeDnd}))
        return true;
    const std::string names = d_->desktop.className(window);
    return names.find("tooltip") != std::string::npos || names.find("screensaver") != std::string::npos;
}

bool X11WindowQueries::isMenuOpen()
{
    if (!available())
        return false;
    Desktop::Call call(d_->desktop);
    // Popup menus are override-redirect windows straight under the root: typed
    // as menus, or (Qt's, for one) untyped but transient for an application window.
    for (Window top : d_->desktop.children(d_->root())) {
        const auto attributes = d_->desktop.attributes(top);
        if (!attributes || !attributes->overrideRedirect || !attributes->viewable)
            continue;
        const auto type = d_->standardType(top);
        if (type == d_->atom(kTypeMenu) || type == d_->atom(kTypePopupMenu) || type == d_->atom(kTypeDropdownMenu)
            || type == d_->atom(kTypeCombo))
            return true;
        if ((type == XCB_NONE || type == d_->atom(kTypeNormal)) && d_->desktop.transientFor(top))
            return true;
    }
    return false;
}

void X11WindowQueries::stackAtBottom(WindowId id)
{
    if (!available() || id == 0)
        return;
    Desktop::Call call(d_->desktop);
    const auto window = static_cast<Window>(id);
    if (d_->managedByWm()) {
        d_->setLayer(window, Impl::Layer::Normal);
        const auto order = d_->publishedStacking();
        if (!order.empty() && order.front() == window && !contains(d_->states(window), d_->atom(kNetWmStateAbove)))
            return;
        d_->restack(window, XCB_STACK_MODE_BELOW);
    } else {
        d_->desktop.restack(window, XCB_STACK_MODE_BELOW);
    }
}

void X11WindowQueries::stackOnTop(WindowId id)
{
    if (!available() || id == 0)
        return;
    Desktop::Call call(d_->desktop);
    const auto window = static_cast<Window>(id);
    if (d_->managedByWm()) {
        const bool wasAbove = contains(d_->states(window), d_->atom(kNetWmStateAbove));
        d_->setLayer(window, Impl::Layer::Raised);
        const auto order = d_->publishedStacking();
        if (wasAbove && !order.empty() && order.back() == window)
            return;
        d_->restack(window, XCB_STACK_MODE_ABOVE);
    } else {
        d_->desktop.restack(window, XCB_STACK_MODE_ABOVE);
    }
}

void X11WindowQueries::stackBelow(WindowId id, WindowId siblingId)
{
    if (!available() || id == 0 || siblingId == 0 || id == siblingId)
        return;
    Desktop::Call call(d_->desktop);
    const auto window = static_cast<Window>(id);
    const auto sibling = static_cast<Window>(siblingId);

    if (!d_->managedByWm()) {
        // Without a window manager both are top-level windows we may restack ourselves.
        if (!d_->directlyBelowOnServer(window, sibling))
            d_->desktop.restack(window, XCB_STACK_MODE_BELOW, sibling);
        return;
    }

    // The window manager keeps layers apart: share the sibling's, then ask to
    // be put right below it.
    const auto siblingLayer = d_->layerOf(sibling);
    const auto order = d_->publishedStacking();
    if (!d_->wmIgnoresSibling) {
        d_->setLayer(window, siblingLayer);
        if (Impl::directlyBelow(order, window, sibling)) {
            d_->pendingRestack = {XCB_NONE, XCB_NONE};
            d_->missedRestacks = 0;
            return;
        }
        if (d_->pendingRestack == std::pair{window, sibling} && ++d_->missedRestacks >= 2)
            d_->wmIgnoresSibling = true;
        if (!d_->wmIgnoresSibling && d_->wmSupports(kNetRestackWindow)) {
            d_->pendingRestack = {window, sibling};
            d_->desktop.sendToRoot(window, d_->atom(kNetRestackWindow), kSourcePager, sibling, XCB_STACK_MODE_BELOW);
            return;
        }
        d_->wmIgnoresSibling = true;
    }

    // Such a window manager still raises a window to the top of its layer on
    // request: raise ours, then the sibling, then every window that was above
    // the sibling in that layer, bottom to top. Ours ends directly below the
    // sibling, and all the others keep their order.
    d_->setLayer(window, siblingLayer);
    if (Impl::directlyBelow(order, window, sibling))
        return;
    const auto up = std::find(order.begin(), order.end(), sibling);
    if (up == order.end())
        return;
    d_->restack(window, XCB_STACK_MODE_ABOVE);
    d_->restack(sibling, XCB_STACK_MODE_ABOVE);
    for (auto it = up + 1; it != order.end(); ++it) {
        if (*it != window && d_->layerOf(*it) == siblingLayer)
            d_->restack(*it, XCB_STACK_MODE_ABOVE);
    }
}

void X11WindowQueries::activate(WindowId id)
{
    if (!available() || id == 0)
        return;
    Desktop::Call call(d_->desktop);
    const auto window = static_cast<Window>(id);
    if (d_->wmSupports(kNetActiveWindow)) {
        d_->desktop.sendToRoot(window, d_->atom(kNetActiveWindow), kSourcePager, XCB_CURRENT_TIME, XCB_NONE);
    } else {
        d_->desktop.focus(window);
    }
}

void X11WindowQueries::skipTaskbarAndPager(WindowId id)
{
    if (!available() || id == 0)
        return;
    Desktop::Call call(d_->desktop);
    // Set before the window is mapped, the window manager reads it when it
    // takes the window on (the toolkit keeps states it does not set itself).
    d_->desktop.appendAtoms(static_cast<Window>(id), d_->atom(kNetWmState),
                            {d_->atom(kNetWmStateSkipTaskbar), d_->atom(kNetWmStateSkipPager)});
}

void X11WindowQueries::drainEvents()
{
    d_->desktop.readChanges();
}

int X11WindowQueries::eventSocket()
{
    return d_->desktop.socket();
}

std::vector<WindowId> X11WindowQueries::clientStackingOrder()
{
    if (!available())
        return {};
    Desktop::Call call(d_->desktop);
    const auto order = d_->publishedStacking();
    return {order.begin(), order.end()};
}

} // namespace zumi
