#include "app/qt/app.h"

#include "app/dial_failure_text.h"
#include "app/freed_memory.h"
#include "app/qt/screen_metrics.h"
#include "calls/window/qt/calls_window.h"
#include "infowindow/qt/info_window_controller.h"
#include "infowindow/qt/screen_layout.h"
#include "platform/win_version.h"
#include "settings/dialog/qt/settings_dialog_host.h"
#include "settings/settings_io.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace zumi {
namespace {

// After this the start's passing allocations (settings, phonebook, the first
// tick) are over.
constexpr std::chrono::seconds kSettleTime{3};

} // namespace

App::App(const std::filesystem::path& dataDir, bool keepCallLog, QObject* parent)
    : QObject(parent)
    , winVersion_(getWinVersion())
    , desktop_(
          makeDesktop({dataDir / "sounds", [this] { return info_ && info_->isVisible(); }, [this] { shutdown(); }}))
    , store_(IniSettingsStore::defaultPath())
    , phonebook_(dialUp_, [this] { return monitor_.metering() || form_.busy() || (dialog_ && dialog_->isOpen()); })
    , callStore_(SqliteCallStore::defaultPath())
    , calls_(
          clock_, callStore_,
          [this](const std::string& text) { messages_.warnWithoutWaiting(QString::fromStdString(text)); },
          [this](const CallRecord& call) {
              if (callsWindow_)
                  callsWindow_->runningCall(call);
          })
    , menu_({dialUp_, phonebook_, autoHangup_, menuMessages_, hangups_, [this] { return monitor_.activeConn(); }})
    , form_({menu_, *windows_, *windows_})
    , info_(std::make_unique<InfoWindowController>(settings_, autoHangup_, *windows_, *windows_, menu_,
                                                   [this] {
                                                       if (dialog_)
                                                           dialog_->closeWithoutSaving();
                                                   }))
    , dialog_(std::make_unique<SettingsDialogHost>(
          SettingsDialogDeps{{dialUp_, phonebook_.connNames(), store_, settings_, [this] { return currentScreen(); },
                              kolpRectFinder(*windows_), [this] { info_->SetOption(); }, phonebookTroubleText,
                              [this] { return phonebook_.reload(); }}}))
    , monitor_({clock_, dialUp_, desktop_->linkBytes(), *info_, *tray_, menu_, sound_, form_, settings_,
                phonebook_.connNames(), autoHangup_, hangups_, keepCallLog ? &budget_ : nullptr,
                keepCallLog ? &budget_ : nullptr})
{
    // NetworkManager answers dials and hang-ups after the menu returned.
    dialUp_.onLateRefusal([this](const LateRefusal& refusal) { hangups_.refusedLater(refusal); });
    dialUp_.onPhonebookChanged([this] {
        phonebook_.changedOutside();
        takeNewPhonebook();
    });
    connect(tray_, &TrayBackend::activated, &form_, &MainForm::trayActivated);
    tray_->offerMenu(
        form_.mnuPop(), [this] { form_.exportedMenuAboutToShow(); },
        [this](QAction* entry) { form_.exportedMenuChosen(entry); });
    form_.setIconGeometry([this] { return tray_->iconGeometry(); });
    form_.setPressPosition([this] { return tray_->pressPosition(); });
    menu_.setCloseCommand([this] { shutdown(); });
    form_.setMenuClosedCommand(returnFreedMemory);
    // The dialog is a window of its own: the main form is never mapped.
    menu_.setSettingsCommand([this] {
        dialogSetup_.prepare();
        dialog_->mnuSettings_Click(nullptr);
    });
    menu_.setCallsCommand([this] { showCalls(); });
    // What the window system reports is taken in as it comes, not looked
    // for once a second, which would cost a call into the kernel each time.
    const int windowEvents = windows_->eventSocket();
    if (windowEvents >= 0) {
        windowEventsNotifier_ = std::make_unique<QSocketNotifier>(windowEvents, QSocketNotifier::Read);
        connect(windowEventsNotifier_.get(), &QSocketNotifier::activated, this, [this] { windows_->drainEvents(); });
    }
    connect(&form_.timer(), &QTimer::timeout, this, [this] {
        takeNewPhonebook();
        monitor_.Timer_Timer();
        tray_->checkTray();
        if (!windowEventsNotifier_)
            windows_->drainEvents();
    });
}

