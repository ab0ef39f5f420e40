#pragma once
#include "platform/dialup_access.h"

#include <string>

namespace zumi {

// Why dialing entryName did not start, in words for the user; "" when the
// result names no fault.
std::string dialFailureText(const std::string& entryName, const DialResult& result);

// Why the phonebook lists nothing and what helps, in words for the user; ""
// when it was read.
std::string phonebookTroubleText(const Phonebook& phonebook);

} // namespace zumi
