#pragma once
#include "settings/settings.h"

namespace zumi {

// The screens the info window last followed: it moves back to its stored
// place only when they change (one resized or moved, one added or gone).
class ScreenWatch {
public:
    // True, and remembered, when `now` differs from the screens last seen.
    bool changed(const ScreenLayout& now);

private:
    ScreenLayout last_; // none at first
};

} // namespace zumi
