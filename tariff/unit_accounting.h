#pragma once
#include <chrono>
#include <cstdint>

namespace zumi {

// The arithmetic of one metering step, apart from the window and the line.

// The online time as whole seconds of a day (0..86399): the time-of-day part
// of the elapsed time, rounded to whole seconds, a half second upwards. A
// negative elapsed time (the lead time not yet over) counts by its size, so
// -0.7 s reads as 1 s; 24 hours and more wrap around.
std::int32_t elapsedSecondsOfDay(std::chrono::steady_clock::duration elapsed);

// Seconds left in the unit: the cycle length in the unit's first second down
// to 1 in its last; 0 when no cycle length (below 1 s) is set.
std::int32_t remainingSeconds(std::int32_t elapsedSeconds, std::int32_t cycleSeconds);

// The part of the unit that has passed, 0..100 (0 without a cycle length).
double unitPercent(std::int32_t remainingSeconds, std::int32_t cycleSeconds);

// Kilobytes per second over the last two ticks; 0 when nothing arrived since
// the previous tick, when nothing could be read (0) or when the counter went
// backwards.
float dataRate(std::uint32_t currentBytes, std::uint32_t lastBytes, std::uint32_t prevBytes);

} // namespace zumi
