#include "fake_window_queries.h"
#include "infowindow/stacking_guard.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

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
