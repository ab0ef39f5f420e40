#pragma once
#include "platform/desktop_notifier.h"
#include "tariff/monitor_views.h"

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <optional>
#include <string>

namespace zumi {

// The icon in the taskbar's notification area: blue while offline, red while
// a connection is metered, its presses sent to the main window as the
// callback message, and the notifications shown as its balloon.
class Win32Tray final : public TrayView, public DesktopNotifier {
public:
    // The shell's call; tests put their own in its place.
    using Notify = std::function<BOOL(DWORD message, NOTIFYICONDATAW& data)>;

    Win32Tray(HWND window, UINT callbackMessage, HICON offline, HICON online, Notify notify = {});
    Win32Tray(const Win32Tray&) = delete;
    Win32Tray& operator=(const Win32Tray&) = delete;

    // Shows the icon; the tooltip is the text with one blank on each side.
    void trayAdd(TrayIcon icon, const std::string& text);
    // TrayView: picture and tooltip; the text is taken as it is.
    void trayModify(TrayIcon icon, const std::string& text) override;
    void trayDelete();
    // The taskbar was made anew and has lost the icon: red while the info
    // window shows (a connection is metered), else blue.
    void addAgain(bool infoWindowVisible);

    // DesktopNotifier: the icon's balloon; nothing while the icon is gone.
    void notify(const std::string& summary, const std::string& body) override;

    bool shown() const { return shown_; }
    TrayIcon currentIcon() const { return icon_; }
    const std::string& toolTip() const { return tip_; }
    // Where the icon lies on the screen, if the shell says.
    std::optional<RECT> iconRect() const;

private:
    NOTIFYICONDATAW data(UINT flags, TrayIcon icon, const std::string& tip) const;

    HWND window_;
    UINT callbackMessage_;
    HICON offline_;
    HICON online_;
    Notify notify_;
    bool shown_ = false;
    TrayIcon icon_ = TrayIcon::Offline;
    std::string tip_;
};

} // namespace zumi
