#include "ini_settings_store.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace zumi {
namespace {

TEST(IniSettingsStoreFailure, FailedSaveLeavesTheOldFileWhole)
{
    test::TempFolder folder;
    const auto path = folder.path / "Zumi.conf";
    const std::string original = "[Settings]\nTop=300\n00=Net1,0,9,18,21,150,90,90,150,0,,,,240,,,,\n";
    test::writeText(path, original);
    IniSettingsStore store(path);

    // A file size limit makes the save fail part-way, also for root (a full disk, in effect).
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit limit{8, saved.rlim_max};
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const bool limited = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    const bool written = store.write({{"Top", std::string("1")}, {"Right", std::string(500, 'x')}});
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    ASSERT_TRUE(limited);
    EXPECT_FALSE(written);
    EXPECT_EQ(test::readText(path), original);
    EXPECT_EQ(store.read("Top"), "300") << "the store answers what the file holds";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), {}), 1) << "temporary file removed";
}

} // namespace
} // namespace zumi
