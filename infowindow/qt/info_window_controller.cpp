#include "infowindow/qt/info_window_controller.h"

#include "infowindow/qt/info_window.h"

#include <memory>
#include <utility>

namespace zumi {

InfoWindowController::InfoWindowController(Settings& settings, const AutoHangupState& autoHangup,
                                           WindowQueries& windows, WindowActions& windowActions, MenuView& menu,
                                           std::function<void()> closeSettingsDialog)
    : presenter_(settings, windows, windowActions, menu, std::move(closeSettingsDialog),
                 [this, &settings, &autoHangup]() -> std::unique_ptr<InfoSurface> {
                     return std::make_unique<InfoWindow>(settings.position, autoHangup, memory_,
                                                         [this] { presenter_.keepInfoOnTop(); });
                 })
{
}

InfoWindowController::~InfoWindowController() = default;

QWidget* InfoWindowController::window() const
{
    return static_cast<InfoWindow*>(presenter_.surface());
}

} // namespace zumi
