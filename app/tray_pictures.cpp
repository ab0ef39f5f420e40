#include "app/tray_pictures.h"

#include <QImageReader>
#include <QPixmap>
#include <QString>

// The icons are compiled into the library; a static library needs them named
// once so the linker keeps them.
static void initTrayIcons()
{
    Q_INIT_RESOURCE(app_icons);
}

namespace zumi {

namespace {

QIcon loadIcon(const QString& colour)
{
    initTrayIcons();
    QIcon icon;
    for (int size : {16, 32}) {
        // Read as the PNG it is: guessing the format would load every image
        // format plugin there is, to stay in memory for the program's run.
        QImageReader reader(QStringLiteral(":/icons/net-%1-%2.png").arg(colour).arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

} // namespace

QIcon trayPicture(TrayIcon icon)
{
    return loadIcon(icon == TrayIcon::Online ? QStringLiteral("red") : QStringLiteral("blue"));
}

} // namespace zumi
