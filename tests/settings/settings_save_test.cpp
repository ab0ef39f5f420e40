#include "ini_settings_store.h"
#include "settings_io.h"

#include "fake_store.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

using test::FakeStore;
using test::RecordingStore;
using Bands = std::array<std::string, kBands>;
using Change = SettingsStore::Change;

ConnNames names(std::initializer_list<std::string> list)
{
    ConnNames result{};
    std::copy(list.begin(), list.end(), result.begin());
    return result;
}

Settings load(SettingsStore& store, const ConnNames& connNames)
{
    ScreenMetrics screen;
    screen.screenWidth = 15360;
    screen.screenHeight = 11520;
    Settings settings;
    loadSettings(store, connNames, screen, {}, settings);
    return settings;
}

Bands bands(std::string first, std::string fifth = "")
{
    return Bands{std::move(first), "", "", "", std::move(fifth), "", "", ""};
}

// Net1: weekdays from 0, 9, 18, 21 o'clock at 150, 90, 90, 150 s; the
// weekend one band from 0 o'clock at 240 s.
DialogSettings dialogFor(int connections)
{
    DialogSettings dialog;
    dialog.start = {Bands{"0", "9", "18", "21", "0", "", "", ""}, bands("5")};
    dialog.takt = {Bands{"150", "90", "90", "150", "240", "", "", ""}, bands("60")};
    dialog.start.resize(connections, bands("1"));
    dialog.takt.resize(connections, bands("2"));
    dialog.hangupSound = true;
    dialog.vorlaufText = "2.6 s";
    dialog.autoHangup = true;
    dialog.hangupBytesText = "4096";
    dialog.hangupTakte = 10;
    dialog.showSpeed = false;
    dialog.showRest = false;
    return dialog;
}

TEST(SaveSettings, WritesRightThenTopInOneBatch)
{
    RecordingStore store;
    EXPECT_TRUE(saveSettings(store, InfoPosition{0, -20, 255}));
    EXPECT_EQ(store.batches, (std::vector<std::vector<Change>>{{{"Right", "-20"}, {"Top", "255"}}}));
    FakeStore failing;
    failing.failWrites = true;
    EXPECT_FALSE(saveSettings(failing, InfoPosition{}));
}

TEST(StoreDialogSettings, WritesEverythingInOrderInOneBatch)
{
    RecordingStore store;
    Settings s;
    EXPECT_TRUE(storeDialogSettings(store, names({"Net1", "Net2"}), dialogFor(2), s));
    EXPECT_EQ(store.batches, (std::vector<std::vector<Change>>{{{"00", "Net1,0,9,18,21,150,90,90,150,0,,,,240,,,,"},
                                                                 {"01", "Net2,5,,,,60,,,,,,,,,,,,"},
                                                                 {"HangupSnd", "-1"},
                                                                 {"WarnSnd", "0"},
                                                                 {"Vorlauf", "2.6 s"},
                                                                 {"AutoHangup", "1"},
                                                                 {"HangupBytes", "4096"},
                                                                 {"HangupTakte", "10"},
                                                                 {"ShowSpeed", "0"},
                                                                 {"ShowOnlineTime", "1"},
                                                                 {"ShowRest", "0"}}}));
    // The running program has the same values at once.
    EXPECT_TRUE(s.options.HangupSnd && s.options.AutoHangup && s.options.ShowOnlineTime);
    EXPECT_FALSE(s.options.WarnSnd || s.options.ShowSpeed || s.options.ShowRest);
    EXPECT_EQ(s.options.Vorlauf, 3);
    EXPECT_EQ(s.options.HangupBytes, 4096);
    EXPECT_EQ(s.options.HangupTakte, 10);
    EXPECT_EQ(s.tariffs.takt(0, 4), "240");
    EXPECT_EQ(s.tariffs.start(1, 0), "5");
}

