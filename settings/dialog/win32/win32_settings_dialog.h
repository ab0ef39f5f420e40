#pragma once
#include "core/conn_names.h"
#include "platform/dialup_access.h"
#include "platform/settings_store.h"
#include "settings/dialog/copy_buffer.h"
#include "settings/settings.h"
#include "settings/settings_io.h"

#include <windows.h>

#include <functional>
#include <string>

namespace zumi {

// What the settings dialog works with; the program passes the real things, tests fakes.
struct Win32SettingsDialogDeps {
    HINSTANCE instance;                    // holds the dialog's resources
    DialUpAccess& dialUp;
    ConnNames& connNames;
    SettingsStore& store;
    Settings& settings;
    std::function<ScreenMetrics()> screen; // for loadSettings
    FindKolpRect findKolp;                 // for loadSettings
    std::function<void()> setOption;       // the info window's SetOption, after OK
    // Why the phonebook lists nothing, in words for the user.
    std::function<std::string(const Phonebook&)> phonebookTrouble;
    // Reads the phonebook afresh into connNames, through its one owner.
    std::function<Phonebook()> readPhonebook;
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
