#pragma once
#include "platform/dialup_access.h"
#include "tariff/hangup_watch.h"

#include <string>

namespace zumi {

// What the user reads when a hang-up did not happen, and when a rule hung up.
std::string hangupFailureText(const HangupRequest& request, int error);
std::string automaticHangupText(const HangupRequest& request);

// Why NetworkManager turned a request down, in words for the user, with its
// own message.
std::string refusalReasonText(const LateRefusal& refusal);
// A dial that NetworkManager turned down, in words for the user.
std::string refusedDialText(const LateRefusal& refusal);

} // namespace zumi
