#pragma once
#include "infowindow/info_window_memory.h"
#include "infowindow/info_window_presenter.h"
#include "platform/window_queries.h"
#include "settings/settings.h"
#include "tariff/auto_hangup_state.h"
#include "tariff/monitor_views.h"

#include <windows.h>

#include <functional>

namespace zumi {

// The info window as the rest of the program uses it: the presenter's
// decisions over the Win32 window, which it loads when it is first needed.
class Win32InfoWindow final : public InfoView {
public:
    // closeSettingsDialog closes the settings dialog without saving, if it is open.
    Win32InfoWindow(HINSTANCE instance, Settings& settings, const AutoHangupState& autoHangup, WindowQueries& windows,
                    WindowActions& windowActions, MenuView& menu, std::function<void()> closeSettingsDialog);
    ~Win32InfoWindow() override;
    Win32InfoWindow(const Win32InfoWindow&) = delete;
    Win32InfoWindow& operator=(const Win32InfoWindow&) = delete;

    // InfoView. The text and bar setters load the window (hidden) if needed.
    void setTimeText(const std::string& text) override { presenter_.setTimeText(text); }
    void setTaktText(const std::string& text) override { presenter_.setTaktText(text); }
    void setSpeedText(const std::string& text) override { presenter_.setSpeedText(text); }
    void setProgressValue(double percent) override { presenter_.setProgressValue(percent); }
    void showInfoWindow() override { presenter_.showInfoWindow(); }
    void keepInfoOnTop() override { presenter_.keepInfoOnTop(); } // only while the window is shown
    void unload() override { presenter_.unload(); }

    // Lays the window out again from the display options (after the settings
    // dialog's OK); nothing to do while it is not loaded.
    void SetOption() { presenter_.SetOption(); }
    bool isVisible() const { return presenter_.isVisible(); }
    HWND window() const; // nullptr while unloaded

private:
    InfoWindowMemory memory_; // outlives every load of the window
    InfoWindowPresenter presenter_;
};

} // namespace zumi
