#pragma once
#include "app/tray_menu.h"

#include <windows.h>

#include <string>

namespace zumi {

// The program's message boxes, all titled "Zumi". The menu's two wait for
// their answer in the box's own message loop, which keeps the tick going;
// a warning that does not wait gets a thread of its own, so that nothing of
// the program waits for its OK (it ends with the program).
class Win32MessageBoxes final : public MenuMessages {
public:
    // owner: the hidden main window, so that a press on the tray icon finds the box.
    explicit Win32MessageBoxes(HWND owner)
        : owner_(owner)
    {
    }

    // MenuMessages
    bool question(const std::string& text) override;
    void exclamation(const std::string& text) override;

    // Exclamation icon and OK button; shows the box and returns at once.
    void warnWithoutWaiting(const std::string& text);

private:
    HWND owner_;
};

} // namespace zumi
