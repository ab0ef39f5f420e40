#include "platform/win32/win32_window_system.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>

namespace zumi {
namespace {

HWND handle(WindowId window)
{
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}
WindowId id(HWND window)
{
    return static_cast<WindowId>(reinterpret_cast<std::uintptr_t>(window));
}

std::wstring className(HWND window)
{
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? length : 0);
}

constexpr wchar_t kMenuClass[] = L"#32768";

// Reorders only: the window keeps its place, size and the user's focus.
void stackAfter(WindowId window, HWND after)
{
    if (window != 0)
        SetWindowPos(handle(window), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

} // namespace

WindowId Win32WindowSystem::activeWindow()
{
    return id(GetForegroundWindow());
}

std::string Win32WindowSystem::windowTitle(WindowId window)
{
    if (window == 0)
        return {};
    const int length = GetWindowTextLengthW(handle(window));
    if (length <= 0)
        return {};
    std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(handle(window), title.data(), length + 1);
    title.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return win32::utf8FromWide(title);
}

WindowId Win32WindowSystem::windowUnderPointer()
{
    POINT point;
    if (!GetCursorPos(&point))
        return 0;
    const HWND window = WindowFromPoint(point);
    return window ? id(GetAncestor(window, GA_ROOT)) : 0;
}

std::optional<PixelRect> Win32WindowSystem::windowRect(WindowId window)
{
    RECT rect;
    if (window == 0 || !GetWindowRect(handle(window), &rect))
        return std::nullopt;
    return PixelRect{rect.left, rect.top, rect.right, rect.bottom};
}

WindowId Win32WindowSystem::findKolpWindow()
{
    return id(FindWindowW(nullptr, L"Kolp"));
}

// Full screen is what games and players of the time made: a borderless
// pop-up over exactly the whole screen, or a DirectDraw window. The system's
// own classes ("#32769" the desktop, "#32770" dialogs) never are: wine names
// the desktop the foreground while a program of its own host has the focus.
bool Win32WindowSystem::isFullScreen(WindowId window)
{
    if (window == 0 || !IsWindow(handle(window)))
        return false;
    const std::wstring name = className(handle(window));
    if (name.starts_with(L"#327"))
        return false;
    if (name.find(L"DDWnd") != std::wstring::npos)
        return true;
    const auto style = static_cast<DWORD>(GetWindowLongW(handle(window), GWL_STYLE));
    if ((style & 0xFFFF0000u) != 0x94080000u && style != 0x94000000u)
        return false;
    RECT rect;
    if (!GetWindowRect(handle(window), &rect))
        return false;
    HDC screen = GetDC(nullptr);
    const int width = GetDeviceCaps(screen, HORZRES);
    const int height = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    return rect.left == 0 && rect.top == 0 && rect.right == width && rect.bottom == height;
}

// Under a tooltip, a menu, the screen saver or a bare pop-up the pointer is
// only passing: the stacking waits.
bool Win32WindowSystem::isTransient(WindowId window)
{
    if (window == 0 || !IsWindow(handle(window)))
        return false;
    if (!IsWindowVisible(handle(window)))
        return true;
    const std::wstring name = className(handle(window));
    std::wstring lower = name;
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(std::towlower(c));
    const auto style = static_cast<DWORD>(GetWindowLongW(handle(window), GWL_STYLE));
    return lower.find(L"tooltip") != std::wstring::npos || name.starts_with(L"#327")
        || name == L"WindowsScreenSaverClass" || name.find(L"DDWnd") != std::wstring::npos
        || (style & 0xFFF00000u) == 0x94000000u;
}

bool Win32WindowSystem::isMenuOpen()
{
    const HWND menu = FindWindowW(kMenuClass, nullptr);
    return menu && IsWindowVisible(menu);
}

void Win32WindowSystem::stackAtBottom(WindowId window)
{
    stackAfter(window, HWND_BOTTOM);
}

void Win32WindowSystem::stackBelow(WindowId window, WindowId sibling)
{
    if (sibling != 0)
        stackAfter(window, handle(sibling));
}

void Win32WindowSystem::stackOnTop(WindowId window)
{
    stackAfter(window, HWND_TOPMOST);
}

void Win32WindowSystem::activate(WindowId window)
{
    if (window != 0)
        SetForegroundWindow(handle(window));
}

TwipsPerPixel screenTwipsPerPixel()
{
    const HDC screen = GetDC(nullptr);
    if (!screen)
        return {};
    const TwipsPerPixel twips{twipsPerPixel(GetDeviceCaps(screen, LOGPIXELSX)),
                              twipsPerPixel(GetDeviceCaps(screen, LOGPIXELSY))};
    ReleaseDC(nullptr, screen);
    return twips;
}

} // namespace zumi
