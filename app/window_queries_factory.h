#pragma once
#include "platform/window_queries.h"

#include <memory>

namespace zumi {

// The window system backend of the session the application runs in: the X11 ones
// on an X server (also XWayland's, when Qt uses it), else ones that know nothing.
// Needs the QGuiApplication.
std::unique_ptr<WindowSystem> makeWindowSystem();

} // namespace zumi
