#pragma once
#include "settings/dialog/copy_buffer.h"
#include "settings/dialog/settings_dialog_context.h"

#include <windows.h>

#include <functional>
#include <string>

namespace zumi {

// What the Win32 settings dialog works with besides the context.
struct Win32SettingsDialogDeps {
    HINSTANCE instance; // holds the dialog's resources
    SettingsDialogContext context;
};

// Opens the settings dialog from the tray menu and owns what outlives it
// (the Copy/Paste buffer of the tariff boxes).
class Win32SettingsDialogHost {
public:
    explicit Win32SettingsDialogHost(Win32SettingsDialogDeps deps);
    Win32SettingsDialogHost(const Win32SettingsDialogHost&) = delete;
    Win32SettingsDialogHost& operator=(const Win32SettingsDialogHost&) = delete;

    // "&Einstellungen": refused while any connection exists; otherwise re-reads
    // the phonebook and the settings and shows the dialog modally over owner.
    // Returns when it is closed. While it is open, a second call only brings
    // it to the front.
    void mnuSettings_Click(HWND owner);

    // Closes an open dialog (and any box over it) without storing anything.
    void closeWithoutSaving();

    bool isOpen() const;

private:
    Win32SettingsDialogDeps deps_;
    CopyBuffer copyBuffer_;
    HWND dialog_ = nullptr;
};

} // namespace zumi
