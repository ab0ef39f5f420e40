#pragma once

namespace zumi {

// What the info window remembers across an unload and a new load: the bar
// is only redrawn when its blue width or the remaining-units number changes,
// and the window only follows the screen when the screen size changes.
struct InfoWindowMemory {
    int lastBlueWidth = 0;       // pixels
    int lastRemainingUnits = 0;  // last number written into the bar
    double lastScreenWidth = 0;  // twips
    double lastScreenHeight = 0; // twips
};

} // namespace zumi
