#include "tariff/monitor.h"

#include "ras/connection_queries.h"

#include <utility>

namespace zumi {
namespace {

// Each Vorlauf step moves the start of the unit count 0.00001 day later.
constexpr std::chrono::milliseconds kVorlaufStep{864};

} // namespace

Monitor::Monitor(MonitorDeps deps)
    : d_(deps)
{
}

void Monitor::Timer_Timer()
{
    const Options& options = d_.settings.options;

    currentBytes_ = options.AutoHangup || options.ShowSpeed ? bytes_.getBytesTotal(hActiveConn_) : 0;

    d_.watchdog.run();

    std::string name;
    try {
        name = getActiveConnection(d_.dialUp, hActiveConn_);
    } catch (...) {
        name.clear(); // a failed query reads as no connection
    }
    if (getConnectState(d_.dialUp, hActiveConn_) == kStateDisconnected)
        name.clear();

    if (name == prevConnName_) {
        if (name.empty())
            return; // idle: the byte history stays where it is
        refreshProgress();
    } else if (prevConnName_.empty()) {
        connectionStart(name);
    } else if (name.empty()) {
        connectionEnd();
    }
    // A new name without an empty tick between is the same connection renamed:
    // it goes on with its start and its connection index.

    prevBytes_ = lastBytes_;
    if (currentBytes_ != 0) // 0: no reading this tick
        lastBytes_ = currentBytes_;
    prevConnName_ = std::move(name);
}

void Monitor::connectionStart(const std::string& name)
{
    d_.autoHangup.AutoHangupUnitsToWait = -1;
    lowTrafficArmed_ = true;
    lastBytes_ = bytes_.getBytesTotal(hActiveConn_);
    prevBytes_ = lastBytes_;
    byteSamples_.fill(lastBytes_);

    d_.tray.trayModify(TrayIcon::Online, "Connected: " + name);
    d_.menu.setDisconnectShown(true);
    d_.info.setProgressValue(0);
    d_.info.showInfoWindow();
    d_.info.setTimeText("0:00");
    d_.info.setTaktText("0:00");

    connectStart_ = d_.clock.monotonicNow() + d_.settings.options.Vorlauf * kVorlaufStep;
    activeConn_ = findConnectionSlot(d_.connNames, name);
    cycle_.recalcCycle = true;
}

void Monitor::connectionEnd()
{
    d_.tray.trayModify(TrayIcon::Offline, " Zumi ");
    d_.menu.setDisconnectShown(false);
    d_.info.unload();
    activeConn_ = -1;
    if (d_.settings.options.HangupSnd)
        (void)d_.sound.play("hangup.wav", false); // a failed sound is no reason to beep
    d_.menu.setMeteringEnabled(false);
    d_.autoHangup.AutoHangupUnitsToWait = -1;
}

} // namespace zumi
