#include "fake_window_queries.h"
#include "stacking_guard.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

using Calls = std::vector<std::string>;

constexpr WindowId kSelf = 100;
constexpr WindowId kEditor = 200;  // an ordinary window
constexpr WindowId kGame = 300;    // a full-screen program
constexpr WindowId kTooltip = 400;
constexpr WindowId kKolp = 500;

TEST(StackingGuard, FullScreenForegroundSendsTheWindowToTheBottom)
{
    test::FakeWindowQueries windows;
    windows.active = kGame;
    windows.fullScreen = {kGame};
    // Neither a menu nor the sibling window matter then.
    windows.menuOpen = true;
    windows.underPointer = kTooltip;
    windows.transient = {kTooltip};
    windows.kolp = kKolp;

    EXPECT_EQ(keepInfoOnTop(windows, kSelf), StackingStep::SentToBottom);
    EXPECT_EQ(windows.calls, Calls{"stackAtBottom 100"});

    // Back in an ordinary window: on top again at the next call.
    windows.active = kEditor;
    windows.underPointer = kEditor;
    windows.menuOpen = false;
    windows.kolp = 0;
    windows.calls.clear();
    EXPECT_EQ(keepInfoOnTop(windows, kSelf), StackingStep::PutOnTop);
    EXPECT_EQ(windows.calls, Calls{"stackOnTop 100"});
}

TEST(StackingGuard, TooltipOrOpenMenuLeavesTheOrderAloneUnlessThePointerIsOnTheInfoWindow)
{
    test::FakeWindowQueries windows;
    windows.active = kEditor;

    windows.underPointer = kTooltip;
    windows.transient = {kTooltip};
    EXPECT_EQ(keepInfoOnTop(windows, kSelf), StackingStep::LeftAlone);

    windows.transient.clear();
    windows.menuOpen = true;
    windows.underPointer = kEditor;
    EXPECT_EQ(keepInfoOnTop(windows, kSelf), StackingStep::LeftAlone);

    windows.underPointer = 0; // the bare desktop
    EXPECT_EQ(keepInfoOnTop(windows, kSelf), StackingStep::LeftAlone);
    EXPECT_TRUE(windows.calls.empty());

    // The pointer on the info window itself: the menu does not hold it back,
    // nor does the info window count as transient.
    windows.underPointer = kSelf;
    windows.transient = {kSelf};
    EXPECT_EQ(keepInfoOnTop(windows, kSelf), StackingStep::PutOnTop);
    EXPECT_EQ(windows.calls, Calls{"stackOnTop 100"});
}

TEST(StackingGuard, SiblingWindowTakesThePlaceOfTopmost)
{
    test::FakeWindowQueries windows;
    windows.active = kKolp;
    windows.kolp = kKolp;
    windows.underPointer = kEditor;
    EXPECT_EQ(keepInfoOnTop(windows, kSelf), StackingStep::PlacedBelowKolp);
    EXPECT_EQ(windows.calls, Calls{"stackBelow 100 500"});

    // The sibling program ends: plainly topmost from the next call on.
    windows.kolp = 0;
    windows.calls.clear();
    EXPECT_EQ(keepInfoOnTop(windows, kSelf), StackingStep::PutOnTop);
    EXPECT_EQ(windows.calls, Calls{"stackOnTop 100"});
}

TEST(StackingGuard, NoForegroundWindowIsNotFullScreen)
{
    test::FakeWindowQueries windows; // nothing active, nothing under the pointer
    EXPECT_EQ(keepInfoOnTop(windows, kSelf), StackingStep::PutOnTop);
    EXPECT_EQ(windows.calls, Calls{"stackOnTop 100"});
}

} // namespace
} // namespace zumi
