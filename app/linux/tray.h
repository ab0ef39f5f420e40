#pragma once
#include "app/qt/tray_backend.h"

#include <QAbstractNativeEventFilter>
#include <QIcon>
#include <QSystemTrayIcon>

#include <functional>
#include <string>

namespace zumi {

class X11TrayHost;

// The tray icon through the toolkit's own tray (an XEmbed tray on X11). The
// window system's tray may come and go (the panel restarts); while the tray
// is watched, the icon is put back each time a new tray host announces
// itself (on X11), or else each time a look at the tray on the main form's
// one-second tick finds it back (which misses a host that is back within the
// second).
class Tray final : public TrayBackend, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    struct Deps {
        std::function<bool()> infoWindowVisible;
        std::function<bool()> trayAvailable = &QSystemTrayIcon::isSystemTrayAvailable;
        X11TrayHost* host = nullptr; // the X11 tray host's watch, when the toolkit is on X11; outlives the tray
    };
    explicit Tray(Deps deps, QObject* parent = nullptr);
    ~Tray() override;

    void trayAdd(TrayIcon icon, const std::string& text) override;
    void trayModify(TrayIcon icon, const std::string& text) override;
    void trayDelete() override;

    void hookMainWindow() override;
    void unhookMainWindow() override;
    bool hooked() const { return hooked_; }
    // One look at the tray while it is watched and no tray host is followed:
    // when it has come back since the last look, the icon is added again.
    // With a host followed, a look at what its connection holds back.
    void checkTray() override;

    bool shown() const override { return trayIcon_.isVisible(); }
    TrayIcon currentIcon() const override { return current_; }
    QString toolTip() const override { return trayIcon_.toolTip(); }
    QRect iconGeometry() const override { return trayIcon_.geometry(); }
    std::optional<QPoint> pressPosition() const override { return std::nullopt; }
    QSystemTrayIcon& systemTrayIcon() { return trayIcon_; }

private:
    void setIcon(TrayIcon icon);
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    void followTrayHost();

    Deps deps_;
    QSystemTrayIcon trayIcon_;
    QIcon blue_;
    QIcon red_;
    TrayIcon current_ = TrayIcon::Offline;
    bool hooked_ = false;
    bool lastAvailable_ = false;
    bool hostCameBack_ = false; // a new host's re-adding is under way
};

} // namespace zumi
