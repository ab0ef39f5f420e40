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

// The sound files lie beside the program; one that is missing or no sound
// fails to play and crashes nothing.
TEST(Win32Sound, PlaysTheNamedFileOfItsFolderOnly)
{
    EXPECT_TRUE(std::filesystem::is_regular_file(programFolder() / L"win32_platform_test.exe"));
    test::TempFolder folder;
    const auto folderWithUmlaut = folder.path / L"Klänge";
    std::filesystem::create_directory(folderWithUmlaut);
    // A quarter second of silence: 8 kHz, 8 bits, mono.
    std::string wav = "RIFF" + std::string("\x00\x00\x00\x00", 4) + "WAVEfmt ";
    wav += std::string("\x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x40\x1f\0\0\x01\0\x08\0", 20);
    wav += "data" + std::string("\xd0\x07\0\0", 4) + std::string(2000, '\x80');
    wav[4] = static_cast<char>(wav.size() - 8);
    wav[5] = static_cast<char>((wav.size() - 8) >> 8);
    std::ofstream(folderWithUmlaut / L"pop.wav", std::ios::binary) << wav;
    std::ofstream(folderWithUmlaut / L"hangup.wav", std::ios::binary) << "kein Klang";

    Win32SoundPlayer player(folderWithUmlaut);
    EXPECT_FALSE(player.play("fehlt.wav", false));
    EXPECT_FALSE(Win32SoundPlayer(folder.path).play("pop.wav", false)) << "another folder's file";
    player.play("pop.wav", false);
    player.play("hangup.wav", true);
    player.beep();
}

} // namespace
} // namespace zumi
