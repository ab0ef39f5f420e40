#include "about/version_text.h"

#include "program_version.h"

#include <cstdio>

namespace zumi {

VersionInfo programVersion()
{
    return {generated::kProductName, generated::kVersionMajor, generated::kVersionMinor, generated::kVersionRevision,
            generated::kBuildTool};
}

std::string formatAppTitle(const std::string& productName, int major, int minor)
{
    return productName + " V" + std::to_string(major) + "." + std::to_string(minor);
}

std::string formatBuildLine(int revision, const std::string& buildTool)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", revision);
    return std::string("Build ") + digits + " (" + buildTool + ")";
}

} // namespace zumi
