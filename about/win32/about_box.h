#pragma once
#include <windows.h>

#include <string>

namespace zumi {

// Shows the about box of this build (its dialog resource is in instance) modally over owner.
void showAboutBox(HINSTANCE instance, HWND owner);

// Puts text on the clipboard as Unicode text; false when the clipboard could not be had.
bool copyToClipboard(HWND owner, const std::wstring& text);

} // namespace zumi
