#pragma once
#include "settings/settings.h"

#include <cstdint>

namespace zumi {

// The default place of the window's top left corner, in twips from the
// primary screen's top right corner.
inline constexpr double kDefaultInfoLeftFromRight = 3050;
inline constexpr std::int32_t kDefaultInfoTop = 255;

struct InfoPlace {
    std::int32_t leftTwips = 0; // from the primary screen's left edge
    std::int32_t topTwips = 0;  // from the primary screen's top
    int x = 0, y = 0;           // desktop pixels
};

// Where a window widthPx x heightPx goes for the stored infoRight and infoTop.
// A place no screen shows any part of (its screen gone) gives the default place.
InfoPlace placeInfoWindow(const InfoPosition& position, int widthPx, int heightPx, const ScreenLayout& screens,
                          int tppX, int tppY);

// The position to store for a window widthPx wide whose top left corner is at
// x, y desktop pixels.
InfoPosition recordInfoPosition(int x, int y, int widthPx, const ScreenLayout& screens, int tppX, int tppY);

} // namespace zumi
