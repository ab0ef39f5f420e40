#include "app/tray_pictures.h"

#include "tray_icon_pixels.h"

#include <QImage>
#include <QPixmap>

namespace zumi {

namespace {

// The pictures come as pixels in the sizes trays ask for: a tray of one of
// them gets its picture without PNG decoding or scaling.
template <std::size_t N>
QIcon iconOf(const tray_icons::Pixels (&pictures)[N])
{
    QIcon icon;
    for (const tray_icons::Pixels& picture : pictures) {
        const QImage image(reinterpret_cast<const uchar*>(picture.argb), picture.size, picture.size, picture.size * 4,
                           QImage::Format_ARGB32_Premultiplied);
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace

QIcon trayPicture(TrayIcon icon)
{
    return icon == TrayIcon::Online ? iconOf(tray_icons::red) : iconOf(tray_icons::blue);
}

} // namespace zumi
