#include "infowindow/win32/desktop_screens.h"

#include <windows.h>

namespace zumi {
namespace {

BOOL CALLBACK addScreen(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    auto& layout = *reinterpret_cast<ScreenLayout*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info))
        return TRUE;
    const RECT& r = info.rcMonitor;
    const PixelRect screen{r.left, r.top, r.right, r.bottom};
    layout.screens.push_back(screen);
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        layout.primary = screen;
    return TRUE;
}

} // namespace

ScreenLayout desktopScreens()
{
    ScreenLayout layout;
    EnumDisplayMonitors(nullptr, nullptr, addScreen, reinterpret_cast<LPARAM>(&layout));
    if (layout.screens.empty()) { // no monitor told: the primary screen's size alone
        layout.primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        layout.screens.push_back(layout.primary);
    }
    return layout;
}

} // namespace zumi
