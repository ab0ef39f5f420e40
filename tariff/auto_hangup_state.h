#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace zumi {

// The after-N-units rule, shared by the menu, the monitor and the info window:
// armed with N, it hangs up at the end of the unit in progress and N further
// units. The counting is 32-bit and wraps, as everywhere else.
//
// Besides the rule it keeps the user's choice, which the menu marks: a run that
// begins or ends switches the rule off but leaves the mark where the user set
// it, so that choosing the marked entry then only takes the mark away.
class AutoHangupState {
public:
    using Listener = std::function<void()>;

    bool armed() const { return unitsToWait_ != -1; }
    // Units still to begin before the hang-up; 0 while the last one runs.
    std::int32_t unitsLeft() const
    {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(unitsToWait_)
                                         - static_cast<std::uint32_t>(pastUnits_));
    }
    // N of the marked choice; none when nothing is marked.
    std::optional<std::int32_t> chosen() const { return chosen_; }

    // Armed with N and marked, counting afresh.
    void arm(std::int32_t units)
    {
        pastUnits_ = 0;
        unitsToWait_ = units;
        chosen_ = units;
        changed();
    }
    // Off, mark and all: the user took the choice back, or the rule hung up.
    void disarm()
    {
        unitsToWait_ = -1;
        chosen_.reset();
        changed();
    }
    // Off, the mark stays: a metered run began or ended.
    void disarmKeepingChoice()
    {
        unitsToWait_ = -1;
        changed();
    }
    void unitBegan() { pastUnits_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(pastUnits_) + 1u); }

    // Called after every arm and disarm.
    void onChanged(Listener listener) { listeners_.push_back(std::move(listener)); }

private:
    void changed()
    {
        for (const Listener& listener : listeners_)
            listener();
    }

    std::int32_t unitsToWait_ = -1; // N; -1 = off
    std::int32_t pastUnits_ = 0;    // units begun since it was armed
    std::optional<std::int32_t> chosen_;
    std::vector<Listener> listeners_;
};

} // namespace zumi
