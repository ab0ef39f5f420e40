#include "infowindow/win32/win32_info_window.h"

#include "infowindow/win32/win32_info_surface.h"

#include <memory>
#include <utility>

namespace zumi {

Win32InfoWindow::Win32InfoWindow(HINSTANCE instance, Settings& settings, const AutoHangupState& autoHangup,
                                 WindowQueries& windows, WindowActions& windowActions, MenuView& menu,
                                 std::function<void()> closeSettingsDialog)
    : presenter_(settings, windows, windowActions, menu, std::move(closeSettingsDialog),
                 [this, instance, &settings, &autoHangup]() -> std::unique_ptr<InfoSurface> {
                     return std::make_unique<Win32InfoSurface>(instance, settings.position, autoHangup, memory_,
                                                               [this] { presenter_.keepInfoOnTop(); });
                 })
{
}

Win32InfoWindow::~Win32InfoWindow() = default;

HWND Win32InfoWindow::window() const
{
    const auto* surface = static_cast<const Win32InfoSurface*>(presenter_.surface());
    return surface ? surface->handle() : nullptr;
}

} // namespace zumi
