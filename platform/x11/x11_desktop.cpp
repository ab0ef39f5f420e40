#include "platform/x11/x11_desktop.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <string_view>

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
    "COMPOUND_TEXT",
    "WM_STATE",
    "_NET_WM_STATE",
    "_NET_WM_STATE_FULLSCREEN",
    "_NET_WM_STATE_ABOVE",
    "_NET_WM_STATE_BELOW",
    "_NET_WM_STATE_SKIP_TASKBAR",
    "_NET_WM_STATE_SKIP_PAGER",
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

// What we want to hear about a window: its properties, its own structure
// and its children's (a frame's client being mapped or reparented), and the
// pointer entering or leaving it.
constexpr std::uint32_t kWatchMask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY
    | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW;

constexpr std::chrono::milliseconds kFreshFor{50};
// The window under the pointer is asked again after this even without a
// reported crossing: another program's pointer grab keeps crossings from us.
constexpr std::chrono::seconds kPointerFreshFor{4};

// Property lengths are counted in 32-bit units.
constexpr std::uint32_t kListChunk = 1024;
constexpr std::uint32_t kUtf8NameLength = 4096;
constexpr std::uint32_t kTextLength = 1'000'000; // a whole WM_NAME, whatever its size
constexpr std::uint32_t kClassLength = 2048;     // 8 KB

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
// xcb hands out replies allocated with malloc; a failed request (the window
// vanished, say) gives none, and its error is dropped.
template <class T>
using Reply = std::unique_ptr<T, FreeDeleter>;

Reply<xcb_get_property_reply_t> getProperty(xcb_connection_t* c, Window window, Atom property, Atom type,
                                            std::uint32_t offset, std::uint32_t length)
{
    return Reply<xcb_get_property_reply_t>(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, offset, length), nullptr));
}

// The property's bytes when it is of 8-bit format, nullopt otherwise.
std::optional<std::string_view> bytesOf(const Reply<xcb_get_property_reply_t>& reply)
{
    if (!reply || reply->format != 8)
        return std::nullopt;
    return std::string_view(static_cast<const char*>(xcb_get_property_value(reply.get())),
                            static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

std::string latin1ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
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

Desktop::Desktop(X11Connection& connection)
    : x11_(connection)
{
    if (!connection.open())
        return;
    xcb_connection_t* c = connection.xcb();
    connection_ = c;
    root_ = connection.screen()->root;
    rootSize_ = {connection.screen()->width_in_pixels, connection.screen()->height_in_pixels};

    // All requests first, then all replies: one round trip.
    std::array<xcb_intern_atom_cookie_t, kAtomCount> cookies{};
    for (std::size_t i = 0; i < kAtomCount; ++i)
        cookies[i]
            = xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::string_view(kAtomNames[i]).size()), kAtomNames[i]);
    for (std::size_t i = 0; i < kAtomCount; ++i) {
        const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookies[i], nullptr));
        atoms_[i] = reply ? reply->atom : XCB_NONE;
    }
    listener_
        = connection.listen([this](const void* event) { handle(*static_cast<const xcb_generic_event_t*>(event)); });
    connection.watchRoot(kWatchMask);
}

Desktop::~Desktop()
{
    if (listener_ >= 0)
        x11_.unlisten(listener_);
}

bool Desktop::isKnownType(Atom type) const
{
    return std::find(atoms_.begin() + kTypeNormal, atoms_.begin() + kTypeDnd + 1, type)
        != atoms_.begin() + kTypeDnd + 1;
}

Desktop::Call::Call(Desktop& desktop)
    : desktop_(desktop)
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
    if (desktop_.unflushed_) { // our requests are on their way before we hand back
        xcb_flush(desktop_.connection_);
        desktop_.unflushed_ = false;
    }
}

int Desktop::socket() const
{
    return x11_.socket();
}

void Desktop::readChanges()
{
    if (!connection_)
        return;
    lastRead_ = std::chrono::steady_clock::now();
    x11_.pump();
}

