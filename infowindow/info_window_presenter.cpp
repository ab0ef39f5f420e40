#include "infowindow/info_window_presenter.h"

#include "infowindow/stacking_guard.h"
#include "infowindow/twips.h"

#include <utility>

namespace zumi {

InfoWindowPresenter::InfoWindowPresenter(Settings& settings, WindowQueries& windows, WindowActions& windowActions,
                                         MenuView& menu, std::function<void()> closeSettingsDialog, Load load)
    : settings_(settings)
    , windows_(windows)
    , windowActions_(windowActions)
    , menu_(menu)
    , closeSettingsDialog_(std::move(closeSettingsDialog))
    , load_(std::move(load))
{
}

InfoSurface& InfoWindowPresenter::loaded()
{
    if (!surface_)
        surface_ = load_();
    return *surface_;
}

void InfoWindowPresenter::setTimeText(const std::string& text)
{
    loaded().setTimeText(text);
}

void InfoWindowPresenter::setTaktText(const std::string& text)
{
    loaded().setTaktText(text);
}

void InfoWindowPresenter::setSpeedText(const std::string& text)
{
    loaded().setSpeedText(text);
}

void InfoWindowPresenter::setProgressValue(double percent)
{
    loaded().setProgressValue(percent);
}

void InfoWindowPresenter::showInfoWindow()
{
    const WindowId foreground = windows_.activeWindow();
    if (closeSettingsDialog_)
        closeSettingsDialog_();

    InfoSurface& surface = loaded();
    surface.moveTwips(kOffScreenTwips, kOffScreenTwips);
    if (!surface.isVisible()) // no taskbar button: a tool window alone does not say so everywhere
        windowActions_.skipTaskbarAndPager(surface.id());
    surface.show();
    // An end asked meanwhile (a signal, a logout) has unloaded the window.
    if (surface_.get() != &surface)
        return;

    // The user keeps working where they were.
    if (foreground != 0 && windows_.activeWindow() != foreground)
        windowActions_.activate(foreground);
    keepInfoOnTop();

    surface.setOption(settings_.options);
    settings_.position.infoLeft = surface.moveToStoredPlace();

    menu_.setMeteringEnabled(true);
}

void InfoWindowPresenter::keepInfoOnTop()
{
    if (!surface_ || !surface_->isVisible())
        return;
    zumi::keepInfoOnTop(windows_, windowActions_, surface_->id());
}

void InfoWindowPresenter::unload()
{
    if (!surface_)
        return;
    surface_->moveTwips(kOffScreenTwips, kOffScreenTwips);
    surface_.reset();
}

void InfoWindowPresenter::SetOption()
{
    if (surface_)
        surface_->setOption(settings_.options);
}

bool InfoWindowPresenter::isVisible() const
{
    return surface_ && surface_->isVisible();
}

} // namespace zumi
