#pragma once
#include "core/conn_names.h"
#include "core/numbers.h"
#include "platform/dialup_access.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zumi {

// The entry name of the first connection ("" for none, for a failed query and
// for a direct cable connection). handle: the first connection's handle, 0 when
// there is none; left as it was when the enumeration failed.
std::string getActiveConnection(DialUpAccess& dialUp, std::int32_t& handle);

// The connection's state number, 0 when it cannot be had.
std::int32_t getConnectState(DialUpAccess& dialUp, std::int32_t handle);

struct HangupAttempt {
    std::int32_t handle = 0; // the connection asked to end; 0: there was none
    std::string entryName;
    int error = 0; // the refusal's error number, 0 when asked
};

// Asks to hang up the first connection; does not wait.
HangupAttempt hangUpConnection(DialUpAccess& dialUp);

// Reads the phonebook, sorts it case-insensitively by the C library's locale and
// writes the first (at most 30) names into connNames 0..n-1; entries from n on
// keep their names. Returns those names in that order (the provider menu), or
// why there are none.
Phonebook loadPhonebook(DialUpAccess& dialUp, ConnNames& connNames);

} // namespace zumi
