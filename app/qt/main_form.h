#pragma once
#include "app/tray_menu.h"
#include "platform/window_queries.h"
#include "tariff/monitor_views.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zumi {

struct MainFormDeps {
    TrayMenu& menu;
    WindowQueries& windows;
    WindowActions& windowActions;
};

// Where a menu of the given size opens for a tray icon: beside the icon's
// edge that faces the middle of the screen, so that no entry lies under the
// pointer that clicked the icon (a second click of a double click would
// otherwise choose that entry). An empty icon stands for the pointer.
QPoint trayMenuPosition(QRect icon, QSize menu, QRect screen, QPoint pointer);

// The hidden main form: shows the tray menu as a QMenu, kept in step with
// the menu's model, opens it where the tray was pressed and hands the chosen
// entry back. It is never shown to the user.
class MainForm final : public QWidget, public PopupWatchdog {
    Q_OBJECT
public:
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
    // Run each time the tray menu has closed.
    void setMenuClosedCommand(std::function<void()> command) { menuClosedCommand_ = std::move(command); }

    // A button press (or any other event) on the tray icon.
    void trayActivated(QSystemTrayIcon::ActivationReason reason);
    // The menu drawn by the notification area itself: before it shows, the
    // phonebook is read as for the own menu (not while that is open); an
    // entry chosen from it runs as from the own menu, unless a dialog of ours
    // holds the input, which is fetched instead.
    void exportedMenuAboutToShow();
    void exportedMenuChosen(QAction* entry);

    // PopupWatchdog
    void run() override;

    // Timer: once a second, enabled from Form_Load for the form's whole life.
    QTimer& timer() { return Timer_; }

    QMenu& mnuPop() { return mnuPop_; }
    QAction* mnuSettings() const { return mnuSettings_; }
    QAction* mnuAutoHangupEinheiten(int index) const { return mnuAutoHangupEinheiten_.at(index); }
    const std::vector<QAction*>& mnuProvider() const { return mnuProvider_; }
    QAction* mnuDisconnect() const { return mnuDisconnect_; }

    bool popupOpen() const { return popupOpen_; }
    bool busy() const { return busy_; }

private:
    void buildMenu();
    // Brings the QMenu in line with the model.
    void showModel();
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
    std::array<QAction*, TrayMenu::kAutoHangupEntries> mnuAutoHangupEinheiten_{};
    std::vector<QAction*> mnuProvider_;
    QAction* mnuTrenn1_ = nullptr;
    QAction* mnuDisconnect_ = nullptr;

    MenuExec menuExec_;
    std::function<void(const std::string&)> debugOut_;
    std::function<void()> bringToFront_;
    std::function<QRect()> iconGeometry_;
    std::function<std::optional<QPoint>()> pressPosition_;
    std::function<void()> menuClosedCommand_;

    bool busy_ = false;
    bool popupOpen_ = false;
    WindowId prevForeground_ = 0;
};

} // namespace zumi
