#include "app/win32/win32_app.h"

#include "app/dial_failure_text.h"
#include "app/freed_memory.h"
#include "app/win32/resources.h"
#include "app/win32/screen_metrics.h"
#include "calls/window/win32/win32_calls_window.h"
#include "infowindow/win32/win32_info_window.h"
#include "platform/win32/wide_text.h"
#include "settings/dialog/win32/win32_settings_dialog.h"
#include "settings/settings_io.h"

namespace zumi {
namespace {

HICON loadTrayIcon(HINSTANCE instance, int id)
{
    return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON,
                                           ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                           LR_DEFAULTCOLOR));
}

} // namespace

TrayIcons::TrayIcons(HINSTANCE instance)
    : offline_(loadTrayIcon(instance, IDI_NET_BLUE))
    , online_(loadTrayIcon(instance, IDI_NET_RED))
{
}

TrayIcons::~TrayIcons()
{
    if (offline_)
        ::DestroyIcon(offline_);
    if (online_)
        ::DestroyIcon(online_);
}

Win32App::Win32App(Win32AppOptions options)
    : options_(std::move(options))
    , backends_(makeWin32Backends(options_.soundsDir))
    , dialUp_(backends_->dialUp())
    , windows_(backends_->windows())
    , phonebook_(dialUp_, [this] { return monitor_.metering() || popup_.busy() || (dialog_ && dialog_->isOpen()); })
    , main_(options_.instance, {[this] { tick(); }, [this](UINT event, POINT at) {
                                    popup_.trayEvent(event, at);
                                    // What building the menu and its command allocated goes back.
                                    if (event == WM_LBUTTONDOWN || event == WM_RBUTTONDOWN)
                                        returnFreedMemory();
                                },
                                [this] {
                                    if (!unloaded_)
                                        tray_.addAgain(info_ && info_->isVisible());
                                },
                                [this] { shutdown(); }})
    , icons_(options_.instance)
    , tray_(main_.handle(), MainWindow::kTrayMessage, icons_.offline(), icons_.online(), options_.trayNotify)
    , boxes_(main_.handle())
    , callStore_(SqliteCallStore::defaultPath())
    , calls_(clock_, callStore_, [this](const std::string& text) { boxes_.warnWithoutWaiting(text); },
             [this](const CallRecord& call) {
                 if (callsWindow_)
                     callsWindow_->runningCall(call);
             })
    , budget_(clock_, callStore_, calls_,
              [this](const std::string& summary, const std::string& body) { tray_.notify(summary, body); })
    , menu_({dialUp_, phonebook_, autoHangup_, boxes_, hangups_, [this] { return monitor_.activeConn(); }})
    , popup_({main_.handle(), menu_, windows_, [this] { return tray_.iconRect(); }, options_.menuExec})
    , info_(std::make_unique<Win32InfoWindow>(options_.instance, settings_, autoHangup_, windows_, windows_, menu_,
                                              [this] {
                                                  if (dialog_)
                                                      dialog_->closeWithoutSaving();
                                              }))
    , dialog_(std::make_unique<Win32SettingsDialogHost>(Win32SettingsDialogDeps{
          options_.instance, dialUp_, phonebook_.connNames(), store_, settings_, [] { return win32ScreenMetrics(); },
          kolpRectFinder(windows_), [this] { info_->SetOption(); }, phonebookTroubleText,
          [this] { return phonebook_.reload(); }}))
    , monitor_({clock_, dialUp_, backends_->linkBytes(), *info_, tray_, menu_, backends_->sound(), popup_, settings_,
                phonebook_.connNames(), autoHangup_, hangups_, options_.keepCallLog ? &budget_ : nullptr,
                options_.keepCallLog ? &budget_ : nullptr})
{
    dialUp_.onLateRefusal([this](const LateRefusal& refusal) { hangups_.refusedLater(refusal); });
    dialUp_.onPhonebookChanged([this] {
        phonebook_.changedOutside();
        takeNewPhonebook();
    });
    menu_.setCloseCommand([this] { shutdown(); });
    menu_.setSettingsCommand([this] { dialog_->mnuSettings_Click(main_.handle()); });
    menu_.setCallsCommand([this] { showCalls(); });
}

Win32App::~Win32App()
{
    main_.stopTimer();
    callsWindow_.reset();
    // The dialog host closes an open dialog; it goes before what the dialog uses.
    dialog_.reset();
}

void Win32App::start()
{
    autoHangup_.disarm();
    // activeConn: the monitor starts with none.
    phonebook_.reload();
    loadSettings(store_, phonebook_.connNames(), win32ScreenMetrics(), kolpRectFinder(windows_), settings_);
    tray_.trayAdd(TrayIcon::Offline, " Zumi ");
    main_.startTimer();
    reportUnreadableSettings();
}

void Win32App::tick()
{
    takeNewPhonebook();
    monitor_.Timer_Timer();
}

// A phonebook that changed after the start comes with the tariffs stored for its entries.
void Win32App::takeNewPhonebook()
{
    if (phonebook_.takeInChange())
        reloadTariffs(store_, phonebook_.connNames(), settings_.tariffs);
}

void Win32App::showCalls()
{
    if (!callsWindow_) {
        callsWindow_ = std::make_unique<Win32CallsWindow>(Win32CallsWindowDeps{
            options_.instance, callStore_, clock_,
            [this] {
                std::vector<std::string> names;
                for (const std::string& name : phonebook_.connNames())
                    if (!name.empty())
                        names.push_back(name);
                return names;
            },
            returnFreedMemory});
        // A call already up is shown as running from the start, not only at its next unit.
        if (calls_.current())
            callsWindow_->runningCall(*calls_.current());
    }
    callsWindow_->showWindow();
}

// Once, at start: settings Zumi cannot read are not overwritten either, so
// nothing is saved. The box waits beside the running program: one waiting
// for OK here would hold up the tray icon, the metering and the end.
void Win32App::reportUnreadableSettings()
{
    if (!store_.readable())
        boxes_.warnWithoutWaiting(store_.problem()
                                  + "\nZumi startet mit den Voreinstellungen und lässt die gespeicherten "
                                    "unverändert; Einstellungen werden nicht gespeichert.");
}

void Win32App::shutdown()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    tray_.trayDelete();
    if (!saveSettings(store_, settings_.position))
        ::OutputDebugStringW(
            win32::wideFromUtf8("Zumi: Die Fensterposition wurde nicht gespeichert: " + store_.problem() + "\n")
                .c_str());
    info_->unload();
    // Whatever else is open goes without its own closing code.
    dialog_->closeWithoutSaving();
    if (callsWindow_)
        callsWindow_->close();
    main_.stopTimer();
    // Also ends the loop of a box or menu open now; the program's own loop then ends too.
    ::PostQuitMessage(0);
}

} // namespace zumi
