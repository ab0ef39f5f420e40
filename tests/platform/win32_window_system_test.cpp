#include "platform/win32/win32_window_system.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace zumi {
namespace {

// A top-level window of the test's own, of the given class, gone with the test.
struct TestWindow {
    TestWindow(const wchar_t* className, const wchar_t* title, bool visible = true)
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.lpszClassName = className;
        RegisterClassW(&windowClass); // a second window of the class finds it registered
        handle = CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 10, 20, 300,
                                 200, nullptr, nullptr, nullptr, nullptr);
    }
    ~TestWindow() { DestroyWindow(handle); }
    WindowId id() const { return reinterpret_cast<std::uintptr_t>(handle); }
    HWND handle;
};

TEST(Win32WindowSystem, AnswersAboutTheWindowsOnScreen)
{
    Win32WindowSystem system;
    TestWindow kolp(L"ZumiTestWindow", L"Kolp"), tooltip(L"tooltips_class32", L"Tipp"),
        hidden(L"ZumiTestWindow", L"Grüße €", false);
    ASSERT_NE(kolp.id(), 0u) << GetLastError();

    EXPECT_EQ(system.findKolpWindow(), kolp.id());
    EXPECT_EQ(system.windowTitle(hidden.id()), "Grüße €");
    EXPECT_EQ(system.windowRect(kolp.id()), (PixelRect{10, 20, 310, 220}));
    EXPECT_FALSE(system.isTransient(kolp.id()));
    EXPECT_TRUE(system.isTransient(tooltip.id()));
    EXPECT_TRUE(system.isTransient(hidden.id()));
    EXPECT_FALSE(system.isMenuOpen());

    EXPECT_FALSE(system.isFullScreen(kolp.id()));
    SetWindowPos(kolp.handle, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(system.isFullScreen(kolp.id()));
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
