#include "settings/ini_settings_store.h"
#include "settings/settings_io.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace zumi {
namespace {

using test::readText;
using test::TempFolder;
using test::writeText;
using namespace std::string_literals;

TEST(IniSettingsStore, EveryTextRoundTripsThroughTheFile)
{
    const std::string values[] = {"",          " both ", "a,b,,c,",    "\"q\"",      "\\",    "x=y",
                                  "Grüße äöü", "; #[x]", "two\nlines", "cr\rlf\r\n", "n\0l"s, "\t"};
    TempFolder folder;
    const auto path = folder.path / "sub" / "Zumi.conf"; // the folder is made on the first save
    IniSettingsStore store(path);
    std::vector<SettingsStore::Change> changes;
    for (std::size_t i = 0; i < std::size(values); ++i)
        changes.emplace_back("v" + std::to_string(i), values[i]);
    ASSERT_TRUE(store.write(changes));
    EXPECT_FALSE(store.write({{"ok", std::string("1")}, {"bad=key", std::string("x")}}));
    EXPECT_NE(readText(path).find("\nv2=a,b,,c,\n"), std::string::npos) << "plain texts stay readable by hand";
    IniSettingsStore fresh(path);
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(fresh.read("v" + std::to_string(i)), values[i]) << i;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path.parent_path()), {}), 1); // no temporary file left
}

TEST(IniSettingsStore, HandWrittenFileIsReadTolerantlyAndKept)
{
    TempFolder folder;
    const auto path = folder.path / "Zumi.conf";
    const std::string head = "\xEF\xBB\xBF; by hand\r\nstray=x\r\n[Other]\r\n00=not ours\r\n[ Settings ]\r\n";
    const std::string tail = "# c=d\r\ngarbage\r\n=no key\r\nVorlauf=\"  3 \\x41\"\r\nBroken=\"open\r\n";
    const std::string record = "  00 = Net1,0,9,18,21,150,90,90,150,0,,,,240,,,,\r\n";
    writeText(path, head + record + tail + "Top=1\r\nTop=300\r\n[Z]\r\n");
    IniSettingsStore store(path);
    EXPECT_EQ(store.keys(), (std::vector<std::string>{"00", "Broken", "Top", "Vorlauf"}));
    EXPECT_EQ(store.read("00"), "Net1,0,9,18,21,150,90,90,150,0,,,,240,,,,");
    EXPECT_EQ(store.read("Vorlauf"), "  3 A");
    EXPECT_EQ(store.read("Broken"), "\"open");
    EXPECT_EQ(store.read("Top"), "300"); // a later line wins

    // Removing a key takes every line of it, so no older one shows through.
    ASSERT_TRUE(store.write({{"Top", std::nullopt}, {"Right", std::string(" 600")}, {"00", std::nullopt}}));
    EXPECT_EQ(readText(path), head + tail + "Right=\" 600\"\r\n[Z]\r\n");

    // A write keeps what was edited by hand since the file was read.
    writeText(path, readText(path) + "[Settings]\nWarnSnd=-1\n");
    ASSERT_TRUE(store.write("Top", "1"));
    EXPECT_EQ(IniSettingsStore(path).read("WarnSnd"), "-1");
}

TEST(IniSettingsStore, GarbledOrUnreadableFileLoadsAsDefaults)
{
    TempFolder folder;
    const auto path = folder.path / "Zumi.conf";
    const auto loadDefaults = [](SettingsStore& store) {
        Settings s;
        loadSettings(store, {}, ScreenMetrics{15360, 11520}, {}, s);
        EXPECT_EQ(s.options.Vorlauf, 2);
        EXPECT_EQ(s.position.infoTop, 255);
    };
    // An empty file (what touch leaves) is an empty store, written to as one.
    writeText(path, "");
    IniSettingsStore empty(path);
    loadDefaults(empty);
    EXPECT_EQ(readText(path), "[Settings]\nHangupBytes=512\n");

    const std::string garbage = "\xFF\0[Sett\n=\"\\x\n[]]\r\r==;\n[Settings]\nTop\n\x01=\"\\q\n"s;
    writeText(path, garbage + "\xC3");
    IniSettingsStore garbled(path);
    loadDefaults(garbled); // stores "HangupBytes" and keeps every other byte
    EXPECT_EQ(readText(path), garbage + "HangupBytes=512\n\xC3");

    // A file that is there but not readable as text loads as defaults too. (That such a file is never
    // overwritten, the program's start checks in tests/app/process_test.sh.)
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    IniSettingsStore store(path);
    EXPECT_FALSE(store.readable());
    loadDefaults(store);

    // So does one too large to be a settings file of ours: it is not even read.
    std::filesystem::remove(path);
    writeText(path, "[Settings]\nVorlauf=9\n");
    std::filesystem::resize_file(path, IniSettingsStore::kMaxFileSize + 1);
    IniSettingsStore huge(path);
    EXPECT_TRUE(huge.tooLarge());
    loadDefaults(huge);
}

} // namespace
} // namespace zumi
