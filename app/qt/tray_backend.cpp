#include "app/qt/tray_backend.h"

namespace zumi {

void TrayBackend::addAgain(bool infoWindowVisible)
{
    if (infoWindowVisible)
        trayAdd(TrayIcon::Online, " Zumi - Verbunden ");
    else
        trayAdd(TrayIcon::Offline, " Zumi ");
}

} // namespace zumi
