#include "platform/win32/win32_window_system.h"
#include "tests/platform/win32_test_window.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

TEST(Win32WindowSystem, AnswersAboutTheWindowsOnScreen)
{
    Win32WindowSystem system;
    TestWindow kolp(L"ZumiTestWindow", L"Kolp"), tooltip(L"MyToolTipWindow", L"Tipp"),
        hidden(L"ZumiTestWindow", L"Grüße €", false),
        game(L"ZumiTestWindow", L"Spiel", true, 0, WS_POPUP | WS_CLIPSIBLINGS),
        directDraw(L"SomeDDWndClass", L"DirectDraw");
    ASSERT_NE(kolp.id(), 0u) << GetLastError();

    EXPECT_EQ(system.findKolpWindow(), kolp.id());
    EXPECT_EQ(system.windowTitle(hidden.id()), "Grüße €");
    EXPECT_EQ(system.windowRect(kolp.id()), (PixelRect{10, 20, 310, 220}));
    EXPECT_FALSE(system.isTransient(kolp.id()));
    EXPECT_TRUE(system.isTransient(tooltip.id()));
    EXPECT_TRUE(system.isTransient(hidden.id()));
    EXPECT_TRUE(system.isTransient(game.id())); // a bare pop-up
    EXPECT_TRUE(system.isTransient(directDraw.id()));
    EXPECT_FALSE(system.isMenuOpen());

    EXPECT_FALSE(system.isFullScreen(kolp.id()));
    EXPECT_FALSE(system.isFullScreen(reinterpret_cast<std::uintptr_t>(GetDesktopWindow())));
    EXPECT_TRUE(system.isFullScreen(directDraw.id())); // whatever its size
    EXPECT_FALSE(system.isFullScreen(game.id()));
    // Over exactly the whole screen a borderless pop-up is a full-screen
    // program; a window with a frame, maximised say, is not.
    for (HWND window : {kolp.handle, game.handle})
        SetWindowPos(window, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(system.isFullScreen(kolp.id()));
    EXPECT_TRUE(system.isFullScreen(game.id()));
}

TEST(Win32WindowSystem, StacksBelowASiblingAtTheBottomAndOnTop)
{
    Win32WindowSystem system;
    TestWindow first(L"ZumiTestWindow", L"eins"), second(L"ZumiTestWindow", L"zwei"), third(L"ZumiTestWindow", L"drei");

    system.stackBelow(first.id(), third.id());
    EXPECT_EQ(GetWindow(third.handle, GW_HWNDNEXT), first.handle);
    system.stackAtBottom(third.id());
    EXPECT_EQ(GetWindow(third.handle, GW_HWNDLAST), third.handle);
    system.stackOnTop(second.id());
    EXPECT_TRUE(GetWindowLongPtrW(second.handle, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

} // namespace
} // namespace zumi
