#pragma once
#include "infowindow/info_surface.h"
#include "platform/window_queries.h"
#include "settings/settings.h"
#include "tariff/monitor_views.h"

#include <functional>
#include <memory>

namespace zumi {

// Loads the info window when it is first needed, shows and places it when
// metering starts, keeps it in its place in the stacking order, and unloads
// it when metering ends.
class InfoWindowPresenter final : public InfoView {
public:
    using Load = std::function<std::unique_ptr<InfoSurface>()>;
    // closeSettingsDialog closes the settings dialog without saving, if it is open.
    InfoWindowPresenter(Settings& settings, WindowQueries& windows, WindowActions& windowActions, MenuView& menu,
                        std::function<void()> closeSettingsDialog, Load load);
    InfoWindowPresenter(const InfoWindowPresenter&) = delete;
    InfoWindowPresenter& operator=(const InfoWindowPresenter&) = delete;

    // InfoView. The text and bar setters load the window (hidden) if needed.
    void setTimeText(const std::string& text) override;
    void setTaktText(const std::string& text) override;
    void setSpeedText(const std::string& text) override;
    void setProgressValue(double percent) override;
    void showInfoWindow() override;
    void keepInfoOnTop() override; // only while the window is shown
    void unload() override;

    // Lays the window out again from the display options; nothing to do
    // while it is not loaded.
    void SetOption();
    bool isVisible() const;
    InfoSurface* surface() const { return surface_.get(); } // nullptr while unloaded

private:
    InfoSurface& loaded();

    Settings& settings_;
    WindowQueries& windows_;
    WindowActions& windowActions_;
    MenuView& menu_;
    std::function<void()> closeSettingsDialog_;
    Load load_;
    std::unique_ptr<InfoSurface> surface_;
};

} // namespace zumi
