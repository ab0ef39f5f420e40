#pragma once
#include "about/version_text.h"

#include <string>

namespace zumi {

// What the about box tells: the program and its build, how it is given away,
// and who makes it, with the home page its copy button puts on the clipboard.
struct AboutText {
    std::string windowTitle;
    std::string appTitle;  // "Zumi V2.1"
    std::string buildLine; // "Build 007 (CMake/GCC)"
    std::string licence;
    std::string developer;
    std::string email;
    std::string homePage;
};

AboutText aboutText(const VersionInfo& version);

} // namespace zumi
