#include "app/linux/tray_choice.h"

namespace zumi {

TrayKind chooseTrayKind(const TraySession& session)
{
    if (session.statusNotifierWatcher || session.waylandDisplay || session.sessionType == "wayland")
        return TrayKind::StatusNotifierItem;
    return TrayKind::Toolkit;
}

} // namespace zumi
