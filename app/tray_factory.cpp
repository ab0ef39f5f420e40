#include "app/tray_factory.h"

#include "app/sni/status_notifier_item.h"
#include "app/sni_tray.h"
#include "app/tray.h"
#include "app/tray_choice.h"

#include <QtGlobal>

namespace zumi {

std::unique_ptr<TrayBackend> makeTray(std::function<bool()> infoWindowVisible)
{
    TraySession session;
    session.statusNotifierWatcher = statusNotifierWatcherPresent();
    session.sessionType = qEnvironmentVariable("XDG_SESSION_TYPE").toStdString();
    session.waylandDisplay = qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (chooseTrayKind(session) == TrayKind::StatusNotifierItem)
        return std::make_unique<SniTray>(std::move(infoWindowVisible));
    return std::make_unique<Tray>(Tray::Deps{std::move(infoWindowVisible)});
}

} // namespace zumi
