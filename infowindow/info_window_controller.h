#pragma once
#include "infowindow/info_window_memory.h"
#include "platform/window_queries.h"
#include "settings/settings.h"
#include "tariff/auto_hangup_state.h"
#include "tariff/monitor_views.h"

#include <functional>
#include <memory>

class QWidget;

namespace zumi {

class InfoWindow;

// The info window as the rest of the program uses it: loads it when it is
// first needed, shows and places it when metering starts, keeps it in its
// place in the stacking order, and unloads it when metering ends.
class InfoWindowController final : public InfoView {
public:
    // closeSettingsDialog closes the settings dialog without saving, if it is open.
    InfoWindowController(Settings& settings, const AutoHangupState& autoHangup, WindowQueries& windows,
                         WindowActions& windowActions, MenuView& menu, std::function<void()> closeSettingsDialog);
    ~InfoWindowController() override;
    InfoWindowController(const InfoWindowController&) = delete;
    InfoWindowController& operator=(const InfoWindowController&) = delete;

    // InfoView. The text and bar setters load the window (hidden) if needed.
    void setTimeText(const std::string& text) override;
    void setTaktText(const std::string& text) override;
    void setSpeedText(const std::string& text) override;
    void setProgressValue(double percent) override;
    void showInfoWindow() override;
    void keepInfoOnTop() override; // only while the window is shown
    void unload() override;

    // Lays the window out again from the display options (after the settings
    // dialog's OK); nothing to do while it is not loaded.
    void SetOption();
    bool isVisible() const;
    QWidget* window() const; // nullptr while unloaded

private:
    InfoWindow& loaded();

    Settings& settings_;
    const AutoHangupState& autoHangup_;
    WindowQueries& windows_;
    WindowActions& windowActions_;
    MenuView& menu_;
    std::function<void()> closeSettingsDialog_;
    InfoWindowMemory memory_; // outlives every load of the window
    std::unique_ptr<InfoWindow> window_;
};

} // namespace zumi
