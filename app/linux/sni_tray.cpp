#include "app/linux/sni_tray.h"

#include "app/qt/tray_pictures.h"
#include "app/tray_text.h"

#include <cstdio>

namespace zumi {

SniTray::SniTray(std::function<bool()> infoWindowVisible, QObject* parent)
    : TrayBackend(parent)
    , infoWindowVisible_(std::move(infoWindowVisible))
    , blue_(trayPicture(TrayIcon::Offline))
    , red_(trayPicture(TrayIcon::Online))
    , item_(QStringLiteral("zumi"), QStringLiteral("Zumi"),
            {[this](StatusNotifierItem::Press press, QPoint at) { pressed(press, at); },
             [this] {
                 if (hooked_)
                     addAgain(infoWindowVisible_ && infoWindowVisible_());
             }})
{
    item_.setIcon(blue_);
}

void SniTray::setIcon(TrayIcon icon)
{
    if (icon == current_)
        return;
    current_ = icon;
    item_.setIcon(icon == TrayIcon::Online ? red_ : blue_);
}

void SniTray::trayAdd(TrayIcon icon, const std::string& text)
{
    setIcon(icon);
    item_.setToolTip(QString::fromStdString(trayAddTooltip(text)));
    if (!item_.show() && !toldNoBus_) {
        // Said once: without the bus no panel can show the icon, and the menu
        // cannot be reached.
        toldNoBus_ = true;
        std::fprintf(stderr,
                     "Zumi: Der Sitzungsbus (D-Bus) ist nicht erreichbar; das Symbol im Infobereich "
                     "kann nicht angezeigt werden, und das Menü ist nicht erreichbar.\n");
    }
}

void SniTray::trayModify(TrayIcon icon, const std::string& text)
{
    setIcon(icon);
    item_.setToolTip(QString::fromStdString(trayModifyTooltip(text)));
}

void SniTray::offerMenu(QMenu& menu, std::function<void()> aboutToShow, std::function<void(QAction*)> chosen)
{
    item_.exportMenu(menu, {std::move(aboutToShow), std::move(chosen)});
}

void SniTray::trayDelete()
{
    item_.hide();
}

void SniTray::pressed(StatusNotifierItem::Press press, QPoint at)
{
    // Some panels send no position (0, 0): the pointer's then.
    pressedAt_ = at.isNull() ? std::nullopt : std::optional<QPoint>(at);
    switch (press) {
    case StatusNotifierItem::Press::Primary:
        emit activated(QSystemTrayIcon::Trigger);
        break;
    case StatusNotifierItem::Press::Context:
        emit activated(QSystemTrayIcon::Context);
        break;
    case StatusNotifierItem::Press::Secondary: // the middle button
        emit activated(QSystemTrayIcon::MiddleClick);
        break;
    }
}

} // namespace zumi
