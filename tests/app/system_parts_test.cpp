#include "canberra_sound_player.h"
#include "data_dir.h"
#include "screen_metrics.h"
#include "shutdown_signals.h"
#include "single_instance.h"

#include "fake_window_queries.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zumi {
namespace {

namespace fs = std::filesystem;

struct TempDir {
    fs::path path;
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "zumi-app-test-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempDir() { fs::remove_all(path); }
};

TEST(SingleInstance, SecondHolderIsToldAndTheLockIsFreeAfterwards)
{
    TempDir dir;
    const fs::path lock = dir.path / "zumi.lock";
    {
        SingleInstance first(lock);
        EXPECT_EQ(first.state(), SingleInstance::State::Acquired);
        SingleInstance second(lock);
        EXPECT_EQ(second.state(), SingleInstance::State::RunningElsewhere);
    }
    SingleInstance again(lock);
    EXPECT_EQ(again.state(), SingleInstance::State::Acquired);
}

TEST(SingleInstance, AKilledHolderLeavesNoLockBehind)
{
    TempDir dir;
    const fs::path lock = dir.path / "zumi.lock";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SingleInstance held(lock);
        const char state = held.state() == SingleInstance::State::Acquired ? 'A' : 'x';
        [[maybe_unused]] auto n = ::write(ready[1], &state, 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char state = 0;
    ASSERT_EQ(::read(ready[0], &state, 1), 1);
    ::close(ready[0]);
    EXPECT_EQ(state, 'A');
    EXPECT_EQ(SingleInstance(lock).state(), SingleInstance::State::RunningElsewhere);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(fs::exists(lock)); // the file is left behind, its lock is not
    EXPECT_EQ(SingleInstance(lock).state(), SingleInstance::State::Acquired);
}

TEST(SingleInstance, ProgramsStartedMeanwhileDoNotInheritTheLock)
{
    // A dialer started from the menu may outlive the program.
    TempDir dir;
    const fs::path lock = dir.path / "zumi.lock";
    auto holder = std::make_unique<SingleInstance>(lock);
    ASSERT_EQ(holder->state(), SingleInstance::State::Acquired);
    pid_t sleeper = 0;
    char arg0[] = "sleep", arg1[] = "30";
    char* argv[] = {arg0, arg1, nullptr};
    ASSERT_EQ(::posix_spawnp(&sleeper, "sleep", nullptr, nullptr, argv, environ), 0);
    holder.reset();
    // The child drops close-on-exec files only a moment after the spawn returns.
    auto state = SingleInstance::State::Unchecked;
    for (int i = 0; i < 200; ++i) {
        state = SingleInstance(lock).state();
        if (state == SingleInstance::State::Acquired)
            break;
        ::usleep(10000);
    }
    EXPECT_EQ(state, SingleInstance::State::Acquired);
    ::kill(sleeper, SIGKILL);
    ::waitpid(sleeper, nullptr, 0);
}

TEST(SingleInstance, ALockFileNotOwnedByTheUserDoesNotBlockTheStart)
{
    TempDir dir;
    const fs::path target = dir.path / "elsewhere";
    std::ofstream(target) << "";
    const fs::path link = dir.path / "zumi.lock";
    fs::create_symlink(target, link);
    EXPECT_EQ(SingleInstance(link).state(), SingleInstance::State::Unchecked);

    if (::getuid() != 0)
        GTEST_SKIP() << "handing a file to another user needs root";
    const fs::path foreign = dir.path / "foreign.lock";
    std::ofstream(foreign) << "";
    ASSERT_EQ(::chown(foreign.c_str(), 65534, 65534), 0);
    EXPECT_EQ(SingleInstance(foreign).state(), SingleInstance::State::Unchecked);
}

TEST(SingleInstance, LockFileIsPerUser)
{
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string savedValue = saved ? saved : "";
    TempDir dir;
    ::setenv("XDG_RUNTIME_DIR", dir.path.c_str(), 1);
    EXPECT_EQ(SingleInstance::defaultLockFile(), dir.path / "zumi.lock");
    ::setenv("XDG_RUNTIME_DIR", (dir.path / "missing").c_str(), 1);
    EXPECT_EQ(SingleInstance::defaultLockFile().filename(), "zumi-" + std::to_string(::getuid()) + ".lock");
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SingleInstance::defaultLockFile().filename(), "zumi-" + std::to_string(::getuid()) + ".lock");
    if (saved)
        ::setenv("XDG_RUNTIME_DIR", savedValue.c_str(), 1);
}

TEST(ShutdownSignals, TerminationRequestArrivesInTheEventLoop)
{
    ShutdownSignals listener;
    ASSERT_TRUE(listener.installed());
    std::vector<int> received;
    QObject::connect(&listener, &ShutdownSignals::requested, [&](int s) { received.push_back(s); });
    ::raise(SIGTERM);
    ::raise(SIGINT);
    QElapsedTimer clock;
    clock.start();
    while (received.size() < 2 && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGINT}));
    ShutdownSignals second; // only one listener per process
    EXPECT_FALSE(second.installed());
}

TEST(SoundPlayer, MissingFileFailsSoTheCallerBeeps)
{
    TempDir dir;
    int beeps = 0;
    CanberraSoundPlayer player(dir.path / "sounds", [&] { ++beeps; });
    EXPECT_FALSE(player.play("pop.wav", true));
    EXPECT_FALSE(player.play("hangup.wav", false));
    player.beep();
    EXPECT_EQ(beeps, 1);
}

TEST(DataDir, BesideTheBinaryElseTheShareFolder)
{
    TempDir dir;
    fs::create_directories(dir.path / "bin");
    EXPECT_EQ(findDataDir(dir.path / "bin"), dir.path / "share" / "zumi");
    fs::create_directories(dir.path / "bin" / "sounds");
    EXPECT_EQ(findDataDir(dir.path / "bin"), dir.path / "bin");
}

TEST(ScreenMetrics, TwipsFollowTheLogicalDpi)
{
    const ScreenMetrics at96 = screenMetrics(1280, 800, 96, 96);
    EXPECT_DOUBLE_EQ(at96.twipsPerPixelX, 15);
    EXPECT_DOUBLE_EQ(at96.twipsPerPixelY, 15);
    EXPECT_DOUBLE_EQ(at96.screenWidth, 19200);
    EXPECT_DOUBLE_EQ(at96.screenHeight, 12000);
    EXPECT_DOUBLE_EQ(at96.infoWidth, 2820);
    const ScreenMetrics at120 = screenMetrics(1920, 1080, 120, 144);
    EXPECT_DOUBLE_EQ(at120.twipsPerPixelX, 12);
    EXPECT_DOUBLE_EQ(at120.twipsPerPixelY, 10);
    EXPECT_DOUBLE_EQ(at120.screenWidth, 23040);
    EXPECT_DOUBLE_EQ(at120.infoWidth, 188 * 12);

    test::FakeWindowQueries windows;
    const FindKolpRect find = kolpRectFinder(windows);
    EXPECT_FALSE(find().has_value());
    windows.kolp = 0x42;
    windows.kolpRect = WindowRect{100, 20, 400, 60};
    const auto rect = find();
    ASSERT_TRUE(rect.has_value());
    EXPECT_EQ(rect->right, 400);
    EXPECT_EQ(rect->bottom, 60);
}

} // namespace
} // namespace zumi
