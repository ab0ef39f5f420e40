#include "infowindow/unit_bar.h"

#include "core/numbers.h"

#include <cmath>
#include <utility>

namespace zumi {
namespace {

// Below this the value belongs to a unit just begun, whose bar is redrawn whole.
constexpr double kNewUnitPercent = 0.1;

} // namespace

std::optional<BarDrawing> UnitBar::setValue(double percent, HangupCountdown rule, int widthPx, int heightPx)
{
    if (std::isnan(percent))
        percent = 0;
    clampValue(percent, 0.0, 100.0);

    const int innerWidth = widthPx - 2;
    const int innerHeight = heightPx - 2;
    const int blue = roundToInt32(innerWidth * percent / 100.0); // ties to even
    if (blue == blueWidth_)
        return std::nullopt;
    // A bar that shrinks within a unit (the cycle length changed) would keep
    // stale blue behind its end; the remainder is repainted then as well.
    const bool shrank = blue < blueWidth_;
    blueWidth_ = blue;

    BarDrawing drawing;
    drawing.blue = {1, 1, 1 + blue, 1 + innerHeight};
    const std::int32_t remaining = rule.unitsLeft;
    if (percent < kNewUnitPercent || remaining != remainingUnits_ || shrank) {
        remainingUnits_ = remaining;
        BarDrawing::Remainder rest;
        rest.area = {1 + blue, 1, 1 + innerWidth, 1 + innerHeight};
        rest.armed = rule.armed;
        if (rest.armed)
            rest.unitsLeft = std::to_string(remaining);
        drawing.remainder = std::move(rest);
    }
    return drawing;
}

} // namespace zumi
