#include "tray_text.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

TEST(TrayTooltip, PaddingAndTheSixtyThreeCharacterField)
{
    EXPECT_EQ(trayAddTooltip(" Zumi "), "  Zumi  "); // after start-up
    EXPECT_EQ(trayModifyTooltip(" Zumi "), " Zumi "); // after a connection
    EXPECT_EQ(trayAddTooltip(" Zumi - Verbunden "), "  Zumi - Verbunden  ");

    const std::string tip = trayModifyTooltip("Connected: " + std::string(52, 'a') + "bcdefgh");
    EXPECT_EQ(tip, "Connected: " + std::string(52, 'a'));
    EXPECT_EQ(trayAddTooltip(std::string(70, 'x')), " " + std::string(62, 'x'));

    std::string umlauts, expected = "Connected: ";
    for (int i = 0; i < 30; ++i)
        umlauts += "\xC3\xBC\xE2\x82\xAC"; // ü€: whole characters are counted and cut, not bytes
    for (int i = 0; i < 26; ++i)
        expected += "\xC3\xBC\xE2\x82\xAC";
    EXPECT_EQ(trayModifyTooltip("Connected: " + umlauts), expected);
}

TEST(TrayClickLine, HexWithoutLeadingZerosTwoBlanksTitle)
{
    EXPECT_EQ(foregroundDebugLine(0x1c0000a, "xterm - bash"), "1C0000A  xterm - bash");
    EXPECT_EQ(foregroundDebugLine(0, ""), "0  ");
}

TEST(AutoHangupCaption, NumberFromTheFirstBlankOn)
{
    EXPECT_EQ(unitsFromCaption("Nach laufender Einheit"), 0);
    EXPECT_EQ(unitsFromCaption("Nach 1 weiteren Einheit"), 1);
    EXPECT_EQ(unitsFromCaption("Nach 120 weiteren Einheiten"), 120);
    EXPECT_EQ(unitsFromCaption("7 Einheiten"), 0); // a number before the first blank does not count
    EXPECT_EQ(unitsFromCaption("Nach"), 0);
}

} // namespace
} // namespace zumi
