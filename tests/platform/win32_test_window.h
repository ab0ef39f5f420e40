#pragma once
#include "platform/window_queries.h"

#include <windows.h>

namespace zumi {

// A top-level window of the test's own, of the given class, gone with the test.
struct TestWindow {
    TestWindow(const wchar_t* className, const wchar_t* title, bool visible = true, int left = 10,
               DWORD style = WS_OVERLAPPEDWINDOW)
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.lpszClassName = className;
        RegisterClassW(&windowClass); // a second window of the class finds it registered
        handle = CreateWindowExW(0, className, title, style | (visible ? WS_VISIBLE : 0), left, 20, 300, 200, nullptr,
                                 nullptr, nullptr, nullptr);
    }
    ~TestWindow() { DestroyWindow(handle); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    WindowId id() const { return reinterpret_cast<std::uintptr_t>(handle); }
    HWND handle;
};

} // namespace zumi
