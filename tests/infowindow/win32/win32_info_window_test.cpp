#include "fake_views.h"
#include "infowindow/win32/win32_info_window.h"
#include "platform/win32/win32_window_system.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace zumi {
namespace {

void pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

RECT rectOf(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// The captions from left to right (data rate, online time, unit time): text, shown, left edge in the window.
struct Caption {
    std::wstring text;
    bool shown;
    long left;
    bool operator==(const Caption&) const = default;
};
std::vector<Caption> captionsOf(HWND window)
{
    std::vector<Caption> out;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[64] = {};
        GetWindowTextW(child, text, 64);
        RECT r = rectOf(child);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        out.push_back({text, IsWindowVisible(child) != FALSE, r.left});
    }
    return out;
}

// The window as it paints itself, one letter per pixel of a row: B blue, G light green, - the face,
// K the bar's frame (menu text colour), * anything else (the number's ink).
std::string pixels(HWND window, std::initializer_list<int> xs, int y)
{
    const RECT client = [&] { RECT r{}; GetClientRect(window, &r); return r; }();
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ previous = SelectObject(dc, bitmap);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    std::string out;
    for (int x : xs) {
        const COLORREF c = GetPixel(dc, x, y);
        out += c == RGB(0, 0, 255) ? 'B' : c == RGB(128, 255, 128) ? 'G' : c == GetSysColor(COLOR_BTNFACE) ? '-'
            : c == GetSysColor(COLOR_MENUTEXT) ? 'K' : '*';
    }
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return out;
}

// A window of another program that has the focus.
struct OtherWindow {
    OtherWindow()
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.lpszClassName = L"ZumiTestWindow";
        RegisterClassW(&windowClass);
        handle = CreateWindowExW(0, L"ZumiTestWindow", L"Editor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 20, 300, 200,
                                 nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(handle);
    }
    ~OtherWindow() { DestroyWindow(handle); }
    HWND handle;
};

// Inside the system's move loop: the pointer goes there and the button is let go.
POINT dropAt;
void CALLBACK drop(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    SetCursorPos(dropAt.x, dropAt.y);
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

struct Win32InfoWindowTest : testing::Test {
    Settings settings;
    AutoHangupState autoHangup;
    Win32WindowSystem system;
    test::CallLog log;
    test::FakeMenuView menu{&log};
    Win32InfoWindow info{GetModuleHandleW(nullptr), settings, autoHangup, system, system, menu, {}};
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
};

TEST_F(Win32InfoWindowTest, ShownWithoutTheFocusAndPlacedByItsLaidOutWidth)
{
    OtherWindow editor;
    ASSERT_EQ(GetForegroundWindow(), editor.handle);
    settings.position = {0, 600, 255};
    settings.options.ShowSpeed = false;
    info.setTimeText("1:02:03");
    info.setTaktText("0:42");
    info.setSpeedText("3,5 KB/s");
    ASSERT_NE(info.window(), nullptr);
    EXPECT_FALSE(IsWindowVisible(info.window())) << "loaded hidden";

    info.showInfoWindow();
    EXPECT_TRUE(IsWindowVisible(info.window()));
    EXPECT_EQ(GetForegroundWindow(), editor.handle);
    const auto extended = GetWindowLongPtrW(info.window(), GWL_EXSTYLE);
    EXPECT_EQ(extended & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE),
              WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
    EXPECT_EQ(captionsOf(info.window()),
              (std::vector<Caption>{{L"3,5 KB/s", false, 3}, {L"1:02:03", true, 5}, {L"0:42", true, 44}}));
    // 137 px wide without the data rate, 600 twips (40 px) from the right edge, 255 twips (17 px) down.
    const RECT placed = rectOf(info.window());
    EXPECT_EQ(placed.right, screenWidth - 40);
    EXPECT_EQ(placed.right - placed.left, 137);
    EXPECT_EQ(placed.top, 17);
    EXPECT_EQ(placed.bottom, 38);
    EXPECT_EQ(settings.position.infoLeft, placed.left * 15);
    EXPECT_EQ(log, test::CallLog{"menu.metering 1"});
}

// Inner bar pixels at 96 dpi: the bar is at 122,6 in the window with all fields shown, its inner area 60 x 7 from 1,1.
TEST_F(Win32InfoWindowTest, TheBarsColoursAndRemainingUnits)
{
    info.showInfoWindow();
    const auto bar = [&](std::initializer_list<int> xs) {
        std::vector<int> at;
        for (int x : xs)
            at.push_back(123 + x);
        std::string out;
        for (int x : at)
            out += pixels(info.window(), {x}, 7);
        return out;
    };
    EXPECT_EQ(bar({-1, 0, 59, 60}), "K--K");
    info.setProgressValue(250);
    EXPECT_EQ(bar({-1, 0, 30, 59, 60}), "KBBBK");

    autoHangup.arm(3);
    autoHangup.unitBegan();
    info.setProgressValue(52);
    EXPECT_EQ(bar({30, 31, 40}), "BGG");
    const std::string number = pixels(info.window(), {176, 177, 178, 179, 180, 181}, 10);
    EXPECT_NE(number.find('*'), std::string::npos) << "no \"2\" at the bar's right end: " << number;

    autoHangup.disarm();
    info.setProgressValue(30);
    EXPECT_EQ(bar({17, 18, 53, 54, 55, 56, 57, 58}), "B-------");
}

TEST_F(Win32InfoWindowTest, LayoutPerOptionKeepsTheRightEdgeAndFollowsTheDensity)
{
    info.setProgressValue(100);
    const HWND window = info.window();
    const auto size = [&] { const RECT r = rectOf(window); return SIZE{r.right - r.left, r.bottom - r.top}; };
    EXPECT_EQ(size().cx, 188) << "as loaded";
    EXPECT_EQ(size().cy, 21);
    const long right = rectOf(window).right;
    for (const auto& [options, width] : {std::pair{Options{}, 189L}, {Options{.ShowSpeed = false}, 137L},
                                         {Options{.ShowSpeed = false, .ShowOnlineTime = false, .ShowRest = false}, 4L}, {Options{}, 189L}}) {
        settings.options = options;
        info.SetOption();
        EXPECT_EQ(size().cx, width);
        EXPECT_EQ(rectOf(window).right, right);
    }

    // On a screen of 144 dpi: 10 twips a pixel, everything half as large again, the bar drawn anew.
    RECT suggested{100, 50, 400, 90};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(rectOf(window).left, 100);
    EXPECT_EQ(size().cx, 284);
    EXPECT_EQ(size().cy, 32);
    EXPECT_EQ(captionsOf(window)[1].left, 86);
    EXPECT_EQ(captionsOf(window)[2].left, 144);
    // The bar: at 144 + 39, 6 + 3, 93 x 14 px.
    EXPECT_EQ(pixels(window, {182, 183, 184, 274, 275, 276}, 15), "-KBBK-");
    EXPECT_EQ(pixels(window, {200}, 9) + pixels(window, {200}, 10) + pixels(window, {200}, 21)
                  + pixels(window, {200}, 22),
              "KBBK");
}

TEST_F(Win32InfoWindowTest, APressDragsAndRecordsThePlaceInTwips)
{
    OtherWindow editor;
    settings.position = {0, 600, 255};
    info.showInfoWindow();
    const RECT before = rectOf(info.window());

    // A left press on the online time: dragged 50 px left and 40 down.
    SetCursorPos(before.left + 70, before.top + 10);
    dropAt = {before.left + 20, before.top + 50};
    SetTimer(nullptr, 0, 50, drop);
    PostMessageW(info.window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(70, 10));
    pump();
    const RECT after = rectOf(info.window());
    EXPECT_EQ(after.left, before.left - 50);
    EXPECT_EQ(after.top, before.top + 40);
    EXPECT_EQ(settings.position.infoLeft, after.left * 15);
    EXPECT_EQ(settings.position.infoRight, (screenWidth - after.right) * 15);
    EXPECT_EQ(settings.position.infoTop, after.top * 15);
    EXPECT_EQ(GetForegroundWindow(), editor.handle) << "the drag took the focus";

    // A press on the data rate does nothing; a right press records the place without moving.
    settings.position = {1, 2, 3};
    SendMessageW(info.window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    EXPECT_EQ(settings.position.infoTop, 3);
    SendMessageW(info.window(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 2));
    EXPECT_EQ(rectOf(info.window()).left, after.left);
    EXPECT_EQ(settings.position.infoTop, after.top * 15);
}

} // namespace
} // namespace zumi
