#include "platform/x11/x11_tray_host.h"

#include "platform/x11/x11_connection.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace zumi {
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

X11TrayHost::X11TrayHost(X11Connection& connection)
    : connection_(connection)
{
    xcb_connection_t* c = connection.xcb();
    if (!c)
        return;
    selection_ = internAtom(c, "_NET_SYSTEM_TRAY_S" + std::to_string(connection.screenNumber()));
    manager_ = internAtom(c, "MANAGER");
    const char kInput[] = "XInputExtension";
    const std::unique_ptr<xcb_query_extension_reply_t, decltype(&std::free)> input(
        xcb_query_extension_reply(c, xcb_query_extension(c, sizeof kInput - 1, kInput), nullptr), &std::free);
    if (input && input->present)
        inputOpcode_ = input->major_opcode;
    listener_ = connection.listen([this](const void* event) { handle(event); });
    // The host's announcement goes to the root window with this mask.
    connection.watchRoot(XCB_EVENT_MASK_STRUCTURE_NOTIFY);
}

X11TrayHost::~X11TrayHost()
{
    if (listener_ >= 0)
        connection_.unlisten(listener_);
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
    if (type != XCB_GE_GENERIC || inputOpcode_ < 0)
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
    if (device->extension != inputOpcode_ || device->eventType != kXIButtonPress
        || (device->detail != 1 && device->detail != 3))
        return std::nullopt;
    return X11ButtonPress{device->event, device->rootX >> 16, device->rootY >> 16, device->detail == 3};
}

void X11TrayHost::takeQueued()
{
    connection_.pumpQueued();
}

void X11TrayHost::handle(const void* xcbEvent)
{
    const auto* event = static_cast<const xcb_generic_event_t*>(xcbEvent);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE || selection_ == XCB_NONE)
        return;
    const auto* message = static_cast<const xcb_client_message_event_t*>(xcbEvent);
    if (message->type == manager_ && message->format == 32 && message->data.data32[1] == selection_ && newHost_)
        newHost_();
}

} // namespace zumi