void Desktop::handle(const xcb_generic_event_t& event)
{
    // The top bit marks events sent by clients; they count the same.
    const auto type = event.response_type & 0x7F;
    // Errors of our one-way requests: windows of other programs can vanish
    // between two requests, and the errors carry no information we need.
    if (type == 0)
        return;
    if (type == XCB_PROPERTY_NOTIFY) {
        const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        const Atom property = notify.atom;
        const bool read = property == XCB_ATOM_WM_NAME || property == XCB_ATOM_WM_TRANSIENT_FOR
            || property == XCB_ATOM_WM_CLASS || std::find(atoms_.begin(), atoms_.end(), property) != atoms_.end();
        if (read) // typing alone changes other properties (user time) all the time
            forgetWindow(notify.window);
        return;
    }
    if (type == XCB_CLIENT_MESSAGE) // requests to the window manager, ours among them
        return;
    if (type == XCB_ENTER_NOTIFY || type == XCB_LEAVE_NOTIFY) {
        pointerChild_.reset();
        return;
    }
    if (type == XCB_DESTROY_NOTIFY)
        watched_.erase(reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window);
    // A window appeared, went, moved, was restacked or reparented.
    changed();
}

void Desktop::forgetWindow(Window window)
{
    std::erase_if(longs_, [window](const auto& entry) { return std::get<0>(entry.first) == window; });
    wmState_.erase(window);
    titles_.erase(window);
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
    classNames_.clear();
    screen_.reset();
    pointerChild_.reset(); // a window may have come or gone under the pointer
}

void Desktop::watch(Window window)
{
    // Asked for before anything is read, so that no change slips in between.
    if (window == root_ || window == XCB_NONE || !watched_.insert(window).second)
        return;
    xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &kWatchMask);
    unflushed_ = true;
}

std::vector<std::uint32_t> Desktop::longs(Window window, Atom property, Atom type)
{
    const auto key = std::tuple{window, property, type};
    if (const auto it = longs_.find(key); it != longs_.end())
        return it->second;
    watch(window);
    std::vector<std::uint32_t> out;
    std::uint32_t offset = 0;
    for (;;) {
        const auto reply = getProperty(connection_, window, property, type, offset, kListChunk);
        if (!reply || reply->type != type || reply->format != 32)
            break;
        const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
        out.insert(out.end(), values, values + reply->value_len);
        if (reply->bytes_after == 0 || reply->value_len == 0)
            break;
        offset += reply->value_len; // 32-bit items, just as the offset counts
    }
    return longs_[key] = std::move(out);
}

Window Desktop::windowProperty(Window window, Atom property)
{
    const auto values = longs(window, property, XCB_ATOM_WINDOW);
    return values.empty() ? XCB_NONE : values.front();
}

bool Desktop::hasWmState(Window window)
{
    if (const auto it = wmState_.find(window); it != wmState_.end())
        return it->second;
    watch(window);
    const auto reply = getProperty(connection_, window, atoms_[kWmState], XCB_GET_PROPERTY_TYPE_ANY, 0, 0);
    return wmState_[window] = reply && reply->type != XCB_NONE;
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
    const Atom utf8 = atoms_[kUtf8String];
    {
        const auto reply = getProperty(connection_, window, atoms_[kNetWmName], utf8, 0, kUtf8NameLength);
        if (const auto name = bytesOf(reply); name && reply->type == utf8)
            return std::string(*name);
    }
    const auto reply = getProperty(connection_, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, kTextLength);
    const auto name = bytesOf(reply);
    if (!name)
        return {};
    if (reply->type == utf8)
        return std::string(*name);
    // COMPOUND_TEXT starts out in ASCII and Latin-1 and only switches to other
    // character sets by escape sequences, which titles hardly ever use: read
    // bytes below 0x80 as they are and the rest as Latin-1, like STRING.
    if (reply->type == XCB_ATOM_STRING || reply->type == atoms_[kCompoundText])
        return latin1ToUtf8(*name);
    return {};
}

std::vector<Window> Desktop::children(Window window)
{
    if (const auto it = children_.find(window); it != children_.end())
        return it->second;
    watch(window);
    std::vector<Window> out;
    const Reply<xcb_query_tree_reply_t> reply(
        xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr));
    if (reply) {
        const Window* list = xcb_query_tree_children(reply.get());
        out.assign(list, list + xcb_query_tree_children_length(reply.get()));
    }
    return children_[window] = std::move(out);
}

std::optional<Attributes> Desktop::attributes(Window window)
{
    if (const auto it = attributes_.find(window); it != attributes_.end())
        return it->second;
    watch(window);
    std::optional<Attributes> out;
    const Reply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(connection_, xcb_get_window_attributes(connection_, window), nullptr));
    if (reply)
        out = Attributes{reply->map_state == XCB_MAP_STATE_VIEWABLE, reply->override_redirect != 0};
    return attributes_[window] = out;
}

