#include "app/win32/main_window.h"

#include <string_view>

namespace zumi {
namespace {

constexpr const wchar_t* kClassName = L"ZumiMainWindow";
constexpr UINT_PTR kTimerId = 1;

bool isDialog(HWND window)
{
    wchar_t name[8] = {};
    return ::GetClassNameW(window, name, 8) > 0 && std::wstring_view(name) == L"#32770";
}

} // namespace

MainWindow::MainWindow(HINSTANCE instance, MainWindowHandlers handlers)
    : instance_(instance)
    , handlers_(std::move(handlers))
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &MainWindow::procedure;
    windowClass.hInstance = instance_;
    windowClass.lpszClassName = kClassName;
    ::RegisterClassExW(&windowClass); // fails harmlessly when registered before
    // 0 when the name cannot be registered: then no message matches.
    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    // A tool window: never on the taskbar, also while the watchdog shows it for a moment.
    window_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"Zumi", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                instance_, this);
}

MainWindow::~MainWindow()
{
    if (window_) {
        stopTimer();
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

void MainWindow::startTimer()
{
    ::SetTimer(window_, kTimerId, 1000, nullptr);
}

void MainWindow::stopTimer()
{
    ::KillTimer(window_, kTimerId);
}

LRESULT CALLBACK MainWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return ::DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto call = [](const auto& handler, auto... arguments) {
        if (handler)
            handler(arguments...);
    };
    if (message != 0 && message == taskbarCreated_) {
        call(handlers_.taskbarCreated);
        return 0;
    }
    switch (message) {
    case WM_TIMER:
        if (wParam == kTimerId)
            call(handlers_.tick);
        return 0;
    case kTrayMessage: {
        const DWORD at = ::GetMessagePos();
        call(handlers_.tray, static_cast<UINT>(lParam),
             POINT{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))});
        return 0;
    }
    case WM_CLOSE:
        call(handlers_.end);
        return 0;
    // The session ends: the program never refuses, and saves before Windows
    // may end it without another message.
    case WM_QUERYENDSESSION:
        call(handlers_.end);
        return TRUE;
    case WM_ENDSESSION:
        if (wParam)
            call(handlers_.end);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

int runMessageLoop()
{
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root && isDialog(root) && ::IsDialogMessageW(root, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 1;
}

} // namespace zumi
