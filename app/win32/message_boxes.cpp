#include "app/win32/message_boxes.h"

#include "platform/win32/wide_text.h"

#include <thread>

namespace zumi {
namespace {

constexpr const wchar_t* kTitle = L"Zumi";

} // namespace

bool Win32MessageBoxes::question(const std::string& text)
{
    return ::MessageBoxW(owner_, win32::wideFromUtf8(text).c_str(), kTitle,
                         MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND)
        == IDYES;
}

void Win32MessageBoxes::exclamation(const std::string& text)
{
    ::MessageBoxW(owner_, win32::wideFromUtf8(text).c_str(), kTitle, MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}

void Win32MessageBoxes::warnWithoutWaiting(const std::string& text)
{
    // No owner: a box of another thread must not hold up the main window's input.
    std::thread([wide = win32::wideFromUtf8(text)] {
        ::MessageBoxW(nullptr, wide.c_str(), kTitle, MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND | MB_TOPMOST);
    }).detach();
}

} // namespace zumi
