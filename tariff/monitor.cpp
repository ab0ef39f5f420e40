#include "tariff/monitor.h"

#include "ras/connection_queries.h"
#include "tariff/german_format.h"
#include "tariff/unit_accounting.h"

#include <algorithm>
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
    d_.hangups.linkSeen(name.empty() ? 0 : hActiveConn_);

    if (name == prevConnName_) {
        if (name.empty()) {
            if (d_.log)
                d_.log->tick({});
            return; // idle: the byte history stays where it is
        }
        refreshProgress();
    } else if (prevConnName_.empty()) {
        connectionStart(name);
    } else if (name.empty()) {
        connectionEnd();
    }
    // A new name without an empty tick between is the same connection renamed:
    // it goes on with its start and its connection index.
    if (d_.log)
        d_.log->tick(name.empty() ? LinkCounts{} : loggedBytes_);

    prevBytes_ = lastBytes_;
    if (currentBytes_ != 0) // 0: no reading this tick
        lastBytes_ = currentBytes_;
    prevConnName_ = std::move(name);
}

void Monitor::connectionStart(const std::string& name)
{
    d_.autoHangup.disarmKeepingChoice();
    lowTrafficArmed_ = true;
    budgetArmed_ = true;
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

    if (d_.log) {
        loggedUnits_ = 1;
        loggedCycle_ = 0; // no grid yet: the first refresh sets it
        loggedIndex_ = 0;
        loggedBytes_ = lastBytes_ != 0 ? bytes_.lastCounts() : LinkCounts{};
        meteredHandle_ = hActiveConn_;
        d_.hangups.forgetAsked();
        d_.log->started(name, loggedBytes_);
    }
}

void Monitor::connectionEnd()
{
    if (d_.log) {
        CallEnd how = CallEnd::Outside;
        if (const auto cause = d_.hangups.lastAsked(meteredHandle_))
            how = *cause == HangupCause::Menu       ? CallEnd::Menu
                : *cause == HangupCause::LowTraffic ? CallEnd::LowTraffic
                : *cause == HangupCause::Budget     ? CallEnd::Budget
                                                    : CallEnd::AfterUnits;
        d_.log->ended(how, loggedBytes_);
    }
    d_.tray.trayModify(TrayIcon::Offline, " Zumi ");
    d_.menu.setDisconnectShown(false);
    d_.info.unload();
    activeConn_ = -1;
    if (d_.settings.options.HangupSnd)
        (void)d_.sound.play("hangup.wav", false); // a failed sound is no reason to beep
    d_.menu.setMeteringEnabled(false);
    d_.autoHangup.disarmKeepingChoice();
}

void Monitor::refreshProgress()
{
    const Options& options = d_.settings.options;

    d_.info.keepInfoOnTop();

    // Online time runs on the monotonic clock, so a daylight-saving change
    // moves neither the shown time nor the unit grid.
    const std::int32_t elapsedSeconds = elapsedSecondsOfDay(d_.clock.monotonicNow() - connectStart_);
    d_.info.setTimeText(formatOnlineTime(elapsedSeconds));

    // Bands and day types follow the wall clock.
    UpdateCycleLength(cycle_, d_.settings.tariffs, activeConn_, d_.clock.localNow());

    const std::int32_t cycleSeconds = cycle_.cycleSeconds;
    const std::int32_t remaining = remainingSeconds(elapsedSeconds, cycleSeconds);
    if (d_.log)
        countUnitsForLog(elapsedSeconds, cycleSeconds, remaining);

    if (options.AutoHangup)
        lowTrafficRule(remaining, elapsedSeconds);

    d_.info.setSpeedText(formatRate(dataRate(currentBytes_, lastBytes_, prevBytes_)));
    d_.info.setProgressValue(unitPercent(remaining, cycleSeconds));
    d_.info.setTaktText(formatUnitTime(remaining));

    if (remaining == 10 && options.WarnSnd && !d_.sound.play("pop.wav", true))
        d_.sound.beep();

    afterUnitsRule(remaining, elapsedSeconds);
    if (d_.budget)
        budgetRule(remaining, elapsedSeconds);
}

