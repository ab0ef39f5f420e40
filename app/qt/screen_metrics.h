#pragma once
#include "platform/window_queries.h"
#include "settings/settings.h"
#include "settings/settings_io.h"

class QScreen;

namespace zumi {

// The screen in twips as the position rules see it: twips per pixel is
// 1440 / logical dpi (15 at 96 dpi).
ScreenMetrics screenMetrics(const QScreen* screen);
ScreenMetrics screenMetrics(int widthPx, int heightPx, double dpiX, double dpiY);

// The "Kolp" window's rectangle, looked up afresh on each call.
FindKolpRect kolpRectFinder(WindowQueries& windows);

} // namespace zumi
