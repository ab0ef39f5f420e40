#include "ras/rasapi/utf16.h"

#include <windows.h>

#include <algorithm>

namespace zumi::rasapi {

std::optional<std::wstring> toUtf16(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
    return wide;
}

std::string fromUtf16(const wchar_t* text, std::size_t capacity)
{
    const int size = static_cast<int>(std::find(text, text + capacity, L'\0') - text);
    if (size == 0)
        return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

} // namespace zumi::rasapi
