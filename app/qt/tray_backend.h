#pragma once
#include "tariff/monitor_views.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QSystemTrayIcon>

#include <functional>
#include <optional>
#include <string>

class QAction;
class QMenu;

namespace zumi {

// The notification-area icon as the program drives it, whichever kind of
// notification area the desktop has: blue while offline, red while a
// connection is metered, a button press reported through activated(), and
// the icon put back while the tray is watched whenever the notification area
// comes back after a restart.
class TrayBackend : public QObject, public TrayView {
    Q_OBJECT
public:
    using QObject::QObject;

    // Shows the icon; the tooltip is the text with one blank on each side.
    virtual void trayAdd(TrayIcon icon, const std::string& text) = 0;
    // trayModify (TrayView) changes picture and tooltip; the text is taken as it is.
    virtual void trayDelete() = 0;

    // Start and stop watching the tray for a restart. Calling either twice is harmless.
    virtual void hookMainWindow() = 0;
    virtual void unhookMainWindow() = 0;
    // The main form's once-a-second look at the tray, for a tray that cannot
    // tell when it is back.
    virtual void checkTray() = 0;

    virtual bool shown() const = 0;
    virtual TrayIcon currentIcon() const = 0;
    virtual QString toolTip() const = 0;
    // Where the icon lies on the screen; empty when the tray does not say.
    virtual QRect iconGeometry() const = 0;
    // Where the notification area says the last press was; none when the
    // pointer's own position is to be used.
    virtual std::optional<QPoint> pressPosition() const = 0;

    // The menu offered to a notification area that draws it itself: what is
    // done before it shows, and with an entry chosen from it. A tray without
    // such a menu leaves it to the press and the program's own menu.
    virtual void offerMenu(QMenu&, std::function<void()> /*aboutToShow*/, std::function<void(QAction*)> /*chosen*/) {}

signals:
    // Every activation as the tray reports it; the main form decides what counts.
    void activated(QSystemTrayIcon::ActivationReason reason);

protected:
    // The icon added again after the notification area came back: red while
    // the info window shows (a connection is metered), else blue.
    void addAgain(bool infoWindowVisible);
};

} // namespace zumi
