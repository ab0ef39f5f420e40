#pragma once
#include "app/tray_menu.h"

#include <windows.h>

namespace zumi {

// The tray menu's model as a Win32 popup menu. Each entry's command number
// names what it does, so a choice is handed back to the model whatever
// changed while the menu was open.
namespace popup_command {
inline constexpr UINT kClose = 1;
inline constexpr UINT kSettings = 2;
inline constexpr UINT kCalls = 3;
inline constexpr UINT kDisconnect = 4;
inline constexpr UINT kAutoHangupFirst = 100; // + the entry's index
inline constexpr UINT kProviderFirst = 1000;  // + the entry's index
} // namespace popup_command

// A new popup menu with the model's visible entries, their captions (the
// "&" marks the access key, as Win32 reads it), states and the submenu of
// the hang-up after further units. The caller destroys it.
HMENU buildPopupMenu(const TrayMenu& menu);

// Brings the enabled and checked states of a menu built before in line with
// the model (which entries exist is left as it was built).
void refreshPopupMenu(HMENU popup, const TrayMenu& menu);

// Carries out the chosen command; 0 (nothing chosen) and unknown numbers do nothing.
void runPopupCommand(TrayMenu& menu, UINT command);

} // namespace zumi
