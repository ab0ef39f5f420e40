#pragma once
#include <string>

namespace zumi {

// What the program's arguments ask for.
struct CommandLine {
    enum class Action {
        Run,     // start the program
        Help,    // print the usage and end
        Version, // print the version and end
        Refuse,  // an argument the program does not understand: say so and end
    };
    Action action = Action::Run;
    bool keepCallLog = true; // false with --no-call-log
    std::string refused;     // the argument not understood
};

// Zumi's own options are --help (-h), --version and --no-call-log. The
// toolkit's general options (-platform NAME, -display NAME, -style NAME, ...,
// also written with two dashes) are let through with their values, for the
// toolkit to take; any other argument is refused. Read from left to right, the
// first argument that ends the program decides.
CommandLine parseCommandLine(int argc, const char* const* argv);

// The usage, in German, for --help.
std::string usageText();

// The name, version and build as the about box shows them, for --version.
std::string versionLine();

} // namespace zumi
