#pragma once
#include "settings/settings.h"

namespace zumi {

// What the info window remembers across an unload and a new load: the bar
// is only redrawn when its blue width or the remaining-units number changes,
// and the window only follows the screens when they change.
struct InfoWindowMemory {
    int lastBlueWidth = 0;      // pixels
    int lastRemainingUnits = 0; // last number written into the bar
    ScreenLayout lastScreens;
};

} // namespace zumi
