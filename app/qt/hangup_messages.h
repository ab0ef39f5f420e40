#pragma once
#include "app/qt/message_boxes.h"
#include "platform/desktop_notifier.h"
#include "tariff/hangup_watch.h"

#include <string>

namespace zumi {

// What the user reads when a hang-up did not happen, and when a rule hung up.
std::string hangupFailureText(const HangupRequest& request, int error);
std::string automaticHangupText(const HangupRequest& request);

// Tells the outcome of hang-ups: a failure in a "Zumi" box that does not
// wait (the tick must go on) and as a desktop notification; an automatic
// hang-up that took effect as a notification only.
class HangupMessages final : public HangupReports {
public:
    HangupMessages(MessageBoxes& boxes, DesktopNotifier& notifier)
        : boxes_(boxes)
        , notifier_(notifier)
    {
    }
    void hangupFailed(const HangupRequest& request, int error) override;
    void automaticHangupDone(const HangupRequest& request) override;

private:
    MessageBoxes& boxes_;
    DesktopNotifier& notifier_;
};

} // namespace zumi
