// The foreground and the pointer, which wine's null display driver does not
// have: run by tests/desktop/win32/zumi_exe_scenario.sh under wine's X11
// driver, on a desktop with a window manager.
#include "platform/win32/win32_window_system.h"
#include "tests/platform/win32_test_window.h"

#include <gtest/gtest.h>

#include <functional>

namespace zumi {
namespace {

// Handles the window system's answers for up to three seconds, until `done`.
bool eventually(const std::function<bool()>& done)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < 3000; Sleep(20)) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        if (done())
            return true;
    }
    return done();
}

POINT middle(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

TEST(Win32WindowSystemOnX11, FollowsTheForegroundAndThePointer)
{
    Win32WindowSystem system;
    TestWindow left(L"ZumiTestWindow", L"links", true, 100), right(L"ZumiTestWindow", L"rechts", true, 600);
    const HWND button = CreateWindowExW(0, L"BUTTON", L"Knopf", WS_CHILD | WS_VISIBLE, 100, 60, 80, 30, right.handle,
                                        nullptr, nullptr, nullptr);
    ASSERT_TRUE(button);
    // The window manager gives the newest window the focus once it is mapped.
    ASSERT_TRUE(eventually([&] { return system.activeWindow() == right.id(); }));

    for (const TestWindow* window : {&left, &right, &left}) {
        system.activate(window->id());
        EXPECT_TRUE(eventually([&] { return system.activeWindow() == window->id(); }))
            << "the foreground is " << system.windowTitle(system.activeWindow());
    }

    // Over a control the answer is the top-level window that holds it.
    for (const auto& [point, window] : {std::pair{middle(left.handle), &left}, std::pair{middle(button), &right}}) {
        SetCursorPos(point.x, point.y);
        EXPECT_TRUE(eventually([&] { return system.windowUnderPointer() == window->id(); }))
            << "under " << point.x << "," << point.y << " is " << system.windowTitle(system.windowUnderPointer());
    }
    SetCursorPos(1000, 700);
    EXPECT_TRUE(eventually([&] {
        const WindowId under = system.windowUnderPointer();
        return under != left.id() && under != right.id();
    }));
}

} // namespace
} // namespace zumi
