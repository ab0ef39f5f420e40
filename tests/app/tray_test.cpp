#include "app/linux/sni/sni_types.h"
#include "app/linux/tray.h"
#include "app/qt/tray_pictures.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace zumi {
namespace {

// The colour of the picture's ring, left of the centre, in each size it
// comes in (those of the usual trays, so that none is scaled).
std::string colourOf(Tray& tray)
{
    const QIcon icon = tray.systemTrayIcon().icon();
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{16, 16}, {22, 22}, {24, 24}, {32, 32}}));
    std::string names;
    for (int size : {16, 22, 24, 32}) {
        const QColor c = icon.pixmap(size, size).toImage().pixelColor(size / 5, size / 2);
        names += c.blue() > 2 * c.red() ? "blue " : c.red() > 2 * c.blue() ? "red " : c.name().toStdString() + " ";
    }
    return names;
}

// A place between two sizes gets the smaller picture whole and centred, not
// the larger one scaled down at every repaint.
TEST(TrayPicture, FillsAPlaceBetweenTwoSizesWithTheSmallerUnscaled)
{
    const QIcon icon = trayPicture(TrayIcon::Offline);
    for (const QSize place : {QSize(22, 30), QSize(30, 30)}) {
        QImage canvas(place, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        icon.paint(&painter, QRect(QPoint(), place));
        painter.end();
        const int side = place.width() == 22 ? 22 : 24;
        const QImage picture = icon.pixmap(side, side).toImage().convertToFormat(canvas.format());
        EXPECT_EQ(canvas.copy((place.width() - side) / 2, (place.height() - side) / 2, side, side), picture)
            << place.width() << "x" << place.height();
    }
    EXPECT_EQ(icon.pixmap(12, 12).size(), QSize(12, 12)) << "a place below the smallest gets it scaled";
}

TEST(Tray, PicturesTooltipsAndReAddingAfterTheTrayRestarts)
{
    bool available = true;
    bool infoVisible = false;
    Tray tray{{[&] { return infoVisible; }, [&] { return available; }}};
    const auto restartTray = [&] {
        available = false;
        tray.checkTray();
        available = true;
        tray.checkTray();
    };
    tray.trayAdd(TrayIcon::Offline, " Zumi ");
    EXPECT_EQ(colourOf(tray), "blue blue blue blue ");
    tray.trayModify(TrayIcon::Online, "Connected: Arcor");
    EXPECT_EQ(tray.toolTip(), "Connected: Arcor");
    EXPECT_EQ(colourOf(tray), "red red red red ");

    tray.hookMainWindow();
    tray.checkTray();
    EXPECT_EQ(tray.toolTip(), "Connected: Arcor"); // no restart, nothing re-added
    restartTray();
    EXPECT_EQ(tray.toolTip(), "  Zumi  ");
    infoVisible = true;
    restartTray();
    EXPECT_EQ(tray.toolTip(), "  Zumi - Verbunden  ");

    tray.unhookMainWindow();
    tray.trayModify(TrayIcon::Online, "Connected: Arcor");
    restartTray(); // no longer watched: nothing re-added
    EXPECT_EQ(tray.toolTip(), "Connected: Arcor");
    tray.trayDelete();
    EXPECT_FALSE(tray.shown());
}

// Alpha, red, green, blue bytes row by row, not premultiplied; each size once and never scaled up.
TEST(SniPixmap, BytesAndSizes)
{
    QImage image(2, 2, QImage::Format_ARGB32_Premultiplied);
    image.setPixelColor(0, 0, QColor(0x11, 0x22, 0x33, 0xff));
    image.setPixelColor(1, 0, QColor(0xff, 0x00, 0x00, 0x80)); // half transparent red
    image.setPixelColor(0, 1, QColor(0x00, 0x00, 0xff, 0xff));
    image.setPixelColor(1, 1, QColor(0x00, 0x00, 0x00, 0x00));
    const SniPixmap pixmap = sniPixmap(image);
    EXPECT_EQ(QSize(pixmap.width, pixmap.height), QSize(2, 2));
    EXPECT_EQ(pixmap.argb, QByteArray::fromHex("ff112233 80ff0000 ff0000ff 00000000"));
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap picture(size, size);
        picture.fill(Qt::blue);
        icon.addPixmap(picture);
    }
    QList<int> sizes;
    for (const SniPixmap& p : sniPixmaps(icon, {16, 22, 32, 48, 64}))
        sizes.append(p.width * 1000 + p.height);
    EXPECT_EQ(sizes, (QList<int>{16016, 22022, 32032}));
}

} // namespace
} // namespace zumi
