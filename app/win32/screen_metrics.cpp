#include "app/win32/screen_metrics.h"

#include "platform/win32/win32_window_system.h"

#include <windows.h>

namespace zumi {
namespace {

BOOL CALLBACK addMonitor(HMONITOR, HDC, LPRECT rect, LPARAM layout)
{
    reinterpret_cast<ScreenLayout*>(layout)->screens.push_back({rect->left, rect->top, rect->right, rect->bottom});
    return TRUE;
}

} // namespace

ScreenMetrics win32ScreenMetrics()
{
    const TwipsPerPixel twips = screenTwipsPerPixel();
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    ScreenMetrics metrics;
    metrics.twipsPerPixelX = twips.x;
    metrics.twipsPerPixelY = twips.y;
    metrics.screenWidth = width * twips.x;
    metrics.screenHeight = height * twips.y;
    metrics.infoWidth = kInfoLoadedWidthPx * twips.x;
    // The primary screen is the one at 0,0 of the desktop.
    metrics.layout.primary = {0, 0, width, height};
    ::EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&metrics.layout));
    if (metrics.layout.screens.empty())
        metrics.layout.screens.push_back(metrics.layout.primary);
    return metrics;
}

FindKolpRect kolpRectFinder(WindowQueries& windows)
{
    return [&windows]() -> std::optional<PixelRect> {
        const WindowId kolp = windows.findKolpWindow();
        if (kolp == 0)
            return std::nullopt;
        return windows.windowRect(kolp);
    };
}

} // namespace zumi
