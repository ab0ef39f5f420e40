#pragma once
#include "app/win32/message_boxes.h"
#include "platform/desktop_notifier.h"
#include "tariff/hangup_watch.h"

namespace zumi {

// Tells the outcome of hang-ups as the Linux program does: a failure in a
// "Zumi" box that does not wait (the tick must go on) and as the tray's
// balloon; an automatic hang-up that took effect as a balloon only; a
// refused dial in a box that does not wait.
class Win32HangupMessages final : public HangupReports {
public:
    Win32HangupMessages(Win32MessageBoxes& boxes, DesktopNotifier& notifier)
        : boxes_(boxes)
        , notifier_(notifier)
    {
    }
    void hangupFailed(const HangupRequest& request, int error) override;
    void automaticHangupDone(const HangupRequest& request) override;
    void dialRefused(const LateRefusal& refusal) override;

private:
    Win32MessageBoxes& boxes_;
    DesktopNotifier& notifier_;
};

} // namespace zumi
