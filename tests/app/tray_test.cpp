#include "app/tray.h"
#include "app/tray_text.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

TEST(TrayTooltip, PaddingAndTheSixtyThreeCharacterField)
{
    EXPECT_EQ(trayAddTooltip(" Zumi "), "  Zumi  ");
    const std::string connected = "Connected: " + std::string(52, 'a');
    EXPECT_EQ(trayModifyTooltip(connected + "bcdefgh"), connected);
    EXPECT_EQ(trayAddTooltip(std::string(70, 'x')), " " + std::string(62, 'x'));

    std::string umlauts; // "ü€": whole characters are counted and cut, not bytes
    for (int i = 0; i < 30; ++i)
        umlauts += "\xC3\xBC\xE2\x82\xAC";
    EXPECT_EQ(trayModifyTooltip("Connected: " + umlauts), "Connected: " + umlauts.substr(0, 26 * 5));
}

// The colour of the picture's ring, left of the centre, at 16 and 32 pixels.
std::string colourOf(Tray& tray)
{
    std::string names;
    for (int size : {16, 32}) {
        const QColor c = tray.systemTrayIcon().icon().pixmap(size, size).toImage().pixelColor(size / 5, size / 2);
        names += c.blue() > 2 * c.red() ? "blue " : c.red() > 2 * c.blue() ? "red " : c.name().toStdString() + " ";
    }
    return names;
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
    EXPECT_EQ(colourOf(tray), "blue blue ");
    tray.trayModify(TrayIcon::Online, "Connected: Arcor");
    EXPECT_EQ(tray.toolTip(), "Connected: Arcor");
    EXPECT_EQ(colourOf(tray), "red red ");

    tray.hookMainWindow();
    tray.hookMainWindow(); // harmless twice
    tray.checkTray();
    EXPECT_EQ(tray.toolTip(), "Connected: Arcor"); // no restart, nothing re-added
    restartTray();
    EXPECT_EQ(tray.toolTip(), "  Zumi  ");
    EXPECT_EQ(colourOf(tray), "blue blue ");
    infoVisible = true;
    restartTray();
    EXPECT_EQ(tray.toolTip(), "  Zumi - Verbunden  ");
    EXPECT_EQ(colourOf(tray), "red red ");

    tray.unhookMainWindow();
    tray.unhookMainWindow();
    EXPECT_FALSE(tray.hooked());
    tray.trayModify(TrayIcon::Online, "Connected: Arcor");
    restartTray(); // no longer watched: nothing re-added
    EXPECT_EQ(tray.toolTip(), "Connected: Arcor");
    tray.trayDelete();
    EXPECT_FALSE(tray.shown());
}

} // namespace
} // namespace zumi
