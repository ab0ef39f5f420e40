#include "platform/win32/program_icon.h"

namespace zumi::win32 {
namespace {

HICON programIcon(HINSTANCE instance, int size)
{
    const wchar_t* first = nullptr;
    EnumResourceNamesW(
        instance, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
            // Numbered resources are their own name; named ones would need a copy, and Zumi numbers its own.
            if (IS_INTRESOURCE(name)) {
                *reinterpret_cast<const wchar_t**>(found) = name;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&first));
    if (!first)
        return nullptr;
    return static_cast<HICON>(LoadImageW(instance, first, IMAGE_ICON, size, size, LR_SHARED));
}

} // namespace

void showProgramIcon(HWND window)
{
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    if (HICON big = programIcon(instance, GetSystemMetrics(SM_CXICON)))
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (HICON small = programIcon(instance, GetSystemMetrics(SM_CXSMICON)))
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

} // namespace zumi::win32
