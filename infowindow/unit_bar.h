#pragma once
#include "platform/pixel_rect.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zumi {

// The after-N-units rule as the bar shows it.
struct HangupCountdown {
    bool armed = false;
    std::int32_t unitsLeft = 0; // compared even while not armed, as it counts
};

// What one new value draws into the bar's persistent image before the bar is
// shown again. Rectangles are in the bar's pixels, inside its 1-pixel frame.
struct BarDrawing {
    PixelRect blue; // the elapsed part, from the inner left edge
    // The rest of the inner area, repainted only when a unit begins or the
    // remaining-units number changes: light green with the number while the
    // after-N rule is armed, else the face colour and no number.
    struct Remainder {
        PixelRect area;
        bool armed = false;
        std::string unitsLeft; // the number on the bar while armed
        bool operator==(const Remainder&) const = default;
    };
    std::optional<Remainder> remainder;
    bool operator==(const BarDrawing&) const = default;
};

// The unit bar's drawing rules. What it remembers (the blue width and the
// number last drawn) outlives the window, so that a new window starts from it.
class UnitBar {
public:
    // The elapsed part of the unit in percent (clamped to 0..100, NaN as 0)
    // for a bar widthPx x heightPx with its frame; nothing when the blue part
    // keeps its pixel width.
    std::optional<BarDrawing> setValue(double percent, HangupCountdown rule, int widthPx, int heightPx);

private:
    int blueWidth_ = 0;               // pixels
    std::int32_t remainingUnits_ = 0; // the number last written into the bar
};

} // namespace zumi
