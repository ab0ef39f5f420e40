#include "app/desktop.h"

#include "app/linux/canberra_sound_player.h"
#include "app/linux/desktop_dialup.h"
#include "app/linux/notifications/dbus_desktop_notifier.h"
#include "app/linux/qt_platform_choice.h"
#include "app/linux/shutdown_signals.h"
#include "app/linux/tray_factory.h"
#include "app/qt/tray_backend.h"
#include "platform/null/null_window_queries.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_tray_host.h"
#include "platform/x11/x11_window_queries.h"

#include <QApplication>
#include <QGuiApplication>

namespace zumi {
namespace {

// The Linux desktop: pppd's and NetworkManager's dial-up links, X11's
// windows and tray host over one connection where the toolkit is on X11 (or
// XWayland), the tray that the session hosts, libcanberra's sounds, the
// notifications on the session bus, and the signals that end the program.
class LinuxDesktop final : public Desktop {
public:
    explicit LinuxDesktop(DesktopDeps deps)
        : dialUp_(makeDesktopDialUp())
        , sound_(deps.soundsDir, [] { QApplication::beep(); })
    {
        // Asked once: only an X display of the toolkit's own shows other programs' windows.
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            auto x11 = std::make_unique<X11Connection>();
            if (x11->open()) {
                x11_ = std::move(x11);
                windows_ = std::make_unique<X11WindowQueries>(*x11_);
                trayHost_ = std::make_unique<X11TrayHost>(*x11_);
            }
        }
        if (!windows_)
            windows_ = std::make_unique<NullWindowQueries>();
        tray_ = makeTray(std::move(deps.infoWindowVisible), trayHost_.get());
        QObject::connect(&signals_, &ShutdownSignals::requested, [end = std::move(deps.terminateRequested)] {
            if (end)
                end();
        });
    }

    DialUpAccess& dialUp() override { return *dialUp_.dialUp; }
    ByteSource& linkBytes() override { return *dialUp_.linkBytes; }
    WindowSystem& windows() override { return *windows_; }
    TrayBackend& tray() override { return *tray_; }
    SoundPlayer& sound() override { return sound_; }
    DesktopNotifier& notifier() override { return notifier_; }

private:
    ShutdownSignals signals_;
    DesktopDialUp dialUp_;
    std::unique_ptr<X11Connection> x11_; // shared by the window queries and the tray host
    std::unique_ptr<WindowSystem> windows_;
    std::unique_ptr<X11TrayHost> trayHost_;
    std::unique_ptr<TrayBackend> tray_;
    CanberraSoundPlayer sound_;
    DBusDesktopNotifier notifier_;
};

} // namespace

void prepareToolkit()
{
    // The program's windows are tiny: copying a repaint over the X connection
    // is cheaper than the shared-memory image, whose every repaint first
    // waits for the server to let go of it.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    // Nothing in the program runs on a GLib main loop, and Qt's own event
    // loop costs less per wake-up - the program wakes once a second for good.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    // On Wayland the windows go through XWayland where it runs, so that the
    // info window can stay on top; the user's own choice is left alone.
    const std::optional<std::string> platform
        = platformOverride({qEnvironmentVariableIsSet("WAYLAND_DISPLAY"), qEnvironmentVariableIsSet("DISPLAY"),
                            qEnvironmentVariableIsSet("QT_QPA_PLATFORM")});
    if (platform)
        qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(*platform));
}

std::unique_ptr<Desktop> makeDesktop(DesktopDeps deps)
{
    return std::make_unique<LinuxDesktop>(std::move(deps));
}

} // namespace zumi
