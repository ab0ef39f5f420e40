#include "tray.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>

#include <gtest/gtest.h>

namespace zumi {
namespace {

// The colour of the picture's ring, left of the centre.
QString colourOf(Tray& tray, int size)
{
    const QColor c = tray.systemTrayIcon().icon().pixmap(size, size).toImage().pixelColor(size / 5, size / 2);
    return c.blue() > 2 * c.red() ? "blue" : c.red() > 2 * c.blue() ? "red" : c.name();
}

struct TrayFixture : ::testing::Test {
    bool available = true;
    bool infoVisible = false;
    Tray tray{{[this] { return infoVisible; }, [this] { return available; }}};

    void restartTray()
    {
        available = false;
        tray.checkTray();
        available = true;
        tray.checkTray();
    }
};

TEST_F(TrayFixture, PictureAndTooltipOfEachOperation)
{
    tray.trayAdd(TrayIcon::Offline, " Zumi ");
    EXPECT_TRUE(tray.shown());
    EXPECT_EQ(tray.toolTip(), "  Zumi  ");
    EXPECT_EQ(colourOf(tray, 16), "blue");
    EXPECT_EQ(colourOf(tray, 32), "blue");

    tray.trayModify(TrayIcon::Online, "Connected: Arcor");
    EXPECT_EQ(tray.toolTip(), "Connected: Arcor");
    EXPECT_EQ(colourOf(tray, 16), "red");
    EXPECT_EQ(colourOf(tray, 32), "red");

    tray.trayDelete();
    EXPECT_FALSE(tray.shown());
}

TEST_F(TrayFixture, IconComesBackAfterTheTrayRestarts)
{
    tray.trayAdd(TrayIcon::Offline, " Zumi ");
    tray.trayModify(TrayIcon::Offline, " Zumi ");
    tray.hookMainWindow();
    tray.hookMainWindow(); // harmless twice
    tray.checkTray();
    EXPECT_EQ(tray.toolTip(), " Zumi "); // no restart, nothing re-added

    restartTray(); // offline: blue, two blanks on each side
    EXPECT_EQ(tray.toolTip(), "  Zumi  ");
    EXPECT_EQ(tray.currentIcon(), TrayIcon::Offline);

    infoVisible = true; // online: red, " Zumi - Verbunden " padded
    restartTray();
    EXPECT_EQ(tray.toolTip(), "  Zumi - Verbunden  ");
    EXPECT_EQ(colourOf(tray, 16), "red");

    // The watch polls by itself.
    infoVisible = false;
    tray.trayModify(TrayIcon::Offline, " Zumi ");
    available = false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 3 * Tray::kPollMilliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    available = true;
    clock.restart();
    while (tray.toolTip() != "  Zumi  " && clock.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(tray.toolTip(), "  Zumi  ");

    tray.unhookMainWindow();
    tray.unhookMainWindow();
    EXPECT_FALSE(tray.hooked());
}

} // namespace
} // namespace zumi
