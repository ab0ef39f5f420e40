#pragma once
#include "platform/dialup_access.h"

#include <optional>
#include <string>

namespace zumi {

// Why the settings may not be opened now: any connection exists, metered or
// not (a direct cable link has no entry name but counts).
std::optional<std::string> settingsRefusal(DialUpAccess& dialUp);

} // namespace zumi
