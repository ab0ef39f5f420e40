#include "app/linux/tray_factory.h"

#include "app/linux/sni/status_notifier_item.h"
#include "app/linux/sni_tray.h"
#include "app/linux/tray.h"
#include "app/linux/tray_choice.h"

#include <QtGlobal>

namespace zumi {

std::unique_ptr<TrayBackend> makeTray(std::function<bool()> infoWindowVisible, X11TrayHost* host)
{
    TraySession session;
    session.statusNotifierWatcher = statusNotifierWatcherPresent();
    session.sessionType = qEnvironmentVariable("XDG_SESSION_TYPE").toStdString();
    session.waylandDisplay = qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (chooseTrayKind(session) == TrayKind::StatusNotifierItem)
        return std::make_unique<SniTray>(std::move(infoWindowVisible));
    Tray::Deps deps{std::move(infoWindowVisible)};
    deps.host = host;
    return std::make_unique<Tray>(std::move(deps));
}

} // namespace zumi
