// The floor of the Windows benchmark: what any tray program with a 1-s timer costs under the
// same system. A hidden window, one tray icon, a timer whose tick does nothing.
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

namespace {

constexpr UINT trayMessage = WM_APP + 1;

NOTIFYICONDATAW icon(HWND window)
{
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 1;
    data.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    data.uCallbackMessage = trayMessage;
    data.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    ::lstrcpynW(data.szTip, L"Floor", ARRAYSIZE(data.szTip));
    return data;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        return 0;
    case WM_DESTROY: {
        NOTIFYICONDATAW data = icon(window);
        ::Shell_NotifyIconW(NIM_DELETE, &data);
        ::PostQuitMessage(0);
        return 0;
    }
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"ZumiBenchFloor";
    if (!::RegisterClassW(&windowClass))
        return 1;
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"Floor", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0,
                                    nullptr, nullptr, instance, nullptr);
    NOTIFYICONDATAW data = icon(window);
    if (!window || !::Shell_NotifyIconW(NIM_ADD, &data) || !::SetTimer(window, 1, 1000, nullptr))
        return 1;
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
