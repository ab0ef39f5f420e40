#pragma once
#include "app/tray_backend.h"

#include <functional>
#include <memory>

namespace zumi {

// The tray icon for the session the program runs in, chosen once, here.
// infoWindowVisible tells the re-added icon's state. Needs the QApplication.
std::unique_ptr<TrayBackend> makeTray(std::function<bool()> infoWindowVisible);

} // namespace zumi
