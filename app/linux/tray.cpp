#include "app/linux/tray.h"

#include "app/qt/tray_pictures.h"
#include "app/tray_text.h"
#include "platform/x11/x11_tray_host.h"

#include <QApplication>
#include <QWidget>

namespace zumi {

Tray::Tray(Deps deps, QObject* parent)
    : TrayBackend(parent)
    , deps_(std::move(deps))
    , blue_(trayPicture(TrayIcon::Offline))
    , red_(trayPicture(TrayIcon::Online))
{
    trayIcon_.setIcon(blue_);
    // Queued, so that the menu's own event loop does not run inside the
    // tray's event handling.
    connect(&trayIcon_, &QSystemTrayIcon::activated, this, &Tray::activated, Qt::QueuedConnection);
    followTrayHost();
}

// While a dialog or message box of ours is modal, the toolkit keeps presses
// from the icon; they are still reported, so that the press can fetch it.
bool Tray::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !deps_.host || eventType != "xcb_generic_event_t")
        return false;
    const std::optional<X11ButtonPress> press = deps_.host->buttonPress(message);
    if (!press || !trayIcon_.geometry().contains(press->rootX, press->rootY))
        return false;
    const QWidget* pressed = QWidget::find(static_cast<WId>(press->window));
    if (!pressed || pressed->window() == modal->window())
        return false;
    const auto reason = press->right ? QSystemTrayIcon::Context : QSystemTrayIcon::Trigger;
    QMetaObject::invokeMethod(
        this, [this, reason] { emit activated(reason); }, Qt::QueuedConnection);
    return false;
}

Tray::~Tray()
{
    if (deps_.host)
        deps_.host->onNewHost({});
}

void Tray::setIcon(TrayIcon icon)
{
    current_ = icon;
    trayIcon_.setIcon(icon == TrayIcon::Online ? red_ : blue_);
}

void Tray::trayAdd(TrayIcon icon, const std::string& text)
{
    setIcon(icon);
    trayIcon_.setToolTip(QString::fromStdString(trayAddTooltip(text)));
    trayIcon_.show();
}

void Tray::trayModify(TrayIcon icon, const std::string& text)
{
    setIcon(icon);
    trayIcon_.setToolTip(QString::fromStdString(trayModifyTooltip(text)));
}

void Tray::trayDelete()
{
    trayIcon_.hide();
}

void Tray::hookMainWindow()
{
    if (hooked_)
        return;
    lastAvailable_ = deps_.trayAvailable();
    hooked_ = true;
}

void Tray::followTrayHost()
{
    if (!deps_.host)
        return;
    QCoreApplication::instance()->installNativeEventFilter(this);
    // Heard while the window system's events are read, which may be amid a
    // query of the info window: the icon is put back after it.
    deps_.host->onNewHost([this] {
        if (hostCameBack_)
            return;
        hostCameBack_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                hostCameBack_ = false;
                if (hooked_)
                    addAgain(deps_.infoWindowVisible && deps_.infoWindowVisible());
            },
            Qt::QueuedConnection);
    });
}

void Tray::unhookMainWindow()
{
    hooked_ = false;
}

void Tray::checkTray()
{
    if (deps_.host) {
        deps_.host->takeQueued();
        return;
    }
    if (!hooked_)
        return;
    const bool available = deps_.trayAvailable();
    const bool cameBack = available && !lastAvailable_;
    lastAvailable_ = available;
    if (cameBack)
        addAgain(deps_.infoWindowVisible && deps_.infoWindowVisible());
}

} // namespace zumi
