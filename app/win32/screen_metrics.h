#pragma once
#include "platform/window_queries.h"
#include "settings/settings.h"
#include "settings/settings_io.h"

namespace zumi {

// The screens as the position rules see them: the primary screen in twips
// at the system's dots per inch (15 twips per pixel at 96), and every
// monitor's place on the desktop.
ScreenMetrics win32ScreenMetrics();

// The "Kolp" window's rectangle, looked up afresh on each call.
FindKolpRect kolpRectFinder(WindowQueries& windows);

} // namespace zumi
