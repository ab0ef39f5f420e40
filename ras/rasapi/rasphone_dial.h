#pragma once
#include "platform/dialup_access.h"

#include <string>

namespace zumi::rasapi {

// rasphone's command line that dials the entry: rasphone -t "NAME". Backslashes
// before the closing quote are doubled, as the C runtime reads them.
std::wstring rasphoneCommandLine(const std::wstring& entryName);

// Starts rasphone for the entry and does not wait for it. A name with a double
// quote cannot be quoted for rasphone and is refused: it would dial another
// entry, or none.
DialResult dialWithRasphone(const std::string& entryName);

} // namespace zumi::rasapi
