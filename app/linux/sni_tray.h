#pragma once
#include "app/linux/sni/status_notifier_item.h"
#include "app/qt/tray_backend.h"

#include <QIcon>

#include <functional>
#include <optional>

namespace zumi {

// The tray icon as a StatusNotifierItem, for panels that host those (KDE
// Plasma, GNOME with the AppIndicator extension, waybar), on Wayland among
// them. The panel's StatusNotifierWatcher may start after the program or
// start again; while the tray is watched, each start of one gets the icon
// added again. A left and a right button press both ask for the menu, at the
// position the panel gives; a panel that draws menus itself takes the
// exported one instead.
class SniTray final : public TrayBackend {
    Q_OBJECT
public:
    explicit SniTray(std::function<bool()> infoWindowVisible, QObject* parent = nullptr);

    void trayAdd(TrayIcon icon, const std::string& text) override;
    void trayModify(TrayIcon icon, const std::string& text) override;
    void trayDelete() override;

    void hookMainWindow() override { hooked_ = true; }
    void unhookMainWindow() override { hooked_ = false; }
    // The watcher's comings and goings arrive over the bus as they happen.
    void checkTray() override {}

    bool shown() const override { return item_.shown(); }
    TrayIcon currentIcon() const override { return current_; }
    QString toolTip() const override { return item_.toolTipText(); }
    QRect iconGeometry() const override { return {}; }
    std::optional<QPoint> pressPosition() const override { return pressedAt_; }
    // Exported over com.canonical.dbusmenu at the item's Menu path.
    void offerMenu(QMenu& menu, std::function<void()> aboutToShow, std::function<void(QAction*)> chosen) override;

    StatusNotifierItem& item() { return item_; }

private:
    void setIcon(TrayIcon icon);
    void pressed(StatusNotifierItem::Press press, QPoint at);

    std::function<bool()> infoWindowVisible_;
    QIcon blue_;
    QIcon red_;
    StatusNotifierItem item_;
    TrayIcon current_ = TrayIcon::Offline;
    bool hooked_ = false;
    bool toldNoBus_ = false;
    std::optional<QPoint> pressedAt_;
};

} // namespace zumi
