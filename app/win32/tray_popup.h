#pragma once
#include "app/tray_menu.h"
#include "platform/window_queries.h"
#include "tariff/monitor_views.h"

#include <windows.h>

#include <functional>
#include <optional>

namespace zumi {

// Opens the menu and returns the chosen command (0: none) once it has closed.
// flags and exclude are TrackPopupMenuEx's: where it opens, and the place it
// must not cover.
using PopupMenuExec = std::function<UINT(HMENU menu, POINT at, UINT flags, const RECT& exclude)>;

struct TrayPopupDeps {
    HWND owner; // the hidden main window
    TrayMenu& menu;
    WindowQueries& windows;
    std::function<std::optional<RECT>()> iconRect; // where the tray icon lies, if known
    PopupMenuExec exec;                             // empty: TrackPopupMenuEx
};

// Where the menu opens for a tray icon: at the icon's edge that faces the
// middle of the screen, growing away from it, so that no entry lies under
// the pointer that clicked the icon (the second press of a double click
// would choose it). The pointer stands for an icon the shell does not place.
struct MenuAnchor {
    POINT at;
    UINT flags;   // TPM_* alignment
    RECT exclude; // the icon (or the pointer)
};
MenuAnchor trayMenuAnchor(std::optional<RECT> icon, POINT pointer, RECT screen);

// The press on the tray icon that opens the popup menu, and the watchdog
// that brings the menu's owner back to the front while it is open.
class TrayPopup final : public PopupWatchdog {
public:
    explicit TrayPopup(TrayPopupDeps deps);

    // The tray's callback: the mouse event in its lParam, and where the pointer was.
    void trayEvent(UINT mouseEvent, POINT pointer);

    // PopupWatchdog
    void run() override;

    bool popupOpen() const { return popupOpen_; }
    bool busy() const { return busy_; }

private:
    void bringOwnerToFront();

    TrayPopupDeps d_;
    bool busy_ = false;
    bool popupOpen_ = false;
    WindowId prevForeground_ = 0;
    HMENU openMenu_ = nullptr;
};

} // namespace zumi
