#include "about/about_text.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

TEST(AboutText, ShowsTheVersionWithAThreeDigitBuild)
{
    EXPECT_EQ(formatAppTitle("Zumi", 1, 10), "Zumi V1.10");
    EXPECT_EQ(formatBuildLine(1234, "CMake/GCC"), "Build 1234 (CMake/GCC)");
    const AboutText text = aboutText(VersionInfo{"Zumi", 2, 1, 7, "CMake/GCC"});
    EXPECT_EQ(text.appTitle, "Zumi V2.1");
    EXPECT_EQ(text.buildLine, "Build 007 (CMake/GCC)");
}

} // namespace
} // namespace zumi
