#include "platform/x11/x11_tray_host.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace zumi {

struct X11TrayHost::Impl {
    xcb_connection_t* connection = nullptr;
    xcb_atom_t selection = XCB_NONE;
    xcb_atom_t manager = XCB_NONE;
    int inputOpcode = -1; // of the XInputExtension, -1 without it
};

namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const std::string& name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr),
        &std::free);
    return reply ? reply->atom : XCB_NONE;
}

} // namespace

X11TrayHost::X11TrayHost()
    : d_(new Impl)
{
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (!connection || xcb_connection_has_error(connection)) {
        if (connection)
            xcb_disconnect(connection);
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0) {
        xcb_disconnect(connection);
        return;
    }
    d_->connection = connection;
    d_->selection = internAtom(connection, "_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber));
    d_->manager = internAtom(connection, "MANAGER");
    const char kInput[] = "XInputExtension";
    const std::unique_ptr<xcb_query_extension_reply_t, decltype(&std::free)> input(
        xcb_query_extension_reply(connection, xcb_query_extension(connection, sizeof kInput - 1, kInput), nullptr),
        &std::free);
    if (input && input->present)
        d_->inputOpcode = input->major_opcode;
    // The host's announcement goes to the root window with this mask.
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screens.data->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);
}

X11TrayHost::~X11TrayHost()
{
    if (d_->connection)
        xcb_disconnect(d_->connection);
    delete d_;
}

int X11TrayHost::fd() const
{
    return d_->connection ? xcb_get_file_descriptor(d_->connection) : -1;
}

std::optional<X11ButtonPress> X11TrayHost::buttonPress(const void* xcbEvent) const
{
    const auto* event = static_cast<const xcb_generic_event_t*>(xcbEvent);
    if (!event)
        return std::nullopt;
    const int type = event->response_type & 0x7f;
    if (type == XCB_BUTTON_PRESS) {
        const auto* press = static_cast<const xcb_button_press_event_t*>(xcbEvent);
        if (press->detail == 1 || press->detail == 3)
            return X11ButtonPress{press->event, press->root_x, press->root_y, press->detail == 3};
        return std::nullopt;
    }
    if (type != XCB_GE_GENERIC || d_->inputOpcode < 0)
        return std::nullopt;
    // An XInput 2 device event as xcb stores it (its full sequence number
    // after the first 32 bytes); positions are 16.16 fixed point.
    struct DeviceEvent {
        std::uint8_t responseType, extension;
        std::uint16_t sequence;
        std::uint32_t length;
        std::uint16_t eventType, deviceId;
        std::uint32_t time, detail, root, event, child, fullSequence;
        std::int32_t rootX, rootY;
    };
    constexpr std::uint16_t kXIButtonPress = 4;
    const auto* device = static_cast<const DeviceEvent*>(xcbEvent);
    if (device->extension != d_->inputOpcode || device->eventType != kXIButtonPress
        || (device->detail != 1 && device->detail != 3))
        return std::nullopt;
    return X11ButtonPress{device->event, device->rootX >> 16, device->rootY >> 16, device->detail == 3};
}

bool X11TrayHost::newHost()
{
    bool announced = false;
    if (!d_->connection)
        return false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(d_->connection)) {
        if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
            const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
            announced = announced
                || (message->type == d_->manager && message->format == 32 && message->data.data32[1] == d_->selection
                    && d_->selection != XCB_NONE);
        }
        std::free(event);
    }
    return announced;
}

} // namespace zumi
