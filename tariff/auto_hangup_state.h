#pragma once
#include <cstdint>

namespace zumi {

// The after-N-units rule, shared by the menu, the monitor and the info window.
struct AutoHangupState {
    std::int32_t AutoHangupUnitsToWait = -1; // -1 = off
    std::int32_t AutoHangupPastUnits = 0;    // units begun since it was armed
};

} // namespace zumi
