#include "tray_text.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

std::size_t utf8Chars(const std::string& text)
{
    std::size_t n = 0;
    for (unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

TEST(TrayTooltip, AddPadsAndModifyDoesNot)
{
    // After start-up the offline tooltip has two blanks on each side, after a
    // connection has ended one.
    EXPECT_EQ(trayAddTooltip(" Zumi "), "  Zumi  ");
    EXPECT_EQ(trayModifyTooltip(" Zumi "), " Zumi ");
    EXPECT_EQ(trayAddTooltip(" Zumi - Verbunden "), "  Zumi - Verbunden  ");
    EXPECT_EQ(trayModifyTooltip("Connected: Arcor"), "Connected: Arcor");
    EXPECT_EQ(trayAddTooltip(""), "  ");
}

TEST(TrayTooltip, LongNamesKeepSixtyThreeCharacters)
{
    const std::string name52(52, 'n');
    EXPECT_EQ(trayModifyTooltip("Connected: " + name52), "Connected: " + name52); // exactly 63 fits

    const std::string longName = std::string(52, 'a') + "bcdefgh";
    const std::string tip = trayModifyTooltip("Connected: " + longName);
    EXPECT_EQ(tip.size(), 63u);
    EXPECT_EQ(tip, "Connected: " + std::string(52, 'a'));

    // trayAdd cuts the padded text the same way: the trailing blank is lost first.
    const std::string add = trayAddTooltip(std::string(70, 'x'));
    EXPECT_EQ(add, " " + std::string(62, 'x'));
}

TEST(TrayTooltip, CutsWholeCharactersNotBytes)
{
    std::string name;
    for (int i = 0; i < 30; ++i)
        name += "\xC3\xBC\xE2\x82\xAC"; // ü€, 2 and 3 bytes
    const std::string tip = trayModifyTooltip("Connected: " + name);
    EXPECT_EQ(utf8Chars(tip), 63u);
    std::string expected = "Connected: ";
    for (int i = 0; i < 26; ++i)
        expected += "\xC3\xBC\xE2\x82\xAC";
    EXPECT_EQ(tip, expected);
    EXPECT_EQ(leftChars("ab\xC3\xBC", 3), "ab\xC3\xBC");
    EXPECT_EQ(leftChars("ab\xC3\xBC", 2), "ab");
}

TEST(TrayClickLine, HexWithoutLeadingZerosThenTwoBlanksAndTitle)
{
    EXPECT_EQ(foregroundDebugLine(0x1c0000a, "xterm - bash"), "1C0000A  xterm - bash");
    EXPECT_EQ(foregroundDebugLine(0xabcdef0123456789ULL, "x"), "ABCDEF0123456789  x");
    EXPECT_EQ(foregroundDebugLine(0, ""), "0  ");
}

TEST(AutoHangupCaption, NumberFromTheFirstBlankOn)
{
    const std::pair<const char*, int> table[] = {
        {"Nach laufender Einheit", 0},      {"Nach 1 weiteren Einheit", 1},
        {"Nach 2 weiteren Einheiten", 2},   {"Nach 3 weiteren Einheiten", 3},
        {"Nach 4 weiteren Einheiten", 4},   {"Nach 5 weiteren Einheiten", 5},
        {"Nach 10 weiteren Einheiten", 10}, {"Nach 30 weiteren Einheiten", 30},
        {"Nach 60 weiteren Einheiten", 60}, {"Nach 120 weiteren Einheiten", 120},
    };
    for (const auto& [caption, n] : table)
        EXPECT_EQ(unitsFromCaption(caption), n) << caption;
    EXPECT_EQ(unitsFromCaption("Nach"), 0);
    EXPECT_EQ(unitsFromCaption("7 Einheiten"), 0); // the number before the first blank does not count
    EXPECT_EQ(unitsFromCaption("Nach   15x"), 15);
}

} // namespace
} // namespace zumi