App::~App()
{
    callsWindow_.reset();
    // The dialog host closes an open dialog; it goes before what the dialog uses.
    dialog_.reset();
}

ScreenMetrics App::currentScreen() const
{
    ScreenMetrics metrics = screenMetrics(QGuiApplication::primaryScreen());
    metrics.layout = screenLayout();
    return metrics;
}

// A phonebook that changed after the start (NetworkManager's profiles arrive
// after it) comes with the tariffs stored for its entries.
void App::takeNewPhonebook()
{
    if (phonebook_.takeInChange())
        reloadTariffs(store_, phonebook_.connNames(), settings_.tariffs);
}

void App::showCalls()
{
    dialogSetup_.prepare();
    if (!callsWindow_) {
        callsWindow_ = std::make_unique<CallsWindow>(CallsWindowDeps{
            callStore_, clock_,
            [this] {
                std::vector<std::string> names;
                for (const std::string& name : phonebook_.connNames())
                    if (!name.empty())
                        names.push_back(name);
                return names;
            },
            [this](const QString& suggested) {
                return QFileDialog::getSaveFileName(callsWindow_.get(), QStringLiteral("Verbindungen speichern"),
                                                    QDir::home().filePath(suggested),
                                                    QStringLiteral("CSV-Dateien (*.csv)"));
            },
            [this](const QString& text) { messages_.warnWithoutWaiting(text); }, returnFreedMemory});
        // A call already up is shown as running from the start, not only at its next unit.
        if (calls_.current())
            callsWindow_->runningCall(*calls_.current());
    }
    callsWindow_->showWindow();
}

void App::start()
{
    autoHangup_.disarm();
    // activeConn: the monitor starts with none.
    phonebook_.reload();
    loadSettings(store_, phonebook_.connNames(), currentScreen(), kolpRectFinder(*windows_), settings_);
    tray_->trayAdd(TrayIcon::Offline, " Zumi ");
    form_.timer().start();
    tray_->hookMainWindow();
    reportUnusableSettingsFile();
    QTimer::singleShot(kSettleTime, this, returnFreedMemory);
}

// Once, at start: a settings file Zumi leaves alone means nothing is saved.
// The box waits beside the running program: one waiting for OK here would
// hold up the tray icon, the metering and the end.
void App::reportUnusableSettingsFile()
{
    const QString path = QString::fromStdString(store_.path().string());
    if (store_.tooLarge())
        messages_.warnWithoutWaiting(
            QStringLiteral("Die Einstellungsdatei %1 ist zu groß für eine Einstellungsdatei von Zumi.\n"
                           "Zumi startet mit den Voreinstellungen und lässt die Datei unverändert; "
                           "Einstellungen werden nicht gespeichert.")
                .arg(path));
    else if (store_.readOnly())
        messages_.warnWithoutWaiting(QStringLiteral("Die Einstellungsdatei %1 ist schreibgeschützt.\n"
                                                    "Geänderte Einstellungen werden nicht gespeichert.")
                                         .arg(path));
    else if (!store_.readable())
        messages_.warnWithoutWaiting(
            QStringLiteral("Die Einstellungsdatei %1 kann nicht gelesen werden.\n"
                           "Zumi startet mit den Voreinstellungen und lässt die Datei unverändert.")
                .arg(path));
}

void App::shutdown()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    tray_->unhookMainWindow();
    tray_->trayDelete();
    if (!saveSettings(store_, settings_.position))
        std::fprintf(stderr, "Zumi: Die Fensterposition konnte nicht in %s gespeichert werden.\n",
                     store_.path().c_str());
    info_->unload();
    // Form_Unload: whatever else is open goes without its own closing code.
    dialog_->closeWithoutSaving();
    if (callsWindow_)
        callsWindow_->close();
    form_.timer().stop();
    // exit, not quit: it ends every event loop running now, also those of
    // boxes still open, and no window can refuse it. Asked before the
    // program's own loop runs, it would be lost there: the queued one ends
    // that loop as soon as it starts.
    QCoreApplication::exit(0);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

} // namespace zumi
