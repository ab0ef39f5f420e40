#include "tariff/unit_accounting.h"

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

} // namespace zumi
