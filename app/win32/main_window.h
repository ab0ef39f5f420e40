#pragma once
#include <windows.h>

#include <functional>

namespace zumi {

// What the hidden main window hands on.
struct MainWindowHandlers {
    std::function<void()> tick;                                 // every 1000 ms
    std::function<void(UINT mouseEvent, POINT pointer)> tray;   // the tray icon's callback
    std::function<void()> taskbarCreated;                       // the taskbar was made anew
    std::function<void()> end;                                  // closed, or the Windows session ends
};

// The program's hidden main window, captioned "Zumi": it owns the timer and
// the tray icon's messages, and hears the end of the Windows session. It is
// a top-level window (never shown), since "TaskbarCreated" is sent to those
// only.
class MainWindow {
public:
    static constexpr UINT kTrayMessage = WM_APP + 1;

    MainWindow(HINSTANCE instance, MainWindowHandlers handlers);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND handle() const { return window_; }
    UINT taskbarCreatedMessage() const { return taskbarCreated_; }

    void startTimer();
    void stopTimer();

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    MainWindowHandlers handlers_;
    UINT taskbarCreated_ = 0;
    HWND window_ = nullptr;
};

// The program's message loop, until WM_QUIT; its exit code. Keyboard input
// of a modeless dialog goes through that dialog (Tab, Enter, access keys).
int runMessageLoop();

} // namespace zumi
