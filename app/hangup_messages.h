#pragma once
#include "platform/desktop_notifier.h"
#include "tariff/hangup_watch.h"

#include <functional>
#include <string>

namespace zumi {

// Tells the outcome of hang-ups: a failure in a "Zumi" box that does not
// wait (the tick must go on) and as a desktop notification; an automatic
// hang-up that took effect as a notification only; a refused dial in a box
// that does not wait.
class HangupMessages final : public HangupReports {
public:
    using WarnWithoutWaiting = std::function<void(const std::string& text)>;

    HangupMessages(WarnWithoutWaiting warn, DesktopNotifier& notifier)
        : warn_(std::move(warn))
        , notifier_(notifier)
    {
    }
    void hangupFailed(const HangupRequest& request, int error) override;
    void automaticHangupDone(const HangupRequest& request) override;
    void dialRefused(const LateRefusal& refusal) override;

private:
    WarnWithoutWaiting warn_;
    DesktopNotifier& notifier_;
};

} // namespace zumi
