#pragma once
#include "app/qt/message_boxes.h"
#include "core/conn_names.h"
#include "platform/dialup_access.h"
#include "platform/window_queries.h"
#include "tariff/auto_hangup_state.h"
#include "tariff/hangup_watch.h"
#include "tariff/monitor_views.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zumi {

struct MainFormDeps {
    DialUpAccess& dialUp;
    ConnNames& connNames;
    AutoHangupState& autoHangup;
    WindowQueries& windows;
    WindowActions& windowActions;
    MessageBoxes& messages;
    HangupWatch& hangups;
    std::function<std::int32_t()> activeConn; // the metered connection's index, -1 = none
};

// The hidden main form: owns the popup menu of the tray icon and runs its
// commands. It is never shown to the user.
// Where a menu of the given size opens for a tray icon: beside the icon's
// edge that faces the middle of the screen, so that no entry lies under the
// pointer that clicked the icon (a second click of a double click would
// otherwise choose that entry). An empty icon stands for the pointer.
QPoint trayMenuPosition(QRect icon, QSize menu, QRect screen, QPoint pointer);

class MainForm final : public QWidget, public MenuView, public PopupWatchdog {
    Q_OBJECT
public:
    static constexpr int kAutoHangupEntries = 10;

    explicit MainForm(MainFormDeps deps, QWidget* parent = nullptr);

    // What opens the menu and returns once it has closed (and the chosen command has run).
    using MenuExec = std::function<void(QMenu& menu, const QPoint& at)>;
    void setMenuExec(MenuExec exec) { menuExec_ = std::move(exec); }
    // Where the line of each tray click goes (standard error unless set).
    void setDebugOutput(std::function<void(const std::string&)> out) { debugOut_ = std::move(out); }
    // The watchdog's way of bringing the menu's owner back to the front.
    void setBringToFront(std::function<void()> bring) { bringToFront_ = std::move(bring); }
    // Where the tray icon lies on the screen (empty when the tray does not say).
    void setIconGeometry(std::function<QRect()> geometry) { iconGeometry_ = std::move(geometry); }
    // Where the tray says the press was (none: where the pointer is).
    void setPressPosition(std::function<std::optional<QPoint>()> position) { pressPosition_ = std::move(position); }
    // "&Einstellungen" and "&Beenden" are carried out elsewhere.
    void setSettingsCommand(std::function<void()> command) { settingsCommand_ = std::move(command); }
    void setCloseCommand(std::function<void()> command) { closeCommand_ = std::move(command); }
    // "Verbin&dungen…" opens the call log's window.
    void setCallsCommand(std::function<void()> command) { callsCommand_ = std::move(command); }
    // Run each time the tray menu has closed.
    void setMenuClosedCommand(std::function<void()> command) { menuClosedCommand_ = std::move(command); }

    // Reads the phonebook and rebuilds the provider entries; each is enabled
    // exactly when no connection is metered.
    void loadPhonebook();

    // A button press (or any other event) on the tray icon.
    void trayActivated(QSystemTrayIcon::ActivationReason reason);
    // The menu drawn by the notification area itself: before it shows, the
    // phonebook is read as for the own menu (not while that is open); an
    // entry chosen from it runs as from the own menu, unless a dialog of ours
    // holds the input, which is fetched instead.
    void exportedMenuAboutToShow();
    void exportedMenuChosen(QAction* entry);

    void mnuClose_Click();
    void mnuSettings_Click();
    void mnuAutoHangupEinheiten_Click(int index);
    void mnuProvider_Click(int index);
    void mnuDisconnect_Click();
    void doConnect(const std::string& cc);

    // MenuView
    void setDisconnectShown(bool shown) override;
    void setMeteringEnabled(bool metering) override;
    void uncheckAutoHangupEntries() override;
    // PopupWatchdog
    void run() override;

    // Timer: once a second, enabled from Form_Load for the form's whole life.
    QTimer& timer() { return Timer_; }

    QMenu& mnuPop() { return mnuPop_; }
    QAction* mnuClose() const { return mnuClose_; }
    QAction* mnuSettings() const { return mnuSettings_; }
    QAction* mnuCalls() const { return mnuCalls_; }
    QAction* mnuAutoHangup() const { return mnuAutoHangup_; }
    QAction* mnuAutoHangupEinheiten(int index) const { return mnuAutoHangupEinheiten_.at(index); }
    const std::vector<QAction*>& mnuProvider() const { return mnuProvider_; }
    QAction* mnuTrenn1() const { return mnuTrenn1_; }
    QAction* mnuDisconnect() const { return mnuDisconnect_; }

    bool popupOpen() const { return popupOpen_; }
    WindowId prevForeground() const { return prevForeground_; }
    bool busy() const { return busy_; }

private:
    void buildMenu();
    QAction* addProviderEntry();
    void bringOwnerToFront();
    // Brings a dialog or message box of ours that holds the input to the front; false when none does.
    bool fetchModal();
    QPoint menuPosition() const;

    MainFormDeps d_;
    QTimer Timer_;
    QMenu mnuPop_;
    QMenu autoHangupMenu_;
    QAction* mnuClose_ = nullptr;
    QAction* mnuSettings_ = nullptr;
    QAction* mnuCalls_ = nullptr;
    QAction* mnuAutoHangup_ = nullptr;
    std::array<QAction*, kAutoHangupEntries> mnuAutoHangupEinheiten_{};
    std::vector<QAction*> mnuProvider_;
    std::vector<std::string> providerNames_; // the sorted phonebook names behind the provider entries
    QAction* mnuTrenn1_ = nullptr;
    QAction* mnuDisconnect_ = nullptr;

    MenuExec menuExec_;
    std::function<void(const std::string&)> debugOut_;
    std::function<void()> bringToFront_;
    std::function<QRect()> iconGeometry_;
    std::function<std::optional<QPoint>()> pressPosition_;
    std::function<void()> settingsCommand_;
    std::function<void()> closeCommand_;
    std::function<void()> callsCommand_;
    std::function<void()> menuClosedCommand_;

    bool busy_ = false;
    bool popupOpen_ = false;
    WindowId prevForeground_ = 0;
};

} // namespace zumi
