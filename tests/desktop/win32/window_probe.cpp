// What the Windows desktop scenario cannot see from X: the windows as wine
// knows them, and the shell's side of the tray. Writes UTF-8 lines to OUTFILE
// (wine's output is never piped).
// Usage: window_probe OUTFILE windows   every visible top-level window and its controls:
//                                       "HWND|class|title|left top right bottom|flags" and
//                                       "  class|text|left top right bottom" below it
//        window_probe OUTFILE foreground   the foreground window, as a line of "windows"
//        window_probe OUTFILE forget-icon CLASS   removes the tray icon 1 of that window class, as
//                                       a shell that restarts loses it
//        window_probe OUTFILE taskbar-created   posts "TaskbarCreated" to every top-level window
//        window_probe OUTFILE close TITLE   closes the window of that title as its close box does
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <shellapi.h>
#include <string>

namespace {

FILE* out = nullptr;

std::string utf8(const std::wstring& text)
{
    std::string bytes(text.size() * 3 + 1, '\0');
    bytes.resize(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                                     static_cast<int>(bytes.size()), nullptr, nullptr));
    return bytes;
}

std::string describe(HWND window)
{
    wchar_t name[256] = {}, text[512] = {};
    GetClassNameW(window, name, 256);
    GetWindowTextW(window, text, 512);
    RECT r{};
    GetWindowRect(window, &r);
    char rect[64];
    std::snprintf(rect, sizeof rect, "%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
    return utf8(name) + "|" + utf8(text) + "|" + rect;
}

std::string flags(HWND window)
{
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    std::string all;
    if (style & WS_EX_TOPMOST)
        all += " topmost";
    if (style & WS_EX_TOOLWINDOW)
        all += " toolwindow";
    if (style & WS_EX_NOACTIVATE)
        all += " noactivate";
    return all;
}

void line(HWND window)
{
    std::fprintf(out, "%llx|%s|%s\n", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)),
                 describe(window).c_str(), flags(window).c_str());
}

BOOL CALLBACK child(HWND window, LPARAM)
{
    if (IsWindowVisible(window))
        std::fprintf(out, "  %s\n", describe(window).c_str());
    return TRUE;
}

BOOL CALLBACK topLevel(HWND window, LPARAM)
{
    if (IsWindowVisible(window)) {
        line(window);
        EnumChildWindows(window, child, 0);
    }
    return TRUE;
}

} // namespace

int wmain(int count, wchar_t** arguments)
{
    if (count < 3 || !(out = _wfopen(arguments[1], L"wb")))
        return 2;
    const std::wstring command = arguments[2];
    int status = 0;
    if (command == L"windows") {
        EnumWindows(topLevel, 0);
    } else if (command == L"foreground") {
        if (const HWND window = GetForegroundWindow())
            line(window);
    } else if (command == L"forget-icon" && count == 4) {
        NOTIFYICONDATAW icon{};
        icon.cbSize = sizeof icon;
        icon.hWnd = FindWindowW(arguments[3], nullptr);
        icon.uID = 1;
        status = icon.hWnd && Shell_NotifyIconW(NIM_DELETE, &icon) ? 0 : 1;
    } else if (command == L"taskbar-created") {
        status = PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0) ? 0 : 1;
    } else if (command == L"close" && count == 4) {
        const HWND window = FindWindowW(nullptr, arguments[3]);
        status = window && PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 1;
    } else {
        status = 2;
    }
    std::fclose(out);
    return status;
}
