#include "platform/win32/win32_window_system.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace zumi {
namespace {

// A top-level window of the test's own, of the given class, gone with the test.
class TestWindow {
public:
    TestWindow(const wchar_t* className, const wchar_t* title, bool visible)
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassW(&windowClass); // a second window of the class finds it registered
        window_ = CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 10, 20, 300,
                                  200, nullptr, nullptr, windowClass.hInstance, nullptr);
    }
    ~TestWindow() { DestroyWindow(window_); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    WindowId id() const { return reinterpret_cast<std::uintptr_t>(window_); }
    HWND handle() const { return window_; }

private:
    HWND window_ = nullptr;
};

TEST(Win32WindowSystem, AnswersAboutTheWindowsOnScreen)
{
    Win32WindowSystem system;
    EXPECT_EQ(system.findKolpWindow(), 0u);
    TestWindow kolp(L"ZumiTestWindow", L"Kolp", true);
    TestWindow tooltip(L"tooltips_class32", L"Tipp", true);
    TestWindow hidden(L"ZumiTestWindow", L"Grüße €", false);
    ASSERT_NE(kolp.id(), 0u) << GetLastError();

    EXPECT_EQ(system.findKolpWindow(), kolp.id());
    EXPECT_EQ(system.windowTitle(hidden.id()), "Grüße €");
    EXPECT_EQ(system.windowTitle(0), "");
    EXPECT_EQ(system.windowRect(kolp.id()), (PixelRect{10, 20, 310, 220}));
    EXPECT_FALSE(system.windowRect(0));

    EXPECT_FALSE(system.isTransient(kolp.id()));
    EXPECT_TRUE(system.isTransient(tooltip.id()));
    EXPECT_TRUE(system.isTransient(hidden.id()));
    EXPECT_FALSE(system.isMenuOpen());
    EXPECT_FALSE(system.isFullScreen(kolp.id()));

    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(kolp.handle(), nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(system.isFullScreen(kolp.id()));
}

TEST(Win32WindowSystem, StacksBelowASiblingAndAtTheBottom)
{
    Win32WindowSystem system;
    TestWindow first(L"ZumiTestWindow", L"eins", true), second(L"ZumiTestWindow", L"zwei", true),
        third(L"ZumiTestWindow", L"drei", true);

    system.stackBelow(first.id(), third.id());
    EXPECT_EQ(GetWindow(third.handle(), GW_HWNDNEXT), first.handle());
    system.stackAtBottom(third.id());
    EXPECT_EQ(GetWindow(third.handle(), GW_HWNDLAST), third.handle());
    system.stackOnTop(second.id());
    EXPECT_TRUE(GetWindowLongPtrW(second.handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(Win32WindowSystem, TwipsPerPixelOfTheScreen)
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(screenTwipsPerPixel().x, 1440 / dpi);
}

} // namespace
} // namespace zumi
