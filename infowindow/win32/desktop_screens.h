#pragma once
#include "settings/settings.h"

namespace zumi {

// The screens as Windows lays them out now, in desktop pixels (the primary
// screen's top left corner at 0,0).
ScreenLayout desktopScreens();

} // namespace zumi
