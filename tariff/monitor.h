#pragma once
#include "core/conn_names.h"
#include "platform/clock.h"
#include "platform/dialup_access.h"
#include "platform/sound_player.h"
#include "ras/bytes_total.h"
#include "settings/settings.h"
#include "tariff/auto_hangup_state.h"
#include "tariff/hangup_watch.h"
#include "tariff/metering_log.h"
#include "tariff/monitor_views.h"
#include "tariff/tariff_schedule.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

namespace zumi {

struct MonitorDeps {
    const Clock& clock;
    DialUpAccess& dialUp;
    ByteSource& bytes; // the platform's link counter
    InfoView& info;
    TrayView& tray;
    MenuView& menu;
    SoundPlayer& sound;
    PopupWatchdog& watchdog;
    const Settings& settings;
    const ConnNames& connNames;
    AutoHangupState& autoHangup;
    HangupWatch& hangups;
    MeteringLog* log = nullptr;    // the call log, when there is one
    BudgetCheck* budget = nullptr; // the monthly budget's cut-off, when there is one
};

// The once-a-second heartbeat: detects connects and disconnects and meters
// the running connection.
class Monitor {
public:
    explicit Monitor(MonitorDeps deps);

    void Timer_Timer();

    std::int32_t activeConn() const { return activeConn_; } // -1 = none
    bool metering() const { return !prevConnName_.empty(); }
    std::int32_t hActiveConn() const { return hActiveConn_; }
    const CycleState& cycle() const { return cycle_; }

private:
    void connectionStart(const std::string& name);
    void connectionEnd();
    void refreshProgress();
    void lowTrafficRule(std::int32_t remainingSeconds, std::int32_t elapsedSeconds);
    void afterUnitsRule(std::int32_t remainingSeconds, std::int32_t elapsedSeconds);
    void requestHangup(HangupCause cause, std::int32_t elapsedSeconds);
    void budgetRule(std::int32_t remainingSeconds, std::int32_t elapsedSeconds);
    void countUnitsForLog(std::int32_t elapsedSeconds, std::int32_t cycleSeconds, std::int32_t remaining);

    MonitorDeps d_;
    BytesTotal bytes_{d_.bytes};
    std::string prevConnName_;
    std::int32_t activeConn_ = -1;
    std::int32_t hActiveConn_ = 0;
    std::chrono::steady_clock::time_point connectStart_{};
    std::uint32_t currentBytes_ = 0;
    std::uint32_t lastBytes_ = 0;
    std::uint32_t prevBytes_ = 0;
    std::array<std::uint32_t, 11> byteSamples_{};
    bool lowTrafficArmed_ = false;
    CycleState cycle_;
    // The call log's count: units begun, and the grid they were counted on.
    bool budgetArmed_ = false; // the budget may still be asked in this unit
    std::int32_t loggedUnits_ = 0;
    std::int32_t loggedCycle_ = 0;
    std::int32_t loggedIndex_ = 0;
    std::int32_t meteredHandle_ = 0;
    LinkCounts loggedBytes_; // the last readable counters while up
};

} // namespace zumi
