#pragma once
#include <windows.h>

#include <string>

namespace zumi {

// UTF-8 inside Zumi, UTF-16 at the Windows API.
std::wstring wideText(const std::string& text);
std::string utf8Text(const std::wstring& text);

// The text of a window or control, as UTF-8.
std::string windowText(HWND window);

// A message box titled "Zumi" with an OK button and an exclamation icon.
void showZumiWarning(HWND owner, const std::string& text);

} // namespace zumi
