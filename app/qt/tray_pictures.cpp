#include "app/qt/tray_pictures.h"

#include "tray_icon_pixels.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace zumi {

namespace {

// Draws the largest picture that fits the place whole, unscaled: a tray
// whose place lies between two sizes (22 x 30, say) would otherwise have the
// larger one scaled down at every repaint, and the toolkit starts a pool of
// threads for that.
class FittingPictures final : public QIconEngine {
public:
    explicit FittingPictures(QList<QPixmap> ascending)
        : pictures_(std::move(ascending))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device()->devicePixelRatio();
        const QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        if (picture.isNull())
            return;
        QRect place(QPoint(), picture.size() / ratio);
        place.moveCenter(rect.center());
        painter->drawPixmap(place, picture);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        if (side <= 0)
            return {};
        for (auto picture = pictures_.crbegin(); picture != pictures_.crend(); ++picture)
            if (picture->width() <= side)
                return *picture;
        return pictures_.front().scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return pixmap(size, mode, state).size();
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const QPixmap& picture : pictures_)
            sizes << picture.size();
        return sizes;
    }

    QIconEngine* clone() const override { return new FittingPictures(pictures_); }

private:
    QList<QPixmap> pictures_;
};

// The pictures come as pixels, no PNG to decode.
template <std::size_t N>
QIcon iconOf(const tray_icons::Pixels (&pictures)[N])
{
    QList<QPixmap> pixmaps;
    for (const tray_icons::Pixels& picture : pictures) {
        const QImage image(reinterpret_cast<const uchar*>(picture.argb), picture.size, picture.size, picture.size * 4,
                           QImage::Format_ARGB32_Premultiplied);
        pixmaps << QPixmap::fromImage(image);
    }
    return QIcon(new FittingPictures(std::move(pixmaps)));
}

} // namespace

QIcon trayPicture(TrayIcon icon)
{
    return icon == TrayIcon::Online ? iconOf(tray_icons::red) : iconOf(tray_icons::blue);
}

} // namespace zumi
