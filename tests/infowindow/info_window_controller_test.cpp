#include "fake_window_queries.h"
#include "info_window_controller.h"
#include "null_window_queries.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zumi {
namespace {

using Log = std::vector<std::string>;

class RecordingMenu final : public MenuView {
public:
    std::function<void(bool)> onMetering;
    void setDisconnectShown(bool) override {}
    void setMeteringEnabled(bool metering) override
    {
        if (onMetering)
            onMetering(metering);
    }
    void uncheckAutoHangupEntries() override {}
};

std::string where(const QWidget* window)
{
    return std::to_string(window->x()) + "," + std::to_string(window->y()) + " width " +
           std::to_string(window->width());
}

class InfoWindowControllerTest : public testing::Test {
protected:
    void SetUp() override
    {
        settings.position = {0, 600, 255};
        settings.options.ShowSpeed = false; // 137 px once laid out
    }

    WindowId selfId() const { return static_cast<WindowId>(controller.window()->winId()); }

    Settings settings;
    AutoHangupState autoHangup;
    test::FakeWindowQueries windows;
    RecordingMenu menu;
    Log log;
    InfoWindowController controller{settings, autoHangup, windows, menu, [this] {
                                        log.push_back(controller.window() ? "closeSettings loaded"
                                                                          : "closeSettings unloaded");
                                    }};
};

TEST_F(InfoWindowControllerTest, ShowInfoWindowStepsInOrder)
{
    windows.active = 7;
    windows.activeLater = 55; // the window manager moved the focus meanwhile
    windows.onCall = [&](const std::string& call) {
        const QWidget* window = controller.window();
        log.push_back(call + (window->isVisible() ? " shown at " : " hidden at ") + where(window));
    };
    menu.onMetering = [&](bool on) {
        log.push_back(std::string(on ? "metering on" : "metering off") + " at " + where(controller.window()));
    };

    controller.showInfoWindow();

    // Shown off the screen, focus handed back, stacked while still 188 px wide,
    // then laid out and placed: left = 12000 - 600 - 137 * 15 twips = 623 px.
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().width(), 800); // the offscreen screen
    const Log expected{
        "closeSettings unloaded",
        "activate 7 shown at -74,-74 width 188",
        "stackOnTop " + std::to_string(selfId()) + " shown at -74,-74 width 188",
        "metering on at 623,17 width 137",
    };
    EXPECT_EQ(log, expected);
    EXPECT_EQ(settings.position.infoLeft, 9345);
    EXPECT_EQ(settings.position.infoRight, 600);
    EXPECT_TRUE(controller.isVisible());
}

TEST_F(InfoWindowControllerTest, ForegroundThatStayedIsNotActivatedAgain)
{
    windows.active = 7;
    controller.showInfoWindow();
    EXPECT_EQ(windows.calls, Log{"stackOnTop " + std::to_string(selfId())});
}

TEST_F(InfoWindowControllerTest, SettingsDialogClosesAlsoWhenTheWindowIsAlreadyLoaded)
{
    controller.setProgressValue(0); // the monitor touches the bar first
    ASSERT_NE(controller.window(), nullptr);
    EXPECT_FALSE(controller.isVisible());
    controller.showInfoWindow();
    EXPECT_EQ(log, Log{"closeSettings loaded"});
}

TEST_F(InfoWindowControllerTest, StackingIsCheckedOnlyWhileShown)
{
    controller.keepInfoOnTop(); // not loaded
    controller.setTaktText("0:07");
    ASSERT_NE(controller.window(), nullptr);
    EXPECT_EQ(controller.window()->findChild<QLabel*>("lblTakt")->text(), "0:07");
    controller.keepInfoOnTop(); // loaded, hidden
    EXPECT_TRUE(windows.calls.empty());

    windows.active = 9;
    windows.fullScreen = {9};
    controller.showInfoWindow();
    const std::string self = std::to_string(selfId());
    EXPECT_EQ(windows.calls, Log{"stackAtBottom " + self});

    controller.unload();
    EXPECT_EQ(controller.window(), nullptr);
    EXPECT_FALSE(controller.isVisible());
    controller.keepInfoOnTop();
    controller.unload(); // twice is harmless
    EXPECT_EQ(windows.calls.size(), 1u);
}

TEST_F(InfoWindowControllerTest, SetOptionLaysOutOnlyALoadedWindow)
{
    controller.SetOption();
    EXPECT_EQ(controller.window(), nullptr);

    controller.setSpeedText("1,0 KB/s");
    EXPECT_EQ(controller.window()->width(), InfoWindowController::kLoadedWidthPx);
    controller.SetOption();
    EXPECT_EQ(controller.window()->width(), 137);
}

TEST_F(InfoWindowControllerTest, PressOnTheWindowRechecksStackingAndRecordsThePosition)
{
    controller.showInfoWindow();
    windows.calls.clear();
    controller.window()->move(400, 50);
    QTest::mousePress(controller.window()->findChild<QWidget*>("lblTime"), Qt::RightButton, Qt::NoModifier,
                      QPoint(5, 5));
    EXPECT_EQ(windows.calls, Log{"stackOnTop " + std::to_string(selfId())});
    EXPECT_EQ(settings.position.infoLeft, 6000);
    EXPECT_EQ(settings.position.infoTop, 750);
    EXPECT_EQ(settings.position.infoRight, 800 * 15 - 137 * 15 - 6000);
}

TEST(InfoWindowControllerWithoutWindowQueries, ShowsAndStacksWithoutCrashing)
{
    Settings settings;
    AutoHangupState autoHangup;
    NullWindowQueries windows;
    RecordingMenu menu;
    bool metering = false;
    menu.onMetering = [&](bool on) { metering = on; };
    InfoWindowController controller(settings, autoHangup, windows, menu, {});
    controller.showInfoWindow();
    controller.keepInfoOnTop();
    controller.setProgressValue(42);
    EXPECT_TRUE(controller.isVisible());
    EXPECT_TRUE(metering);
    EXPECT_TRUE(controller.window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    controller.unload();
}

} // namespace
} // namespace zumi
