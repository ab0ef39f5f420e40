#include "ini_settings_store.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace zumi {
namespace {

using test::readText;
using test::TempFolder;
using test::writeText;

TEST(IniSettingsStore, EveryTextRoundTripsThroughTheFile)
{
    const std::vector<std::string> values = {"", " both ", "a,b,,c,", "\"q\"", "\\", "x=y", "Grüße äöü", "; #[x]",
                                             "two\nlines", "cr\rlf\r\n", std::string("n\0l", 3), "\t"};
    TempFolder folder;
    const auto path = folder / "sub" / "Zumi.conf"; // the folder is made on the first save
    {
        IniSettingsStore store(path);
        std::vector<SettingsStore::Change> changes;
        for (std::size_t i = 0; i < values.size(); ++i)
            changes.emplace_back("v" + std::to_string(i), values[i]);
        ASSERT_TRUE(store.write(changes));
        EXPECT_FALSE(store.write({{"ok", std::string("1")}, {"bad=key", std::string("x")}}));
    }
    const std::string text = readText(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(values.size() + 1)); // one line each
    IniSettingsStore fresh(path);
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(fresh.read("v" + std::to_string(i)), values[i]) << i;
    EXPECT_EQ(fresh.keys().size(), values.size());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "sub"), {}), 1) << "no temporary file left";
}

TEST(IniSettingsStore, HandWrittenFileIsReadAndKept)
{
    TempFolder folder;
    const auto path = folder / "Zumi.conf";
    writeText(path, "; kept\r\n[Window]\r\ngeometry=@ByteArray(x)\r\n\r\n[Settings]\r\n"
                    "00=Net1,0,9,18,21,150,90,90,150,0,,,,240,,,,\r\nnonsense\r\nTop=300\r\n\r\n; next\r\n[Z]\r\n");
    IniSettingsStore store(path);
    EXPECT_EQ(store.read("00"), "Net1,0,9,18,21,150,90,90,150,0,,,,240,,,,");
    ASSERT_TRUE(store.write({{"Top", std::string("255")}, {"Right", std::string(" 600")}, {"00", std::nullopt}}));
    EXPECT_EQ(readText(path), "; kept\r\n[Window]\r\ngeometry=@ByteArray(x)\r\n\r\n[Settings]\r\n"
                              "nonsense\r\nTop=255\r\nRight=\" 600\"\r\n\r\n; next\r\n[Z]\r\n");

    // Hand edits show after reload(), and a write keeps those made since.
    writeText(path, readText(path) + "[Settings]\nShowRest=0\n");
    EXPECT_FALSE(store.read("ShowRest"));
    store.reload();
    EXPECT_EQ(store.read("ShowRest"), "0");
    writeText(path, readText(path) + "WarnSnd=-1\n");
    ASSERT_TRUE(store.write("Top", "1"));
    EXPECT_EQ(store.read("WarnSnd"), "-1");
    EXPECT_EQ(IniSettingsStore(path).read("WarnSnd"), "-1");
}

TEST(IniSettingsStore, GarbledFileLoadsAndIsKept)
{
    TempFolder folder;
    const auto path = folder / "Zumi.conf";
    std::mt19937 random(99);
    for (int round = 0; round < 30; ++round) {
        std::string garbage(random() % 2000, '\0');
        for (auto& c : garbage)
            c = random() % 4 ? static_cast<char>(random()) : "[]=;\"\\\r\n"[random() % 8];
        writeText(path, garbage);
        IniSettingsStore store(path);
        auto expected = store.keys();
        ASSERT_TRUE(store.write("Vorlauf", "3"));
        EXPECT_EQ(readText(path).substr(0, garbage.size()), garbage) << "old bytes kept, the key added behind";
        IniSettingsStore fresh(path);
        EXPECT_EQ(fresh.read("Vorlauf"), "3");
        expected.push_back("Vorlauf");
        std::sort(expected.begin(), expected.end());
        expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
        EXPECT_EQ(fresh.keys(), expected);
    }
}

TEST(IniSettingsStore, UnreadableFileIsNeverOverwritten)
{
    TempFolder folder;
    const auto path = folder / "Zumi.conf";
    std::filesystem::create_directory(path); // there, but not readable as text
    writeText(path / "inside", "keep me");
    IniSettingsStore store(path);
    EXPECT_FALSE(store.readable());
    EXPECT_TRUE(store.keys().empty());
    EXPECT_FALSE(store.write("Top", "1"));
    EXPECT_FALSE(store.read("Top"));
    EXPECT_EQ(readText(path / "inside"), "keep me");
}

TEST(IniSettingsStore, SavesThroughASymbolicLinkAndFindsItsDefaultPath)
{
    TempFolder folder;
    writeText(folder / "real.conf", "[Settings]\nTop=1\n");
    std::filesystem::create_symlink(folder / "real.conf", folder / "Zumi.conf");
    ASSERT_TRUE(IniSettingsStore(folder / "Zumi.conf").write("Top", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "Zumi.conf"));
    EXPECT_EQ(readText(folder / "real.conf"), "[Settings]\nTop=2\n");

    EXPECT_EQ(IniSettingsStore::pathFor("/cfg", "/home/u"), "/cfg/Zumi/Zumi.conf");
    EXPECT_EQ(IniSettingsStore::pathFor(nullptr, "/home/u"), "/home/u/.config/Zumi/Zumi.conf");
    EXPECT_EQ(IniSettingsStore::pathFor("relative", "/home/u"), "/home/u/.config/Zumi/Zumi.conf");
}

} // namespace
} // namespace zumi