TEST(StoreDialogSettings, EdgeInputs)
{
    RecordingStore empty; // no phonebook entry: no record, every option
    Settings s;
    DialogSettings dialog = dialogFor(0);
    dialog.vorlaufText = "abc";
    dialog.hangupTakte = 0; // out of the combo box's range: cannot get into the variable
    EXPECT_TRUE(storeDialogSettings(empty, {}, dialog, s));
    EXPECT_EQ(empty.batches.at(0).size(), 9u);
    EXPECT_EQ(empty.values.at("Vorlauf"), "abc");
    EXPECT_EQ(s.options.Vorlauf, 0);
    EXPECT_EQ(empty.values.at("HangupTakte"), "1");

    RecordingStore many; // more entries than the tables hold
    ConnNames full{};
    for (int i = 0; i < kMaxConnections; ++i)
        full[i] = "E" + std::to_string(10 + i);
    EXPECT_TRUE(storeDialogSettings(many, full, dialogFor(35), s));
    EXPECT_EQ(many.values.count("29"), 1u);
    EXPECT_EQ(many.values.count("30"), 0u);
    EXPECT_EQ(load(many, full).tariffs.start(29, 0), "1");

    // A band text with a comma would shift every later field.
    dialog = dialogFor(2);
    dialog.takt[0][1] = "1,5";
    storeDialogSettings(many, names({"Net1", "Net2"}), dialog, s);
    EXPECT_EQ(s.tariffs.takt(0, 1), "1.5");
    EXPECT_EQ(load(many, names({"Net1", "Net2"})).tariffs.takt(0, 2), "90");

    FakeStore failing; // reported; the variables are set regardless
    failing.failWrites = true;
    Settings unsaved;
    EXPECT_FALSE(storeDialogSettings(failing, names({"Net1", "Net2"}), dialogFor(2), unsaved));
    EXPECT_EQ(unsaved.options.HangupBytes, 4096);
    EXPECT_EQ(failing.writeCalls, 1);
}

TEST(StoreDialogSettings, StaleRecordsNeverWinAndDepartedTariffsStay)
{
    FakeStore store;
    store.values = {{"00", "Net1,1,,,,,,,,"}, {"01", "Gone,2,,,,,,,,"}, {"02", "Net2,3,,,,,,,,"},
                    {"03", "Gone,4,,,,,,,,"}, {"04", "Net1,5,,,,,,,,"}, {"05", std::string(17, ',')},
                    {"06", "Old,6,,,,,,,,"},  {"08", "Net1,8,,,,,,,,"}, {"123", "Net1,9,,,,,,,,"},
                    {"007", "no key of ours"}, {"Top", "300"}};
    // Net2 was renamed Net3; Net1 stays and gets a new tariff.
    const ConnNames now = names({"Net1", "Net3"});
    DialogSettings dialog = dialogFor(2);
    dialog.start = {bands("7"), bands("8")};
    Settings s;
    ASSERT_TRUE(storeDialogSettings(store, now, dialog, s));

    EXPECT_EQ(load(store, now).tariffs.start(0, 0), "7");
    EXPECT_EQ(load(store, now).tariffs.start(1, 0), "8");
    const Settings back = load(store, names({"Gone", "Net1", "Net2", "Old"}));
    EXPECT_EQ(back.tariffs.start(0, 0), "4"); // the one that won before
    EXPECT_EQ(back.tariffs.start(1, 0), "7");
    EXPECT_EQ(back.tariffs.start(2, 0), "3");
    EXPECT_EQ(back.tariffs.start(3, 0), "6");

    // Compact: fresh records, departed ones, then nothing.
    EXPECT_EQ(store.values.at("02"), "Net2,3,,,,,,,,");
    EXPECT_EQ(store.values.at("03"), "Gone,4,,,,,,,,");
    EXPECT_EQ(store.values.at("04"), "Old,6,,,,,,,,");
    for (const char* key : {"05", "06", "08", "123"})
        EXPECT_EQ(store.values.count(key), 0u) << key;
    EXPECT_EQ(store.values.at("007"), "no key of ours");
    EXPECT_EQ(store.values.at("Top"), "300");
}

TEST(StoreDialogSettings, RoundTripsThroughTheSettingsFile)
{
    test::TempFolder folder;
    const auto path = folder / "Zumi.conf";
    const ConnNames connNames = names({"Net1", "Net 2 (Grüße)"});
    DialogSettings dialog = dialogFor(2);
    dialog.start[1] = Bands{" 5", "x\"y", "\\", "", "", "", "", "6 "};
    {
        IniSettingsStore store(path);
        Settings s;
        ASSERT_TRUE(storeDialogSettings(store, connNames, dialog, s));
        ASSERT_TRUE(saveSettings(store, InfoPosition{0, 600, 300}));
    }
    IniSettingsStore store(path);
    const Settings loaded = load(store, connNames);
    EXPECT_EQ(loaded.tariffs.takt(0, 4), "240");
    EXPECT_EQ(loaded.tariffs.start(1, 0), "5"); // fields are read trimmed
    EXPECT_EQ(loaded.tariffs.start(1, 1), "x\"y");
    EXPECT_EQ(loaded.tariffs.start(1, 2), "\\");
    EXPECT_EQ(loaded.options.HangupTakte, 10);
    EXPECT_EQ(loaded.position.infoLeft, 11940);
    EXPECT_EQ(store.read("Vorlauf"), "2.6 s");
}

} // namespace
} // namespace zumi
