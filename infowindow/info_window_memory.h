#pragma once
#include "infowindow/screen_watch.h"
#include "infowindow/unit_bar.h"

namespace zumi {

// What the info window remembers across an unload and a new load: the bar
// is only redrawn when its blue width or the remaining-units number changes,
// and the window only follows the screens when they change.
struct InfoWindowMemory {
    UnitBar bar;
    ScreenWatch screens;
};

} // namespace zumi
