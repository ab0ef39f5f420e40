#include "infowindow/info_window_controller.h"

#include "infowindow/info_window.h"
#include "infowindow/stacking_guard.h"

#include <QGuiApplication>

namespace zumi {
namespace {

// Off the visible screen, where the window waits before it is placed and
// before it goes: left of and above the whole desktop.
constexpr double kOffScreenTwips = -1111;

} // namespace

InfoWindowController::InfoWindowController(Settings& settings, const AutoHangupState& autoHangup,
                                           WindowQueries& windows, WindowActions& windowActions, MenuView& menu,
                                           std::function<void()> closeSettingsDialog)
    : settings_(settings)
    , autoHangup_(autoHangup)
    , windows_(windows)
    , windowActions_(windowActions)
    , menu_(menu)
    , closeSettingsDialog_(std::move(closeSettingsDialog))
{
}

InfoWindowController::~InfoWindowController() = default;

InfoWindow& InfoWindowController::loaded()
{
    if (!window_)
        window_ = std::make_unique<InfoWindow>(settings_.position, autoHangup_, memory_, [this] { keepInfoOnTop(); });
    return *window_;
}

void InfoWindowController::setTimeText(const std::string& text)
{
    loaded().setTimeText(QString::fromStdString(text));
}

void InfoWindowController::setTaktText(const std::string& text)
{
    loaded().setTaktText(QString::fromStdString(text));
}

void InfoWindowController::setSpeedText(const std::string& text)
{
    loaded().setSpeedText(QString::fromStdString(text));
}

void InfoWindowController::setProgressValue(double percent)
{
    loaded().setProgressValue(percent);
}

void InfoWindowController::showInfoWindow()
{
    const WindowId foreground = windows_.activeWindow();
    if (closeSettingsDialog_)
        closeSettingsDialog_();

    InfoWindow& window = loaded();
    window.moveTwips(kOffScreenTwips, kOffScreenTwips);
    if (!window.isVisible()) // no taskbar button: a tool window alone does not say so everywhere
        windowActions_.skipTaskbarAndPager(static_cast<WindowId>(window.winId()));
    window.show();           // without activating: the window's attributes see to that
    QGuiApplication::sync(); // mapped before the stacking queries look at it
    // Events ran in there: an end asked meanwhile (a signal, a logout) has
    // unloaded the window.
    if (window_.get() != &window)
        return;

    // The user keeps working where they were.
    if (foreground != 0 && windows_.activeWindow() != foreground)
        windowActions_.activate(foreground);
    keepInfoOnTop();

    window.SetOption(settings_.options);
    settings_.position.infoLeft = window.moveToStoredPlace().leftTwips;

    menu_.setMeteringEnabled(true);
}

void InfoWindowController::keepInfoOnTop()
{
    if (!window_ || !window_->isVisible())
        return;
    zumi::keepInfoOnTop(windows_, windowActions_, static_cast<WindowId>(window_->winId()));
}

void InfoWindowController::unload()
{
    if (!window_)
        return;
    window_->moveTwips(kOffScreenTwips, kOffScreenTwips);
    window_.reset();
}

void InfoWindowController::SetOption()
{
    if (window_)
        window_->SetOption(settings_.options);
}

bool InfoWindowController::isVisible() const
{
    return window_ && window_->isVisible();
}

QWidget* InfoWindowController::window() const
{
    return window_.get();
}

} // namespace zumi
