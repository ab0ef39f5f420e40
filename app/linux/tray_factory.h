#pragma once
#include "app/qt/tray_backend.h"

#include <functional>
#include <memory>

namespace zumi {

class X11TrayHost;

// The tray icon for the session the program runs in, chosen once, here.
// infoWindowVisible tells the re-added icon's state; host, when the toolkit
// is on X11, tells when its tray host comes back. Needs the QApplication.
std::unique_ptr<TrayBackend> makeTray(std::function<bool()> infoWindowVisible, X11TrayHost* host);

} // namespace zumi
