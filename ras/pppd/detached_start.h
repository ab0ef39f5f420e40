#pragma once
#include <chrono>
#include <string>
#include <vector>

namespace zumi {

struct StartOutcome {
    int startError = 0;         // error number of the step that failed, 0 once the program ran
    bool exited = false;        // it ended within the wait
    int waitStatus = 0;         // how it ended, as waitpid() tells, when exited
    std::string firstErrorLine; // the first line it wrote to stderr, when exited
};

// Starts program with the argument vector args (args[0] is the name the
// program sees) directly, never through a shell, in a session of its own,
// and waits at most earlyExit for it to end: a program that ends within
// that time is reported with its status and the first line of its stderr,
// one that still runs is left running. No child is left behind to reap.
StartOutcome startDetached(const std::string& program, const std::vector<std::string>& args,
                           std::chrono::milliseconds earlyExit);

} // namespace zumi
