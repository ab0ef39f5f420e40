#pragma once
#include <string>
#include <string_view>

namespace zumi::win32 {

// UTF-8 inside Zumi, UTF-16 at the Windows API.
std::wstring wideFromUtf8(std::string_view text);
std::string utf8FromWide(std::wstring_view text);

// The system's text for an error code, in UTF-8, without the trailing line break.
std::string errorText(unsigned long code);

} // namespace zumi::win32
