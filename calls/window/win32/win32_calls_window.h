#pragma once
#include "calls/call_record.h"
#include "calls/call_store.h"
#include "platform/clock.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zumi {

struct Win32CallsWindowDeps {
    HINSTANCE instance; // holds the window's dialog (calls_window.rc)
    CallStore& store;
    const Clock& clock;
    std::function<std::vector<std::string>()> phonebook; // entries that may get a price
    std::function<void()> closed;                        // after the window let go of the month
    // Where "Als CSV speichern …" writes; "" when cancelled. Unset: the common save dialog.
    std::function<std::wstring(const std::wstring& suggested)> saveFileName = {};
    // A "Zumi" box. Unset: a message box over the window.
    std::function<void(const std::string& text)> warn = {};
};

// The "Verbindungen" window: a modeless dialog over the calls window's
// model. The month is read a page per pass of the message loop, beside the
// tick, and let go of when the window closes. The message loop must give
// the window's messages to IsDialogMessageW for Tab and the access keys.
class Win32CallsWindow final {
public:
    explicit Win32CallsWindow(Win32CallsWindowDeps deps);
    ~Win32CallsWindow();
    Win32CallsWindow(const Win32CallsWindow&) = delete;
    Win32CallsWindow& operator=(const Win32CallsWindow&) = delete;

    // Shows the current month (or the shown one again when open) and brings the window up.
    void showWindow();
    // The call being metered, as the call log wrote it; shown in place.
    void runningCall(const CallRecord& call);
    // Hides the window and lets go of the month; an export under way goes on.
    void close();
    HWND window() const;

private:
    class Dialog;
    std::unique_ptr<Dialog> dialog_;
};

} // namespace zumi
