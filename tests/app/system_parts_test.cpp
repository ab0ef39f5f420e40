#include "canberra_sound_player.h"
#include "data_dir.h"
#include "screen_metrics.h"
#include "shutdown_signals.h"
#include "single_instance.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zumi {
namespace {

namespace fs = std::filesystem;
using State = SingleInstance::State;

struct TempDir {
    fs::path path;
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "zumi-app-test-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempDir() { fs::remove_all(path); }
};

TEST(SingleInstance, OneHolderAtATimeAndNothingLeftAfterAKill)
{
    TempDir dir;
    const fs::path lock = dir.path / "zumi.lock";
    {
        SingleInstance first(lock);
        EXPECT_EQ(first.state(), State::Acquired);
        EXPECT_EQ(SingleInstance(lock).state(), State::RunningElsewhere);
    }
    EXPECT_EQ(SingleInstance(lock).state(), State::Acquired);

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SingleInstance held(lock);
        [[maybe_unused]] auto n = ::write(ready[1], "A", 1);
        ::pause();
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_EQ(SingleInstance(lock).state(), State::RunningElsewhere);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(SingleInstance(lock).state(), State::Acquired);
}

TEST(SingleInstance, ProgramsStartedMeanwhileDoNotInheritTheLock)
{
    // A dialer started from the menu may outlive the program.
    TempDir dir;
    const fs::path lock = dir.path / "zumi.lock";
    auto holder = std::make_unique<SingleInstance>(lock);
    pid_t sleeper = 0;
    char arg0[] = "sleep", arg1[] = "30";
    char* argv[] = {arg0, arg1, nullptr};
    ASSERT_EQ(::posix_spawnp(&sleeper, "sleep", nullptr, nullptr, argv, environ), 0);
    holder.reset();
    // The child drops its close-on-exec files only a moment after the spawn returns.
    State state = State::Unchecked;
    for (int i = 0; i < 200 && state != State::Acquired; ++i, ::usleep(10000))
        state = SingleInstance(lock).state();
    EXPECT_EQ(state, State::Acquired);
    ::kill(sleeper, SIGKILL);
    ::waitpid(sleeper, nullptr, 0);
}

TEST(SingleInstance, SomeoneElsesFileDoesNotBlockTheStart)
{
    TempDir dir;
    std::ofstream(dir.path / "elsewhere") << "";
    fs::create_symlink(dir.path / "elsewhere", dir.path / "zumi.lock");
    EXPECT_EQ(SingleInstance(dir.path / "zumi.lock").state(), State::Unchecked);
    if (::getuid() != 0)
        GTEST_SKIP() << "handing a file to another user needs root";
    std::ofstream(dir.path / "foreign.lock") << "";
    ASSERT_EQ(::chown((dir.path / "foreign.lock").c_str(), 65534, 65534), 0);
    EXPECT_EQ(SingleInstance(dir.path / "foreign.lock").state(), State::Unchecked);
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
}

TEST(SoundFiles, MissingFileFailsAndTheFolderIsFoundBesideOrBelowShare)
{
    TempDir dir;
    int beeps = 0;
    CanberraSoundPlayer player(dir.path / "sounds", [&] { ++beeps; });
    EXPECT_FALSE(player.play("pop.wav", true));
    player.beep();
    EXPECT_EQ(beeps, 1);

    fs::create_directories(dir.path / "bin");
    EXPECT_EQ(findDataDir(dir.path / "bin"), dir.path / "share" / "zumi");
    fs::create_directories(dir.path / "bin" / "sounds");
    EXPECT_EQ(findDataDir(dir.path / "bin"), dir.path / "bin");
}

TEST(ScreenMetrics, TwipsFollowTheLogicalDpi)
{
    const ScreenMetrics at96 = screenMetrics(1280, 800, 96, 96);
    EXPECT_DOUBLE_EQ(at96.twipsPerPixelX, 15);
    EXPECT_DOUBLE_EQ(at96.screenWidth, 19200);
    EXPECT_DOUBLE_EQ(at96.screenHeight, 12000);
    EXPECT_DOUBLE_EQ(at96.infoWidth, 2820);
    const ScreenMetrics at120 = screenMetrics(1920, 1080, 120, 144);
    EXPECT_DOUBLE_EQ(at120.twipsPerPixelX, 12);
    EXPECT_DOUBLE_EQ(at120.twipsPerPixelY, 10);
}

} // namespace
} // namespace zumi
