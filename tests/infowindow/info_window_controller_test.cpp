#include "fake_views.h"
#include "fake_window_queries.h"
#include "infowindow/info_window_controller.h"
#include "platform/null/null_window_queries.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

namespace zumi {
namespace {

TEST(InfoWindowController, ShowClosesTheDialogHandsTheFocusBackAndStacksBeforePlacing)
{
    Settings settings;
    settings.position = {0, 600, 255};
    settings.options.ShowSpeed = false; // 137 px once laid out
    AutoHangupState autoHangup;
    test::FakeWindowQueries windows;
    test::CallLog log;
    test::FakeMenuView menu(&log);
    InfoWindowController controller{settings, autoHangup, windows,
                                    windows,  menu,       [&] { log.push_back("closeSettings"); }};
    windows.onCall = [&](const std::string& call) {
        const QWidget* w = controller.window();
        log.push_back(call + (w->isVisible() ? " shown, x " : " hidden, x ") + std::to_string(w->x()) + " width "
                      + std::to_string(w->width()));
    };

    windows.active = 7;
    windows.activeLater = 55; // the window manager moved the focus meanwhile
    controller.showInfoWindow();
    // Shown off the screen, focus handed back, stacked, then laid out and
    // placed: left = 12000 - 600 - 137 * 15 twips = 623 px.
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().width(), 800);
    const std::string self = std::to_string(controller.window()->winId());
    const test::CallLog expected{"closeSettings", "activate 7 shown, x -74 width 188",
                                 "stackOnTop " + self + " shown, x -74 width 188", "menu.metering 1"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(controller.window()->geometry(), QRect(623, 17, 137, 21));
    EXPECT_EQ(settings.position.infoLeft, 9345);
}

TEST(InfoWindowController, WithoutWindowQueriesShowsAndStaysOnTopWithoutCrashing)
{
    Settings settings;
    AutoHangupState autoHangup;
    NullWindowQueries windows;
    test::FakeMenuView menu;
    InfoWindowController controller(settings, autoHangup, windows, windows, menu, {});
    controller.showInfoWindow();
    controller.keepInfoOnTop();
    EXPECT_TRUE(controller.isVisible());
    EXPECT_TRUE(controller.window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

} // namespace
} // namespace zumi
