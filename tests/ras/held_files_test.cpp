#include "ras/pppd/small_file.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace zumi {
namespace {

TEST(HeldFiles, EachReadGivesWhatThePathNamesNowAndAtMostTheCapacityStaysOpen)
{
    const test::TempFolder folder;
    const auto write = [&](const std::string& name, const std::string& text) {
        test::writeText(folder.path / name, text);
        return (folder.path / name).string();
    };
    const auto openFiles = [] { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); };
    const auto before = openFiles();
    {
        HeldFiles files(3);
        const std::string path = write("ppp0.pid", "100\n");
        EXPECT_EQ(files.read(path), "100\n");
        write("ppp0.pid", "2\n"); // rewritten in place, shorter
        EXPECT_EQ(files.read(path), "2\n");
        std::filesystem::rename(write("next", "300\n"), path); // replaced, as an atomic writer does
        EXPECT_EQ(files.read(path), "300\n");
        EXPECT_EQ(files.read(path, 2), "30") << "a held file read with a limit";
        std::filesystem::remove(path);
        EXPECT_EQ(files.read(path), std::nullopt);

        for (int round = 0; round < 2; ++round)
            for (int i = 0; i < 20; ++i) {
                const std::string name = "f" + std::to_string(i);
                EXPECT_EQ(files.read(write(name, name)), name);
            }
        EXPECT_EQ(openFiles(), before + 3);
    }
    EXPECT_EQ(openFiles(), before);

    // A file of a process stops reading when the process ends.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::pause();
        ::_exit(0);
    }
    const std::string stat = "/proc/" + std::to_string(child) + "/stat";
    HeldFiles files;
    EXPECT_EQ(files.read(stat).value_or("").rfind(std::to_string(child) + " (", 0), 0u);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(files.read(stat), std::nullopt);
}

} // namespace
} // namespace zumi
