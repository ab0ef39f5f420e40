#pragma once
#include "app/phonebook_owner.h"
#include "app/tray_menu.h"
#include "app/win32/hangup_messages.h"
#include "app/win32/main_window.h"
#include "app/win32/message_boxes.h"
#include "app/win32/tray_popup.h"
#include "app/win32/win32_backends.h"
#include "app/win32/win32_tray.h"
#include "calls/budget_guard.h"
#include "calls/call_recorder.h"
#include "calls/sqlite/sqlite_call_store.h"
#include "platform/system_clock.h"
#include "settings/registry/registry_settings_store.h"
#include "settings/settings.h"
#include "tariff/auto_hangup_state.h"
#include "tariff/hangup_watch.h"
#include "tariff/monitor.h"

#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>

namespace zumi {

class Win32CallsWindow;
class Win32InfoWindow;
class Win32SettingsDialogHost;

struct Win32AppOptions {
    HINSTANCE instance = nullptr;   // where the icons and dialogs are
    std::filesystem::path soundsDir; // the program's own sound files
    // false: no call is logged, so no monthly budget is kept either; the
    // window still shows the calls logged before.
    bool keepCallLog = true;
    Win32Tray::Notify trayNotify; // empty: the shell's Shell_NotifyIconW
    PopupMenuExec menuExec;       // empty: TrackPopupMenuEx
};

// The icon pictures of the tray, loaded at the size the tray draws.
class TrayIcons {
public:
    explicit TrayIcons(HINSTANCE instance);
    ~TrayIcons();
    TrayIcons(const TrayIcons&) = delete;
    TrayIcons& operator=(const TrayIcons&) = delete;
    HICON offline() const { return offline_; }
    HICON online() const { return online_; }

private:
    HICON offline_;
    HICON online_;
};

// Everything the running program consists of, wired together once: Windows'
// backends, the settings in the registry, the hidden main window with its
// timer, the tray icon and its menu, the info window, the monitor, the call
// log, the settings dialog and the "Verbindungen" window.
class Win32App final {
public:
    explicit Win32App(Win32AppOptions options);
    ~Win32App();
    Win32App(const Win32App&) = delete;
    Win32App& operator=(const Win32App&) = delete;

    // Phonebook, settings, tray icon; then the timer runs.
    void start();
    // Done once whatever asks for it: the icon goes, the info window's
    // position is saved, the info window, an open settings dialog (without
    // saving) and the calls window close; then the message loop ends. A
    // connection stays up.
    void shutdown();
    bool shutDown() const { return unloaded_; }

    HWND mainWindow() const { return main_.handle(); }
    Win32Tray& tray() { return tray_; }
    TrayMenu& menu() { return menu_; }
    const Settings& settings() const { return settings_; }
    Win32InfoWindow& infoWindow() { return *info_; }

private:
    void tick();
    void takeNewPhonebook();
    void showCalls();
    void reportUnreadableSettings();

    Win32AppOptions options_;
    SystemClock clock_;
    std::unique_ptr<Win32Backends> backends_;
    DialUpAccess& dialUp_;
    WindowSystem& windows_;
    RegistrySettingsStore store_;
    Settings settings_;
    PhonebookOwner phonebook_;
    AutoHangupState autoHangup_;
    MainWindow main_;
    TrayIcons icons_;
    Win32Tray tray_;
    Win32MessageBoxes boxes_;
    Win32HangupMessages hangupMessages_{boxes_, tray_};
    HangupWatch hangups_{clock_, hangupMessages_};
    SqliteCallStore callStore_;
    CallRecorder calls_;
    BudgetGuard budget_;
    std::unique_ptr<Win32CallsWindow> callsWindow_; // made when first opened
    TrayMenu menu_;
    TrayPopup popup_;
    std::unique_ptr<Win32InfoWindow> info_;
    std::unique_ptr<Win32SettingsDialogHost> dialog_;
    Monitor monitor_;
    bool unloaded_ = false;
};

} // namespace zumi
