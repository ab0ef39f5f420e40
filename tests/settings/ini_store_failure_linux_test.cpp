#include "settings/ini_settings_store.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zumi {
namespace {

TEST(IniSettingsStore, TheFirstSaveMakesFolderAndFileTheUsersAlone)
{
    test::TempFolder folder;
    const auto path = folder.path / "sub" / "Zumi.conf";
    ASSERT_TRUE(IniSettingsStore(path).write({{"Top", std::string("1")}}));
    using std::filesystem::perms;
    EXPECT_EQ(std::filesystem::status(path.parent_path()).permissions(), perms::owner_all);
    EXPECT_EQ(std::filesystem::status(path).permissions(), perms::owner_read | perms::owner_write);
}

TEST(IniSettingsStoreFailure, FailedOrRefusedSaveLeavesTheOldFileWhole)
{
    test::TempFolder folder;
    const auto path = folder.path / "Zumi.conf";
    const std::string original = "[Settings]\nTop=300\n";
    test::writeText(path, original);
    ::chmod(path.c_str(), 0640);
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

    // A save keeps the file's mode; a file its owner made read-only stays as it is.
    ASSERT_TRUE(store.write("Top", "1"));
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms{0640});
    ::chmod(path.c_str(), 0444);
    EXPECT_TRUE(store.readOnly());
    EXPECT_FALSE(store.write("Top", "2"));
    EXPECT_EQ(test::readText(path), "[Settings]\nTop=1\n");
}

// A save killed at any moment leaves the old file or the new one, and no
// temporary file outlives the next start.
TEST(IniSettingsStoreFailure, KilledSavesLeaveAWholeFileAndNoLitter)
{
    test::TempFolder folder;
    const auto path = folder.path / "Zumi.conf";
    const std::string valueA(300'000, 'a'), valueB(200'000, 'b');
    const std::string a = "[Settings]\nV=" + valueA + "\n", b = "[Settings]\nV=" + valueB + "\n";
    test::writeText(path, a);
    std::mt19937 random(12345);
    for (int kill = 0; kill < 60; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            IniSettingsStore store(path);
            for (int i = 0;; ++i)
                store.write("V", i % 2 ? valueA : valueB);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20'000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string text = test::readText(path);
        ASSERT_TRUE(text == a || text == b) << "torn file of " << text.size() << " bytes after kill " << kill;
    }
    IniSettingsStore restarted(path);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), {}), 1);
}

} // namespace
} // namespace zumi
