#include "app/win32/hangup_messages.h"

#include "app/hangup_texts.h"

namespace zumi {

void Win32HangupMessages::hangupFailed(const HangupRequest& request, int error)
{
    const std::string text = hangupFailureText(request, error);
    boxes_.warnWithoutWaiting(text);
    notifier_.notify("Zumi: Trennen fehlgeschlagen", text);
}

void Win32HangupMessages::automaticHangupDone(const HangupRequest& request)
{
    notifier_.notify("Zumi: automatisch getrennt", automaticHangupText(request));
}

void Win32HangupMessages::dialRefused(const LateRefusal& refusal)
{
    boxes_.warnWithoutWaiting(refusedDialText(refusal));
}

} // namespace zumi
