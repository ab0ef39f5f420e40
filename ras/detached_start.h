#pragma once
#include <string>
#include <vector>

namespace zumi {

// Starts program with the argument vector args (args[0] is the name the
// program sees) directly, never through a shell, in a session of its own,
// and returns without waiting for it; no child is left behind to reap.
// Returns 0 once the program runs, else the error number of the step that
// failed (the program missing, not executable, no process left, ...).
int startDetached(const std::string& program, const std::vector<std::string>& args);

} // namespace zumi
