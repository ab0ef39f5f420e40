#pragma once
#include "platform/clock.h"
#include "platform/dialup_access.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace zumi {

// Who asked for a hang-up.
enum class HangupCause { Menu, LowTraffic, AfterUnits, Budget };

struct HangupRequest {
    std::int32_t handle = 0; // the connection asked to end; 0: there was none
    std::string entryName;
    HangupCause cause = HangupCause::Menu;
    int refusedError = 0; // errno when the request itself was refused, else 0
    std::int32_t onlineSeconds = 0;
    std::int32_t units = 0;               // units begun up to the request
    std::optional<LateRefusal> refusal{}; // the system's answer when it turned the request down later
};

// Where the outcome of a hang-up goes: the user's boxes and notifications.
class HangupReports {
public:
    virtual ~HangupReports() = default;
    // error: the refusal's errno, 0 when the link was simply still up.
    virtual void hangupFailed(const HangupRequest& request, int error) = 0;
    // An automatic rule's hang-up took effect.
    virtual void automaticHangupDone(const HangupRequest& request) = 0;
    // The system turned a dial down after it was started.
    virtual void dialRefused(const LateRefusal& refusal) = 0;
};

// Follows each hang-up request to its outcome: a refusal is told at once, a
// link still up kHangupGrace later is told then, and an automatic hang-up that
// took effect is told as done. A rule that asks again for the same connection
// is told about once, not once a second.
class HangupWatch {
public:
    static constexpr std::chrono::seconds kHangupGrace{3};

    HangupWatch(const Clock& clock, HangupReports& reports)
        : clock_(clock)
        , reports_(reports)
    {
    }

    void requested(const HangupRequest& request);
    // The system turned a request down after it was made: a hang-up's
    // refusal is told with the request it answers, a dial's at once.
    void refusedLater(const LateRefusal& refusal);
    // Once a tick: the handle of the first connection, 0 for none.
    void linkSeen(std::int32_t handle);
    // Who last asked to end this connection (the request was made, not
    // refused at once), since forgetAsked(); for the call log.
    std::optional<HangupCause> lastAsked(std::int32_t handle) const
    {
        return asked_ && askedHandle_ == handle ? asked_ : std::nullopt;
    }
    void forgetAsked() { asked_.reset(); }

private:
    const Clock& clock_;
    HangupReports& reports_;
    std::optional<HangupRequest> pending_;
    std::chrono::steady_clock::time_point deadline_{};
    std::int32_t failedHandle_ = 0; // the connection a failure was told for
    std::optional<HangupCause> asked_;
    std::int32_t askedHandle_ = 0;
};

} // namespace zumi
