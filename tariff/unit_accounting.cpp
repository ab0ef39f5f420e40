#include "tariff/unit_accounting.h"

#include "ras/connection_queries.h"
#include "tariff/german_format.h"
#include "tariff/monitor.h"

#include <algorithm>

namespace zumi {

std::int32_t elapsedSecondsOfDay(std::chrono::steady_clock::duration elapsed)
{
    using namespace std::chrono;
    constexpr std::int64_t kSecond = duration_cast<nanoseconds>(seconds{1}).count();
    const std::int64_t ns = duration_cast<nanoseconds>(elapsed).count();
    const std::int64_t size = ns < 0 ? -ns : ns;
    // Whole seconds first, so 86399.6 s wraps to 0 like a full day.
    return static_cast<std::int32_t>((size + kSecond / 2) / kSecond % 86400);
}

std::int32_t remainingSeconds(std::int32_t elapsedSeconds, std::int32_t cycleSeconds)
{
    return cycleSeconds > 0 ? cycleSeconds - elapsedSeconds % cycleSeconds : 0;
}

double unitPercent(std::int32_t remaining, std::int32_t cycleSeconds)
{
    return cycleSeconds >= 1 ? 100 - static_cast<double>(remaining) / cycleSeconds * 100 : 0.0;
}

float dataRate(std::uint32_t currentBytes, std::uint32_t lastBytes, std::uint32_t prevBytes)
{
    // 0 is no reading at all, not a count that fell to nothing.
    if (currentBytes == 0 || currentBytes == lastBytes)
        return 0;
    // The counter wraps at 32 bits; a reading below the earlier one is a
    // restarted or failed counter, not negative traffic.
    const auto moved = static_cast<std::int32_t>(currentBytes - prevBytes);
    const auto rate = static_cast<float>(moved / 2048.0);
    return rate < 0 ? 0 : rate;
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

    if (options.AutoHangup)
        lowTrafficRule(remaining, elapsedSeconds);

    d_.info.setSpeedText(formatRate(dataRate(currentBytes_, lastBytes_, prevBytes_)));
    d_.info.setProgressValue(unitPercent(remaining, cycleSeconds));
    d_.info.setTaktText(formatUnitTime(remaining));

    if (remaining == 10 && options.WarnSnd && !d_.sound.play("pop.wav", true))
        d_.sound.beep();

    afterUnitsRule(remaining);
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
        hangUpConnection(d_.dialUp);
}

// Hang-up after the unit in progress and N further units (N chosen in the menu).
void Monitor::afterUnitsRule(std::int32_t remaining)
{
    AutoHangupState& rule = d_.autoHangup;
    if (rule.AutoHangupUnitsToWait == -1)
        return;
    if (rule.AutoHangupUnitsToWait == rule.AutoHangupPastUnits && remaining <= 3) {
        hangUpConnection(d_.dialUp);
        rule.AutoHangupUnitsToWait = -1;
        d_.menu.uncheckAutoHangupEntries();
    }
    if (remaining == cycle_.cycleSeconds) // the first second of a unit
        rule.AutoHangupPastUnits = static_cast<std::int32_t>(static_cast<std::uint32_t>(rule.AutoHangupPastUnits) + 1u);
}

} // namespace zumi
