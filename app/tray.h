#pragma once
#include "tariff/monitor_views.h"

#include <QAbstractNativeEventFilter>
#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;

namespace zumi {

class X11TrayHost;

// The tray icon: blue while offline, red while a connection is metered, and a
// button press on it reported through activated(). The window system's tray
// may come and go (the panel restarts); while the tray is watched, the icon
// is put back each time a new tray host announces itself (on X11), or else
// each time a look at the tray on the main form's one-second tick finds it
// back (which misses a host that is back within the second).
class Tray final : public QObject, public TrayView, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    struct Deps {
        std::function<bool()> infoWindowVisible;
        std::function<bool()> trayAvailable = &QSystemTrayIcon::isSystemTrayAvailable;
    };
    explicit Tray(Deps deps, QObject* parent = nullptr);
    ~Tray() override;

    // Shows the icon; the tooltip is the text with one blank on each side.
    void trayAdd(TrayIcon icon, const std::string& text);
    // Changes picture and tooltip; the text is taken as it is.
    void trayModify(TrayIcon icon, const std::string& text) override;
    void trayDelete();

    // Start and stop watching the tray for a restart. Calling either twice is harmless.
    void hookMainWindow();
    void unhookMainWindow();
    bool hooked() const { return hooked_; }
    // One look at the tray while it is watched and no tray host is followed:
    // when it has come back since the last look, the icon is added again.
    void checkTray();

    bool shown() const { return trayIcon_.isVisible(); }
    TrayIcon currentIcon() const { return current_; }
    QString toolTip() const { return trayIcon_.toolTip(); }
    QSystemTrayIcon& systemTrayIcon() { return trayIcon_; }

signals:
    // Every activation as the tray reports it; the main form decides what counts.
    void activated(QSystemTrayIcon::ActivationReason reason);

private:
    void setIcon(TrayIcon icon);
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    void addAgain();
    void followTrayHost();

    Deps deps_;
    QSystemTrayIcon trayIcon_;
    QIcon blue_;
    QIcon red_;
    TrayIcon current_ = TrayIcon::Offline;
    bool hooked_ = false;
    bool lastAvailable_ = false;
    std::unique_ptr<X11TrayHost> host_;
    std::unique_ptr<QSocketNotifier> hostNotifier_;
};

} // namespace zumi
