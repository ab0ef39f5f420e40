#pragma once
#include <cstdint>

namespace zumi {

// The after-N-units rule, shared by the menu, the monitor and the info window:
// armed with N, it hangs up at the end of the unit in progress and N further
// units. The counting is 32-bit and wraps, as everywhere else.
struct AutoHangupState {
    std::int32_t AutoHangupUnitsToWait = -1; // N; -1 = off
    std::int32_t AutoHangupPastUnits = 0;    // units begun since it was armed

    bool armed() const { return AutoHangupUnitsToWait != -1; }
    void arm(std::int32_t units)
    {
        AutoHangupPastUnits = 0;
        AutoHangupUnitsToWait = units;
    }
    void disarm() { AutoHangupUnitsToWait = -1; }
    void unitBegan()
    {
        AutoHangupPastUnits = static_cast<std::int32_t>(static_cast<std::uint32_t>(AutoHangupPastUnits) + 1u);
    }
    // Units still to begin before the hang-up; 0 while the last one runs.
    std::int32_t unitsLeft() const
    {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(AutoHangupUnitsToWait)
                                         - static_cast<std::uint32_t>(AutoHangupPastUnits));
    }
};

} // namespace zumi
