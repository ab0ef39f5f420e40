#pragma once
#include "tariff/monitor_views.h"

#include <QIcon>

namespace zumi {

// The tray's two pictures, 16, 22, 24 and 32 pixels each: blue offline, red online.
QIcon trayPicture(TrayIcon icon);

} // namespace zumi
