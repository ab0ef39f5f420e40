#include "app/win32/tray_popup.h"

#include "app/tray_text.h"
#include "app/win32/popup_menu.h"
#include "platform/win32/wide_text.h"

namespace zumi {
namespace {

UINT trackPopupMenu(HWND owner, HMENU menu, POINT at, UINT flags, const RECT& exclude)
{
    TPMPARAMS params{};
    params.cbSize = sizeof params;
    params.rcExclude = exclude;
    return static_cast<UINT>(::TrackPopupMenuEx(menu, flags, at.x, at.y, owner, &params));
}

RECT screenAround(POINT point)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(::MonitorFromPoint(point, MONITOR_DEFAULTTOPRIMARY), &info))
        return info.rcMonitor;
    return {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

} // namespace

MenuAnchor trayMenuAnchor(std::optional<RECT> icon, POINT pointer, RECT screen)
{
    RECT place = icon && ::PtInRect(&*icon, pointer) ? *icon : RECT{pointer.x, pointer.y, pointer.x + 1, pointer.y + 1};
    const bool below = place.top + place.bottom < screen.top + screen.bottom;
    const bool rightward = place.left + place.right < screen.left + screen.right;
    MenuAnchor anchor;
    anchor.exclude = place;
    anchor.at.y = below ? place.bottom : place.top;
    anchor.at.x = rightward ? place.left : place.right;
    // TPM_VERTICAL: where the menu does not fit, Windows moves it up or down
    // out of the excluded place, never across it.
    anchor.flags = TPM_VERTICAL | (below ? TPM_TOPALIGN : TPM_BOTTOMALIGN) | (rightward ? TPM_LEFTALIGN : TPM_RIGHTALIGN);
    return anchor;
}

TrayPopup::TrayPopup(TrayPopupDeps deps)
    : d_(std::move(deps))
{
    if (!d_.exec)
        d_.exec = [owner = d_.owner](HMENU menu, POINT at, UINT flags, const RECT& exclude) {
            return trackPopupMenu(owner, menu, at, flags, exclude);
        };
    // A tick that changes the states while the menu is open shows at once.
    d_.menu.onChanged([this] {
        if (openMenu_)
            refreshPopupMenu(openMenu_, d_.menu);
    });
}

void TrayPopup::trayEvent(UINT mouseEvent, POINT pointer)
{
    const bool press = mouseEvent == WM_LBUTTONDOWN || mouseEvent == WM_RBUTTONDOWN;
    if (busy_) {
        // A dialog or box of ours holds the input: the press fetches it.
        HWND modal = ::GetLastActivePopup(d_.owner);
        if (press && modal && modal != d_.owner)
            ::SetForegroundWindow(modal);
        return;
    }
    prevForeground_ = d_.windows.activeWindow();
    if (!press) {
        prevForeground_ = 0;
        return;
    }
    busy_ = true;
    d_.menu.aboutToShow();
    const std::string line = foregroundDebugLine(prevForeground_, d_.windows.windowTitle(prevForeground_)) + "\n";
    ::OutputDebugStringW(win32::wideFromUtf8(line).c_str());
    // Without the foreground the menu would not close when the user clicks elsewhere.
    ::SetForegroundWindow(d_.owner);
    popupOpen_ = true;
    openMenu_ = buildPopupMenu(d_.menu);
    const MenuAnchor anchor = trayMenuAnchor(d_.iconRect ? d_.iconRect() : std::nullopt, pointer, screenAround(pointer));
    const UINT command = d_.exec(openMenu_, anchor.at,
                                 anchor.flags | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, anchor.exclude);
    ::DestroyMenu(openMenu_);
    openMenu_ = nullptr;
    // The next menu of this window then opens and closes as it should.
    ::PostMessageW(d_.owner, WM_NULL, 0, 0);
    // The command runs to its end (a dialog or box included) while the menu counts as open.
    runPopupCommand(d_.menu, command);
    popupOpen_ = false;
    prevForeground_ = 0;
    busy_ = false;
}

void TrayPopup::run()
{
    if (!popupOpen_)
        return;
    const WindowId fg = d_.windows.activeWindow();
    if (fg == reinterpret_cast<WindowId>(d_.owner) || fg == prevForeground_)
        return;
    bringOwnerToFront();
}

// Failures are ignored: the user's other window simply keeps the front.
void TrayPopup::bringOwnerToFront()
{
    if (::IsWindowVisible(d_.owner)) {
        ::SetForegroundWindow(d_.owner);
        return;
    }
    // Shown for a moment far outside the screen: four screen widths to the
    // right and 30000 twips down.
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    ::SetWindowPos(d_.owner, nullptr, 4 * ::GetSystemMetrics(SM_CXSCREEN), ::MulDiv(30000, dpi > 0 ? dpi : 96, 1440),
                   0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(d_.owner, SW_SHOW);
    ::SetForegroundWindow(d_.owner);
    ::ShowWindow(d_.owner, SW_HIDE);
}

} // namespace zumi
