#pragma once
#include <windows.h>

#include <string>

namespace zumi {

// The text of a window or control, as UTF-8.
std::string windowText(HWND window);

// A message box titled "Zumi" with an OK button and an exclamation icon.
void showZumiWarning(HWND owner, const std::string& text);

} // namespace zumi
