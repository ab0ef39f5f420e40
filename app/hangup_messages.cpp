#include "app/hangup_messages.h"

#include "app/hangup_texts.h"

namespace zumi {

void HangupMessages::hangupFailed(const HangupRequest& request, int error)
{
    const std::string text = hangupFailureText(request, error);
    warn_(text);
    notifier_.notify("Zumi: Trennen fehlgeschlagen", text);
}

void HangupMessages::automaticHangupDone(const HangupRequest& request)
{
    notifier_.notify("Zumi: automatisch getrennt", automaticHangupText(request));
}

void HangupMessages::dialRefused(const LateRefusal& refusal)
{
    warn_(refusedDialText(refusal));
}

} // namespace zumi
