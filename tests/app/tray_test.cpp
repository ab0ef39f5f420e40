#include "tray.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

namespace zumi {
namespace {

// Which colour dominates the picture the tray shows (a pixel of the ring, left of centre).
QString colourOf(QSystemTrayIcon& trayIcon, int size)
{
    const QImage image = trayIcon.icon().pixmap(size, size).toImage();
    const QColor c = image.pixelColor(size / 5, size / 2);
    if (c.blue() > 2 * c.red() && c.blue() > 100)
        return "blue";
    if (c.red() > 2 * c.blue() && c.red() > 100)
        return "red";
    return c.name();
}

struct TrayFixture : ::testing::Test {
    bool available = true;
    bool infoVisible = false;
    Tray tray{{[this] { return infoVisible; }, [this] { return available; }}};
};

TEST_F(TrayFixture, AddModifyDeleteShowTheRightPictureAndTooltip)
{
    tray.trayAdd(TrayIcon::Offline, " Zumi ");
    EXPECT_TRUE(tray.shown());
    EXPECT_EQ(tray.toolTip(), "  Zumi  ");
    EXPECT_EQ(tray.currentIcon(), TrayIcon::Offline);
    EXPECT_EQ(colourOf(tray.systemTrayIcon(), 16), "blue");
    EXPECT_EQ(colourOf(tray.systemTrayIcon(), 32), "blue");

    tray.trayModify(TrayIcon::Online, "Connected: Arcor Call&Surf");
    EXPECT_EQ(tray.toolTip(), "Connected: Arcor Call&Surf");
    EXPECT_EQ(colourOf(tray.systemTrayIcon(), 16), "red");
    EXPECT_EQ(colourOf(tray.systemTrayIcon(), 32), "red");

    tray.trayModify(TrayIcon::Offline, " Zumi ");
    EXPECT_EQ(tray.toolTip(), " Zumi ");
    EXPECT_EQ(colourOf(tray.systemTrayIcon(), 16), "blue");

    tray.trayModify(TrayIcon::Online, "Connected: " + std::string(60, 'q'));
    EXPECT_EQ(tray.toolTip().size(), 63);

    tray.trayDelete();
    EXPECT_FALSE(tray.shown());
}

TEST_F(TrayFixture, IconComesBackWhenTheTrayRestarts)
{
    tray.trayAdd(TrayIcon::Offline, " Zumi ");
    tray.hookMainWindow();
    tray.hookMainWindow(); // harmless twice
    EXPECT_TRUE(tray.hooked());

    // Tray still there: nothing is re-added, a modified tooltip stays.
    tray.trayModify(TrayIcon::Offline, " Zumi ");
    tray.checkTray();
    EXPECT_EQ(tray.toolTip(), " Zumi ");

    // Restart while offline: blue, two blanks on each side.
    available = false;
    tray.checkTray();
    EXPECT_EQ(tray.toolTip(), " Zumi ");
    available = true;
    tray.checkTray();
    EXPECT_EQ(tray.toolTip(), "  Zumi  ");
    EXPECT_EQ(tray.currentIcon(), TrayIcon::Offline);
    EXPECT_TRUE(tray.shown());

    // Restart while online: red, " Zumi - Verbunden " padded once more.
    tray.trayModify(TrayIcon::Online, "Connected: Arcor");
    infoVisible = true;
    available = false;
    tray.checkTray();
    available = true;
    tray.checkTray();
    EXPECT_EQ(tray.toolTip(), "  Zumi - Verbunden  ");
    EXPECT_EQ(tray.currentIcon(), TrayIcon::Online);
    EXPECT_EQ(colourOf(tray.systemTrayIcon(), 16), "red");

    // Once unhooked, a restart goes unnoticed; unhooking twice is harmless.
    tray.unhookMainWindow();
    tray.unhookMainWindow();
    EXPECT_FALSE(tray.hooked());
    tray.trayModify(TrayIcon::Offline, " Zumi ");
    infoVisible = false;
    available = false;
    tray.checkTray();
    available = true;
    tray.checkTray();
    EXPECT_EQ(tray.toolTip(), "  Zumi  "); // checkTray itself still works when asked
}

TEST_F(TrayFixture, WatchingPollsTheTrayByItself)
{
    tray.trayAdd(TrayIcon::Offline, " Zumi ");
    tray.trayModify(TrayIcon::Offline, " Zumi ");
    tray.hookMainWindow();
    available = false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 3 * Tray::kPollMilliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    available = true;
    clock.restart();
    while (tray.toolTip() != "  Zumi  " && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(tray.toolTip(), "  Zumi  ");
    EXPECT_LT(clock.elapsed(), 1000);
}

TEST_F(TrayFixture, ActivationsArePassedOnAfterTheTrayEventHasBeenHandled)
{
    std::vector<QSystemTrayIcon::ActivationReason> seen;
    QObject::connect(&tray, &Tray::activated, [&](QSystemTrayIcon::ActivationReason r) { seen.push_back(r); });
    emit tray.systemTrayIcon().activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(seen.empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], QSystemTrayIcon::Trigger);
}

} // namespace
} // namespace zumi
