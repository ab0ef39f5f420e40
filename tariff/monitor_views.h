#pragma once
#include <string>

namespace zumi {

// The info window as the monitor sees it.
class InfoView {
public:
    virtual ~InfoView() = default;
    // Each text is shown at once (repainted without waiting for the next paint).
    virtual void setTimeText(const std::string& text) = 0;  // lblTime
    virtual void setTaktText(const std::string& text) = 0;  // lblTakt
    virtual void setSpeedText(const std::string& text) = 0; // lblSpeed
    virtual void setProgressValue(double percent) = 0;
    // Loads and shows the window without taking the focus, lays it out, puts
    // it in place and enables the metering menu entries (showInfoWindow).
    virtual void showInfoWindow() = 0;
    virtual void keepInfoOnTop() = 0;
    // Moves it off the screen and unloads it.
    virtual void unload() = 0;
};

enum class TrayIcon { Offline, Online }; // blue, red

class TrayView {
public:
    virtual ~TrayView() = default;
    virtual void trayModify(TrayIcon icon, const std::string& text) = 0;
};

// The popup menu states the monitor changes.
class MenuView {
public:
    virtual ~MenuView() = default;
    virtual void setDisconnectShown(bool shown) = 0; // mnuTrenn1 and mnuDisconnect visible
    // Metering starts (true): mnuSettings disabled, mnuAutoHangup and
    // mnuDisconnect enabled. Ends (false): the reverse.
    virtual void setMeteringEnabled(bool metering) = 0;
};

// Runs the popup watchdog early in every tick.
class PopupWatchdog {
public:
    virtual ~PopupWatchdog() = default;
    virtual void run() = 0;
};

} // namespace zumi
