#include "app/linux/qt_platform_choice.h"
#include "app/linux/tray_choice.h"
#include "app/tray_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

namespace zumi {
namespace {

TEST(TrayTooltip, TheSixtyThreeCharacterField)
{
    const std::string connected = "Connected: " + std::string(52, 'a');
    EXPECT_EQ(trayModifyTooltip(connected + "bcdefgh"), connected);
    EXPECT_EQ(trayAddTooltip(std::string(70, 'x')), " " + std::string(62, 'x'));
    std::string umlauts; // "ü€": whole characters are counted and cut, not bytes
    for (int i = 0; i < 30; ++i)
        umlauts += "\xC3\xBC\xE2\x82\xAC";
    EXPECT_EQ(trayModifyTooltip("Connected: " + umlauts), "Connected: " + umlauts.substr(0, 26 * 5));
}

// A StatusNotifierItem where a watcher runs or the session is Wayland's (its
// panel's watcher may come later); XWayland only when it runs and the user chose nothing.
TEST(TrayChoice, TrayKindAndPlatform)
{
    for (const auto& [watcher, session, wayland, kind] : {std::tuple{false, "x11", false, TrayKind::Toolkit},
                                                          {false, "", false, TrayKind::Toolkit},
                                                          {true, "x11", false, TrayKind::StatusNotifierItem},
                                                          {false, "wayland", false, TrayKind::StatusNotifierItem},
                                                          {false, "", true, TrayKind::StatusNotifierItem}})
        EXPECT_EQ(chooseTrayKind({watcher, session, wayland}), kind) << session;
    EXPECT_EQ(platformOverride({true, true, false}), std::optional<std::string>("xcb"));
    for (const auto& [wayland, xwayland, chosen] :
         {std::tuple{true, true, true}, {true, false, false}, {false, true, false}})
        EXPECT_EQ(platformOverride({wayland, xwayland, chosen}), std::nullopt) << wayland << xwayland << chosen;
}

} // namespace
} // namespace zumi