// Once per unit, in its last three seconds, as the other automatic rules: a
// budget that ran out ends the call before the next unit is charged.
void Monitor::budgetRule(std::int32_t remaining, std::int32_t elapsedSeconds)
{
    const bool lastSeconds = remaining >= 1 && remaining <= 3;
    if (!lastSeconds) {
        budgetArmed_ = true;
        return;
    }
    if (!budgetArmed_)
        return;
    budgetArmed_ = false;
    if (d_.budget->exhausted())
        requestHangup(HangupCause::Budget, elapsedSeconds);
}

// Units begun are what a unit tariff charges, so a band change that
// lengthens the cycle takes none back: the unit in progress runs on, and only
// a grid point of the cycle in force begins a new one. The grid's 24-hour wrap
// begins one too.
void Monitor::countUnitsForLog(std::int32_t elapsedSeconds, std::int32_t cycleSeconds, std::int32_t remaining)
{
    // The row's bytes are those of the last tick that saw the link; the
    // counters are read for it when the options did not read them.
    if (currentBytes_ != 0 || bytes_.getBytesTotal(hActiveConn_) != 0)
        loggedBytes_ = bytes_.lastCounts();
    const std::int32_t index = cycleSeconds > 0 ? elapsedSeconds / cycleSeconds : 0;
    std::int32_t begun = 0;
    if (loggedCycle_ == 0 || cycleSeconds != loggedCycle_)
        begun = loggedCycle_ != 0 && cycleSeconds > 0 && remaining == cycleSeconds ? 1 : 0;
    else if (index > loggedIndex_)
        begun = index - loggedIndex_; // ticks the timer skipped lose no unit
    else if (index < loggedIndex_)
        begun = index + 1;
    loggedCycle_ = cycleSeconds;
    loggedIndex_ = index;
    if (begun == 0)
        return;
    loggedUnits_ += begun;
    d_.log->unitBegun(loggedUnits_, loggedBytes_);
}

// Once per unit, in its last three seconds: hang up when fewer than
// HangupBytes crossed the link during the last HangupTakte units.
void Monitor::lowTrafficRule(std::int32_t remaining, std::int32_t elapsedSeconds)
{
    const Options& options = d_.settings.options;
    const bool lastSeconds = remaining >= 1 && remaining <= 3;
    if (!lowTrafficArmed_) {
        if (!lastSeconds)
            lowTrafficArmed_ = true;
        return;
    }
    if (!lastSeconds)
        return;

    lowTrafficArmed_ = false;
    // The store keeps HangupTakte in 1..10; the table of samples has room for no more.
    const int units = std::clamp<std::int32_t>(options.HangupTakte, 1, static_cast<int>(byteSamples_.size()) - 1);
    for (int i = 1; i <= units; ++i)
        byteSamples_[i - 1] = byteSamples_[i];
    // An unreadable counter (0) moved nothing since the last reading.
    const std::uint32_t total = bytes_.getBytesTotal(hActiveConn_);
    byteSamples_[units] = total != 0 ? total : lastBytes_;
    const auto transferred = static_cast<std::int32_t>(byteSamples_[units] - byteSamples_[0]);

    const bool lastedLongEnough = std::int64_t{cycle_.cycleSeconds} * units <= elapsedSeconds;
    if (lastedLongEnough && transferred < options.HangupBytes)
        requestHangup(HangupCause::LowTraffic, elapsedSeconds);
}

// Hang-up after the unit in progress and N further units (N chosen in the menu).
void Monitor::afterUnitsRule(std::int32_t remaining, std::int32_t elapsedSeconds)
{
    AutoHangupState& rule = d_.autoHangup;
    if (!rule.armed())
        return;
    if (rule.unitsLeft() == 0 && remaining <= 3) {
        requestHangup(HangupCause::AfterUnits, elapsedSeconds);
        rule.disarm();
    }
    if (remaining == cycle_.cycleSeconds) // the first second of a unit
        rule.unitBegan();
}

// The hang-up and what became of it go to the watch, which tells the user.
void Monitor::requestHangup(HangupCause cause, std::int32_t elapsedSeconds)
{
    const HangupAttempt attempt = hangUpConnection(d_.dialUp);
    const std::int32_t units = cycle_.cycleSeconds > 0 ? elapsedSeconds / cycle_.cycleSeconds + 1 : 0;
    d_.hangups.requested({attempt.handle, attempt.entryName, cause, attempt.error, elapsedSeconds, units});
}

} // namespace zumi
