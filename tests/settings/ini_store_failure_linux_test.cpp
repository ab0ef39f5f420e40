// Failures that need the operating system's help to bring about.
#include "ini_settings_store.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace zumi {
namespace {

using test::readText;
using test::TempFolder;
using test::writeText;

// Makes every write beyond a few bytes fail for the test's duration, also for
// root (a full disk, in effect).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    bool active() const { return active_; }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
    bool active_ = false;
};

TEST(IniSettingsStoreFailure, FailedSaveLeavesTheOldFileWhole)
{
    TempFolder folder;
    const auto path = folder / "Zumi.conf";
    const std::string original = "[Settings]\nTop=300\n00=Net1,0,9,18,21,150,90,90,150,0,,,,240,,,,\n";
    writeText(path, original);
    IniSettingsStore store(path);

    bool written = true;
    {
        FileSizeLimit limit(8);
        ASSERT_TRUE(limit.active());
        written = store.write({{"Top", std::string("1")}, {"Right", std::string(500, 'x')}});
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(readText(path), original);
    // What the store answers is still what the file holds.
    EXPECT_EQ(store.read("Top"), "300");
    EXPECT_FALSE(store.read("Right"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1)
        << "the temporary file is removed";

    // Once writing works again, so does the store.
    EXPECT_TRUE(store.write("Top", "1"));
    EXPECT_EQ(IniSettingsStore(path).read("Top"), "1");
}

} // namespace
} // namespace zumi
