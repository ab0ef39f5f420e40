#pragma once
#include "app/linux/sni/dbus_menu_exporter.h"
#include "app/linux/sni/sni_types.h"

#include <QDBusServiceWatcher>
#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>
#include <memory>

class QMenu;

namespace zumi {

class StatusNotifierItemAdaptor;

// A StatusNotifierItem on the session bus: the icon of the notification area
// of KDE Plasma, of GNOME with the AppIndicator extension and of waybar. It
// owns the name org.kde.StatusNotifierItem-PID-N while shown, exports
// /StatusNotifierItem and tells the StatusNotifierWatcher about itself; the
// watcher's name is followed, so that a watcher that starts later or starts
// again is reported through watcherAppeared.
class StatusNotifierItem final : public QObject {
    Q_OBJECT
public:
    enum class Press { Primary, Secondary, Context };
    struct Callbacks {
        // A button press on the icon at the screen position the host gives.
        std::function<void(Press press, QPoint at)> pressed;
        // A StatusNotifierWatcher has taken its name on the bus.
        std::function<void()> watcherAppeared;
    };

    StatusNotifierItem(QString id, QString title, Callbacks callbacks, QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    // Claims the name, exports the item and registers it with the watcher
    // (again, when shown already). False when the bus refuses.
    bool show();
    // Gives the name back: hosts drop the icon.
    void hide();
    bool shown() const { return shown_; }
    // Registers with the watcher now, when the item is shown.
    void registerWithWatcher();

    // Offers the menu over com.canonical.dbusmenu as well, to hosts that draw
    // it themselves; before the item is shown, since hosts read Menu once.
    void exportMenu(QMenu& menu, DBusMenuExporter::Callbacks callbacks);
    DBusMenuExporter* menuExporter() const { return menu_.get(); }
    // Where the menu is on the bus, "/NO_DBUSMENU" without one.
    QString menuPath() const;

    void setIcon(const QIcon& icon);
    void setToolTip(const QString& text);

    QString serviceName() const { return serviceName_; }
    QString id() const { return id_; }
    QString title() const { return title_; }
    QString status() const { return shown_ ? QStringLiteral("Active") : QStringLiteral("Passive"); }
    const SniPixmaps& iconPixmap() const { return pixmaps_; }
    SniToolTip toolTip() const { return {QString(), SniPixmaps(), toolTip_, QString()}; }
    QString toolTipText() const { return toolTip_; }

    // From the host, through the bus.
    void press(Press press, QPoint at);

private:
    void tryRegister(int attemptsLeft);

    QString id_;
    QString title_;
    Callbacks callbacks_;
    QString serviceName_;
    StatusNotifierItemAdaptor* adaptor_;
    std::unique_ptr<DBusMenuExporter> menu_;
    QDBusServiceWatcher watcher_;
    SniPixmaps pixmaps_;
    QString toolTip_;
    bool shown_ = false;
    int registration_ = 0; // counts registrations begun, so a stale retry gives up
};

// Whether a StatusNotifierWatcher owns its name on the session bus now.
bool statusNotifierWatcherPresent();

} // namespace zumi
