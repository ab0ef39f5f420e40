#pragma once
#include <string>

namespace zumi {

struct VersionInfo {
    std::string productName;
    int major = 0;
    int minor = 0;
    int revision = 0;
    std::string buildTool; // names the tool chain in the build line
};

// The name and version this program was built as.
VersionInfo programVersion();

// "Zumi V1.10": both numbers without leading zeros.
std::string formatAppTitle(const std::string& productName, int major, int minor);

// "Build 007 (CMake/GCC)": the revision with at least three digits.
std::string formatBuildLine(int revision, const std::string& buildTool);

} // namespace zumi
