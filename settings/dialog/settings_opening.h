#pragma once
#include "core/conn_names.h"
#include "platform/dialup_access.h"

#include <optional>
#include <string>

namespace zumi {

// Why the settings may not be opened now: any connection exists, metered or
// not (a direct cable link has no entry name but counts).
std::optional<std::string> settingsRefusal(DialUpAccess& dialUp);

// The connections the dialog lists, read again from the phonebook into
// connNames. The dialog takes the phonebook from here and nowhere else.
Phonebook rereadPhonebook(DialUpAccess& dialUp, ConnNames& connNames);

} // namespace zumi
