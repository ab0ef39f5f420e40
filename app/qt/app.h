#pragma once
#include "app/desktop.h"
#include "app/hangup_messages.h"
#include "app/phonebook_owner.h"
#include "app/qt/main_form.h"
#include "app/qt/menu_message_boxes.h"
#include "app/qt/qt_message_boxes.h"
#include "app/qt/tray_backend.h"
#include "app/tray_menu.h"
#include "calls/budget_guard.h"
#include "calls/call_recorder.h"
#include "calls/sqlite/sqlite_call_store.h"
#include "platform/system_clock.h"
#include "platform/window_queries.h"
#include "settings/ini_settings_store.h"
#include "settings/settings.h"
#include "tariff/auto_hangup_state.h"
#include "tariff/monitor.h"

#include <QObject>

#include <cstdint>
#include <filesystem>
#include <memory>

class QSocketNotifier;

namespace zumi {

class CallsWindow;
class InfoWindowController;
class SettingsDialogHost;

// Everything the running program consists of, wired together once: the
// system's desktop (dial-up, tray, windows, sounds), the settings, the hidden
// main form with its timer and menu, the info window, the monitor and the
// settings dialog.
class App final : public QObject {
    Q_OBJECT
public:
    // dataDir: the folder of the program's own files (sounds/).
    // keepCallLog false: no call is logged, so no monthly budget is kept
    // either; the window still shows the calls logged before.
    App(const std::filesystem::path& dataDir, bool keepCallLog, QObject* parent = nullptr);
    ~App() override;

    // Form_Load: phonebook, settings, tray icon; then the tray is watched and the timer runs.
    void start();
    // Form_QueryUnload, done once whatever asks for it: the tray is no longer
    // watched, the icon goes, the info window position is saved, the info
    // window and an open settings dialog close (without saving); then the
    // program's event loop ends. A connection stays up.
    void shutdown();
    bool shutDown() const { return unloaded_; }

    MainForm& mainForm() { return form_; }
    TrayBackend& tray() { return *tray_; }

private:
    ScreenMetrics currentScreen() const;
    void reportUnusableSettingsFile();
    void takeNewPhonebook();
    void showCalls();

    SystemClock clock_;
    std::int32_t winVersion_;
    std::unique_ptr<Desktop> desktop_;
    DialUpAccess& dialUp_ = desktop_->dialUp();
    IniSettingsStore store_;
    Settings settings_;
    PhonebookOwner phonebook_;
    AutoHangupState autoHangup_;
    WindowSystem* windows_ = &desktop_->windows();
    std::unique_ptr<QSocketNotifier> windowEventsNotifier_;
    DialogSetup dialogSetup_;
    QtMessageBoxes messages_{dialogSetup_};
    DesktopNotifier& notifier_ = desktop_->notifier();
    HangupMessages hangupMessages_{
        [this](const std::string& text) { messages_.warnWithoutWaiting(QString::fromStdString(text)); }, notifier_};
    HangupWatch hangups_{clock_, hangupMessages_};
    SoundPlayer& sound_ = desktop_->sound();
    SqliteCallStore callStore_;
    CallRecorder calls_;
    BudgetGuard budget_{clock_, callStore_, calls_, [this](const std::string& summary, const std::string& body) {
                            notifier_.notify(summary, body);
                        }};
    std::unique_ptr<CallsWindow> callsWindow_; // made when first opened
    MenuMessageBoxes menuMessages_{messages_};
    TrayMenu menu_;
    MainForm form_;
    TrayBackend* tray_ = &desktop_->tray();
    std::unique_ptr<InfoWindowController> info_;
    std::unique_ptr<SettingsDialogHost> dialog_;
    Monitor monitor_;
    bool unloaded_ = false;
};

} // namespace zumi
