#include "platform/durable_file.h"
#include "platform/read_file.h"
#include "platform/shared_library.h"
#include "platform/user_folders.h"
#include "platform/win_version.h"
#include "platform/win32/win32_sound_player.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace zumi {
namespace {

TEST(Win32Files, ReplacedWholeUnderAWideNameButNotWhenReadOnly)
{
    test::TempFolder folder;
    const auto path = folder.path / L"Grüße €" / L"Zumi.conf";
    ASSERT_TRUE(writeFileAtomically(path, "eins"));
    ASSERT_TRUE(writeFileAtomically(path, "zwei"));
    EXPECT_EQ(readFileUpTo(path, 100).text, "zwei");
    EXPECT_EQ(readFileUpTo(path, 3).state, FileContents::State::TooLarge);
    EXPECT_EQ(readFileUpTo(path.parent_path() / L"none", 100).state, FileContents::State::Missing);
    EXPECT_EQ(readFileUpTo(path.parent_path(), 100).state, FileContents::State::Unreadable);

    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    EXPECT_FALSE(writeFileAtomically(path, "drei"));
    EXPECT_EQ(readFileUpTo(path, 100).text, "zwei");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path.parent_path()), {}), 1) << "no temporary file";
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
}

TEST(Win32Folders, SettingsRoamAndTheCallLogStaysLocal)
{
    const std::filesystem::path roaming = _wgetenv(L"APPDATA"), local = _wgetenv(L"LOCALAPPDATA");
    EXPECT_EQ(settingsFile(), roaming / L"Zumi" / L"Zumi.conf");
    EXPECT_EQ(callLogFile(), local / L"Zumi" / L"calls.sqlite");
}

TEST(Win32System, AnNtVersionAndTheLoadersReason)
{
    EXPECT_EQ(getWinVersion(), 337);
    std::string why;
    EXPECT_EQ(SharedLibrary::load("zumi-no-such.dll", why), nullptr);
    EXPECT_FALSE(why.empty());
}

// The sound files lie beside the program. PlaySound in the background plays
// nothing of a missing file and still says it did; one that is no sound
// crashes nothing.
TEST(Win32Sound, PlaysTheNamedFileOfItsFolderOnly)
{
    EXPECT_TRUE(std::filesystem::is_regular_file(programFolder() / L"win32_platform_test.exe"));
    test::TempFolder folder;
    std::filesystem::create_directory(folder.path / L"Klänge");
    std::ofstream(folder.path / L"Klänge" / L"pop.wav") << "kein Klang";
    Win32SoundPlayer player(folder.path / L"Klänge");
    EXPECT_FALSE(player.play("hangup.wav", false));
    EXPECT_FALSE(Win32SoundPlayer(folder.path).play("pop.wav", false)) << "another folder's file";
    player.play("pop.wav", true);
    player.beep();
}

} // namespace
} // namespace zumi
