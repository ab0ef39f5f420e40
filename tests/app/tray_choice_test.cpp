#include "app/qt_platform_choice.h"
#include "app/sni/sni_types.h"
#include "app/tray_choice.h"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

namespace zumi {
namespace {

TEST(TrayChoice, StatusNotifierItemWhereAWatcherRunsOrTheSessionIsWaylands)
{
    EXPECT_EQ(chooseTrayKind({false, "x11", false}), TrayKind::Toolkit);
    EXPECT_EQ(chooseTrayKind({false, "", false}), TrayKind::Toolkit);
    EXPECT_EQ(chooseTrayKind({true, "x11", false}), TrayKind::StatusNotifierItem);
    // A Wayland panel's watcher may come after the program.
    EXPECT_EQ(chooseTrayKind({false, "wayland", false}), TrayKind::StatusNotifierItem);
    EXPECT_EQ(chooseTrayKind({false, "", true}), TrayKind::StatusNotifierItem);
}

TEST(PlatformChoice, XWaylandOnlyWhenItRunsAndTheUserChoseNothing)
{
    EXPECT_EQ(platformOverride({true, true, false}), std::optional<std::string>("xcb"));
    EXPECT_EQ(platformOverride({true, true, true}), std::nullopt);   // the user's own QT_QPA_PLATFORM
    EXPECT_EQ(platformOverride({true, false, false}), std::nullopt); // native Wayland only
    EXPECT_EQ(platformOverride({false, true, false}), std::nullopt); // X11: as it always was
    EXPECT_EQ(platformOverride({false, false, false}), std::nullopt);
}

TEST(SniPixmap, AlphaRedGreenBlueBytesRowByRowNotPremultiplied)
{
    QImage image(2, 2, QImage::Format_ARGB32_Premultiplied);
    image.setPixelColor(0, 0, QColor(0x11, 0x22, 0x33, 0xff));
    image.setPixelColor(1, 0, QColor(0xff, 0x00, 0x00, 0x80)); // half transparent red
    image.setPixelColor(0, 1, QColor(0x00, 0x00, 0xff, 0xff));
    image.setPixelColor(1, 1, QColor(0x00, 0x00, 0x00, 0x00));
    const SniPixmap pixmap = sniPixmap(image);
    EXPECT_EQ(pixmap.width, 2);
    EXPECT_EQ(pixmap.height, 2);
    EXPECT_EQ(pixmap.argb,
              QByteArray::fromHex("ff112233"
                                  "80ff0000"
                                  "ff0000ff"
                                  "00000000"));
}

TEST(SniPixmap, EachSizeOnceAndNeverScaledUp)
{
    QPixmap small(16, 16);
    small.fill(Qt::blue);
    QPixmap large(32, 32);
    large.fill(Qt::blue);
    QIcon icon;
    icon.addPixmap(small);
    icon.addPixmap(large);
    QList<int> sizes;
    for (const SniPixmap& p : sniPixmaps(icon, {16, 22, 32, 48, 64}))
        sizes.append(p.width * 1000 + p.height);
    EXPECT_EQ(sizes, (QList<int>{16016, 22022, 32032}));
}

} // namespace
} // namespace zumi
