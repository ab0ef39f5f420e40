#include "about/about_text.h"

namespace zumi {

AboutText aboutText(const VersionInfo& version)
{
    return {.windowTitle = "Information",
            .appTitle = formatAppTitle(version.productName, version.major, version.minor),
            .buildLine = formatBuildLine(version.revision, version.buildTool),
            .licence = "Freeware",
            .developer = "Das Zumi-Team",
            .email = "zumi@example.org",
            .homePage = "https://zumi.example.org/"};
}

} // namespace zumi
