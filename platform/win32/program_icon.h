#pragma once
#include <windows.h>

namespace zumi::win32 {

// Gives a window of the program the program's own icon (the first numbered
// icon group of the module, the one Explorer shows) in both sizes, instead
// of the system's default one. Nothing changes when the module has none.
void showProgramIcon(HWND window);

} // namespace zumi::win32
