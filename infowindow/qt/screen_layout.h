#pragma once
#include "settings/settings.h"

namespace zumi {

// The screens as the toolkit reports them now, in whole-desktop pixels.
ScreenLayout screenLayout();

} // namespace zumi
