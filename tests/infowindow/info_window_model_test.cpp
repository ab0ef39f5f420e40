#include "fake_views.h"
#include "fake_window_queries.h"
#include "infowindow/info_window_presenter.h"
#include "infowindow/row_layout.h"
#include "infowindow/stacking_guard.h"
#include "infowindow/unit_bar.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zumi {
namespace {

// A bar of 62 x 9 px with its frame: the inner area is 60 x 7 px from 1,1.
std::optional<BarDrawing> draw(UnitBar& bar, double percent, HangupCountdown rule = {false, -1})
{
    return bar.setValue(percent, rule, 62, 9);
}
BarDrawing drawn(int blue, std::optional<BarDrawing::Remainder> rest = std::nullopt)
{
    return {{1, 1, 1 + blue, 8}, std::move(rest)};
}
BarDrawing::Remainder restFrom(int left, std::string unitsLeft = {})
{
    return {{left, 1, 61, 8}, !unitsLeft.empty(), unitsLeft};
}

// Clamped, drawn only when its pixel width changes; the remaining units on light green while the rule is armed.
TEST(UnitBar, DrawnOnlyForANewWidthAndItsRemainderForANewUnitANewNumberOrLessBlue)
{
    UnitBar bar;
    draw(bar, 1); // as the window loads
    ASSERT_EQ(draw(bar, 0), drawn(0, restFrom(1)));
    EXPECT_EQ(draw(bar, 250), drawn(60));
    EXPECT_EQ(draw(bar, 100), std::nullopt);
    EXPECT_EQ(draw(bar, -5), drawn(0, restFrom(1)));
    EXPECT_EQ(draw(bar, 7.5), drawn(4)); // 4.5 px, rounded half to even

    draw(bar, 50); // 30 px
    // The after-N rule is armed meanwhile, but 50.5 % is still 30 px: nothing drawn, no number.
    const HangupCountdown twoLeft{true, 2};
    EXPECT_EQ(draw(bar, 50.5, twoLeft), std::nullopt);
    EXPECT_EQ(draw(bar, 52, twoLeft), drawn(31, restFrom(32, "2"))); // 31 px: drawn, and the number follows
    EXPECT_EQ(draw(bar, 40, twoLeft), drawn(24, restFrom(25, "2"))); // less blue: no stale blue behind it
    // A new unit (below 0.1 %) repaints the whole remainder, blue part included.
    EXPECT_EQ(draw(bar, 0.05, twoLeft), drawn(0, restFrom(1, "2")));
    EXPECT_EQ(draw(bar, 30), drawn(18, restFrom(19)));
}

TEST(RowLayout, ShownFieldsFollowEachOtherAndHiddenOnesKeepTheirPlace)
{
    InfoRow row{{3, 49}, {56, 35}, {96, 89}, 189}; // as designed
    struct Case {
        bool speed, time, rest;
        int width, timeLeft, restLeft; // hidden fields keep their place from the step before
    };
    const Case cases[] = {
        {true, true, true, 189, 57, 96}, {false, true, true, 137, 5, 44},  {true, false, true, 149, 5, 56},
        {true, true, false, 96, 57, 56}, {true, false, false, 56, 57, 56}, {false, true, false, 44, 5, 56},
        {false, false, true, 97, 5, 4},  {false, false, false, 4, 5, 4},
    };
    for (const Case& c : cases) {
        row = layOutRow(row, {.ShowSpeed = c.speed, .ShowOnlineTime = c.time, .ShowRest = c.rest});
        SCOPED_TRACE(testing::Message() << c.speed << c.time << c.rest);
        EXPECT_EQ(row.windowWidth(), c.width);
        EXPECT_EQ(row.speed, (RowField{3, 49, c.speed}));
        EXPECT_EQ(row.time, (RowField{c.timeLeft, 35, c.time}));
        EXPECT_EQ(row.rest, (RowField{c.restLeft, 89, c.rest}));
    }
}

// One load of the window: what it is asked goes to the log.
struct FakeSurface final : InfoSurface, test::LoggingFake {
    using LoggingFake::LoggingFake;
    void setTimeText(const std::string& text) override { note("time " + text); }
    void setTaktText(const std::string&) override {}
    void setSpeedText(const std::string&) override {}
    void setProgressValue(double) override {}
    void setOption(const Options& options) override { note("layout " + std::to_string(options.ShowSpeed)); }
    void moveTwips(double left, double) override { note("move " + std::to_string(static_cast<int>(left))); }
    std::int32_t moveToStoredPlace() override { return note("place"), 9345; }
    bool isVisible() const override { return shown; }
    WindowId id() override { return 100; }
    void show() override { shown = (note("show"), true); }
    bool shown = false;
};

TEST(InfoWindowPresenter, ShowClosesTheDialogHandsTheFocusBackAndStacksBeforePlacing)
{
    Settings settings;
    settings.options.ShowSpeed = false;
    test::FakeWindowQueries windows;
    test::CallLog log;
    test::FakeMenuView menu(&log);
    windows.onCall = [&](const std::string& call) { log.push_back(call); };
    InfoWindowPresenter presenter{settings,
                                  windows,
                                  windows,
                                  menu,
                                  [&] { log.push_back("closeSettings"); },
                                  [&] { return std::make_unique<FakeSurface>(&log); }};
    windows.active = 7;
    windows.activeLater = 55;         // the window manager moved the focus meanwhile
    presenter.setTimeText("0:00:01"); // loads it, hidden: nothing to stack yet
    presenter.keepInfoOnTop();
    presenter.showInfoWindow();
    presenter.unload();
    presenter.keepInfoOnTop();
    // Shown off the screen, focus handed back, stacked, then laid out and placed; moved off the screen to go.
    EXPECT_EQ(log,
              (test::CallLog{"time 0:00:01", "closeSettings", "move -1111", "show", "activate 7", "stackOnTop 100",
                             "layout 0", "place", "menu.metering 1", "move -1111"}));
    EXPECT_EQ(settings.position.infoLeft, 9345);
}

// Kolp, the bare desktop and a menu alone are covered on the real desktop.
TEST(StackingGuard, FullScreenComesFirstAndTransientsHoldTheOrderUnlessThePointerIsOnUs)
{
    test::FakeWindowQueries windows; // 100 us, 200 an editor, 300 a game, 400 a tooltip
    windows.active = 300;
    windows.fullScreen = {300};
    windows.menuOpen = true;
    windows.underPointer = 400;
    windows.transient = {400};
    EXPECT_EQ(keepInfoOnTop(windows, windows, 100), StackingStep::SentToBottom);
    windows.active = 200;
    windows.menuOpen = false;
    EXPECT_EQ(keepInfoOnTop(windows, windows, 100), StackingStep::LeftAlone);
    // On the info window itself an open menu does not hold it back, nor does it count as transient.
    windows.menuOpen = true;
    windows.underPointer = 100;
    windows.transient = {100};
    EXPECT_EQ(keepInfoOnTop(windows, windows, 100), StackingStep::PutOnTop);
    EXPECT_EQ(windows.calls, (std::vector<std::string>{"stackAtBottom 100", "stackOnTop 100"}));
}

} // namespace
} // namespace zumi
