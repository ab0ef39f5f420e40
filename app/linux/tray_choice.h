#pragma once
#include <string>

namespace zumi {

enum class TrayKind { Toolkit, StatusNotifierItem };

// What the session says about its notification area.
struct TraySession {
    bool statusNotifierWatcher = false; // org.kde.StatusNotifierWatcher owns its name on the session bus
    std::string sessionType;            // XDG_SESSION_TYPE
    bool waylandDisplay = false;        // WAYLAND_DISPLAY is set
};

// A StatusNotifierItem where a watcher runs or the session is Wayland's
// (whose panels host only those, and whose watcher may start after the
// program); the toolkit's tray (XEmbed on X11) otherwise.
TrayKind chooseTrayKind(const TraySession& session);

} // namespace zumi
