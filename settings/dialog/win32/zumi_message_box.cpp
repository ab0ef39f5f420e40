#include "settings/dialog/win32/zumi_message_box.h"
#include "platform/win32/wide_text.h"

namespace zumi {

std::string windowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return win32::utf8FromWide(text);
}

void showZumiWarning(HWND owner, const std::string& text)
{
    MessageBoxW(owner, win32::wideFromUtf8(text).c_str(), L"Zumi", MB_OK | MB_ICONEXCLAMATION);
}

} // namespace zumi