std::optional<Geometry> Desktop::geometry(Window window)
{
    if (const auto it = geometries_.find(window); it != geometries_.end())
        return it->second;
    watch(window);
    // Both asked for at once: one round trip.
    const auto sizeCookie = xcb_get_geometry(connection_, window);
    const auto placeCookie = xcb_translate_coordinates(connection_, window, root_, 0, 0);
    const Reply<xcb_get_geometry_reply_t> size(xcb_get_geometry_reply(connection_, sizeCookie, nullptr));
    const Reply<xcb_translate_coordinates_reply_t> place(
        xcb_translate_coordinates_reply(connection_, placeCookie, nullptr));
    std::optional<Geometry> out;
    if (size && place && place->same_screen)
        out = Geometry{place->dst_x, place->dst_y, size->width, size->height, size->border_width};
    return geometries_[window] = out;
}

std::optional<Window> Desktop::transientFor(Window window)
{
    // Present means transient, even when it names no window.
    const auto owner = longs(window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW);
    if (owner.empty())
        return std::nullopt;
    return owner.front();
}

std::string Desktop::className(Window window)
{
    if (const auto it = classNames_.find(window); it != classNames_.end())
        return it->second;
    watch(window);
    std::string names;
    const auto reply = getProperty(connection_, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, kClassLength);
    if (const auto value = bytesOf(reply); value && reply->type == XCB_ATOM_STRING) {
        // res_name and res_class, each ended by a NUL (the last one may lack it).
        const auto nul = value->find('\0');
        const auto name = value->substr(0, nul);
        auto resClass = nul == std::string_view::npos ? std::string_view{} : value->substr(nul + 1);
        resClass = resClass.substr(0, resClass.find('\0'));
        names = std::string(name) + " " + std::string(resClass);
        std::transform(names.begin(), names.end(), names.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    }
    return classNames_[window] = std::move(names);
}

std::pair<int, int> Desktop::screenSize()
{
    if (!screen_) {
        const Reply<xcb_get_geometry_reply_t> reply(
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, root_), nullptr));
        screen_ = reply ? std::pair<int, int>{reply->width, reply->height} : rootSize_;
    }
    return *screen_;
}

Window Desktop::queryPointer()
{
    const Reply<xcb_query_pointer_reply_t> reply(
        xcb_query_pointer_reply(connection_, xcb_query_pointer(connection_, root_), nullptr));
    return reply && reply->same_screen ? reply->child : XCB_NONE;
}

Window Desktop::childUnderPointer()
{
    const auto now = std::chrono::steady_clock::now();
    if (pointerChild_ && now - pointerReadAt_ < kPointerFreshFor)
        return *pointerChild_;
    Window child = queryPointer();
    // The pointer leaving the root or this window is reported from now on;
    // asked once more, so that no crossing slips in before the watch.
    if (child != XCB_NONE && !watched_.contains(child)) {
        watch(child);
        const Window again = queryPointer();
        if (again != child) {
            pointerChild_.reset();
            return again;
        }
    }
    pointerChild_ = child;
    pointerReadAt_ = now;
    return child;
}

void Desktop::sendToRoot(Window window, Atom type, std::uint32_t l0, std::uint32_t l1, std::uint32_t l2,
                         std::uint32_t l3)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    event.data.data32[0] = l0;
    event.data.data32[1] = l1;
    event.data.data32[2] = l2;
    event.data.data32[3] = l3;
    static_assert(sizeof event == 32, "the server takes events of exactly 32 bytes");
    xcb_send_event(connection_, 0, root_, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    sent();
}

void Desktop::restack(Window window, std::uint32_t stackMode, Window sibling)
{
    // Without a sibling the server cannot refuse a stack mode (BadMatch), so
    // there is no need for a synthetic ConfigureRequest to the window manager:
    // one that redirects our windows gets the request itself.
    if (sibling == XCB_NONE) {
        xcb_configure_window(connection_, window, XCB_CONFIG_WINDOW_STACK_MODE, &stackMode);
    } else {
        const std::array<std::uint32_t, 2> values{sibling, stackMode}; // in the order of the mask bits
        xcb_configure_window(connection_, window, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE,
                             values.data());
    }
    sent();
}

void Desktop::focus(Window window)
{
    xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    sent();
}

void Desktop::appendAtoms(Window window, Atom property, const std::vector<Atom>& atoms)
{
    xcb_change_property(connection_, XCB_PROP_MODE_APPEND, window, property, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(atoms.size()), atoms.data());
    // Done before the toolkit maps the window on its own connection.
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    changed();
}

void Desktop::sent()
{
    unflushed_ = true;
    changed();
}

} // namespace zumi::x11
