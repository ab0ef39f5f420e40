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

// Whose general options the program takes besides its own: Qt's (Linux), or
// none (the Windows program draws with Win32 itself).
enum class ToolkitOptions { Qt, None };

// Zumi's own options are --help (-h), --version and --no-call-log. Qt's
// general options (-platform NAME, -display NAME, -style NAME, ..., also
// written with two dashes) are let through with their values, for Qt to
// take; any other argument is refused. Read from left to right, the first
// argument that ends the program decides.
CommandLine parseCommandLine(int argc, const char* const* argv, ToolkitOptions toolkit = ToolkitOptions::Qt);

// The usage, in German, for --help.
std::string usageText(ToolkitOptions toolkit = ToolkitOptions::Qt);

// The name, version and build as the about box shows them, for --version.
std::string versionLine();

} // namespace zumi
