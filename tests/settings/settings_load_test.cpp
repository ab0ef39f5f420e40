#include "settings_io.h"
#include "tariff_record.h"

#include "fake_store.h"

#include <gtest/gtest.h>

#include <climits>

namespace zumi {
namespace {

using test::FakeStore;

// 1024 x 768 pixels at 15 twips per pixel; the info window 188 pixels wide.
ScreenMetrics screen(double width = 15360, double height = 11520)
{
    ScreenMetrics metrics;
    metrics.screenWidth = width;
    metrics.screenHeight = height;
    return metrics;
}

ConnNames names(std::initializer_list<const char*> list)
{
    ConnNames result{};
    std::copy(list.begin(), list.end(), result.begin());
    return result;
}

Settings load(FakeStore& store, const ConnNames& connNames = {}, const FindKolpRect& kolp = {})
{
    Settings settings;
    loadSettings(store, connNames, screen(), kolp, settings);
    return settings;
}

TEST(LoadSettings, EmptyStoreGivesTheDefaultsAndStoresHangupBytes)
{
    FakeStore store;
    const Settings s = load(store, names({"Net1"}));
    EXPECT_EQ(s.options.Vorlauf, 2);
    EXPECT_EQ(s.options.HangupBytes, 512);
    EXPECT_EQ(s.options.HangupTakte, 1);
    EXPECT_TRUE(s.options.ShowSpeed && s.options.ShowOnlineTime && s.options.ShowRest);
    EXPECT_FALSE(s.options.HangupSnd || s.options.WarnSnd || s.options.AutoHangup);
    EXPECT_EQ(s.position.infoLeft, 15360 - 3050);
    EXPECT_EQ(s.position.infoTop, 255);
    EXPECT_EQ(s.position.infoRight, 0);
    EXPECT_EQ(s.tariffs.start(0, 0), "");
    EXPECT_EQ(store.values, (std::map<std::string, std::string>{{"HangupBytes", "512"}}));

    store.writeCalls = 0;
    store.values["HangupBytes"] = "1024 Bytes";
    EXPECT_EQ(load(store).options.HangupBytes, 1024);
    EXPECT_EQ(store.values["HangupBytes"], "1024 Bytes");
    EXPECT_EQ(store.writeCalls, 0) << "a stored text is not written over with itself";
}

TEST(LoadSettings, RecordsAreMatchedByNameUntilTheListEnds)
{
    FakeStore store;
    store.values = {{"00", "B,1,2,3,4,10,20,30,40,5,6,7,8,50,60,70,80,"},
                    {"01", "net1,9,,,,,,,,"}, // letter case differs: skipped
                    {"02", std::string(17, ',')}, // no name: skipped, the list goes on
                    {"03", "A,9"},
                    {"04", " A , 8 ,7,,,90"}, // later key wins; short record, fields trimmed
                    {"06", "C,7,,,,70,,,,"}}; // behind the gap at "05": never read
    Settings s;
    s.tariffs.setStart(3, 0, "untouched");
    loadSettings(store, names({"A", "B", "C", "D", "Net1"}), screen(), {}, s);
    const TariffTables& t = s.tariffs;
    const std::array<std::string, 8> bStart{"1", "2", "3", "4", "5", "6", "7", "8"};
    const std::array<std::string, 8> bTakt{"10", "20", "30", "40", "50", "60", "70", "80"};
    for (int b = 0; b < kBands; ++b) {
        EXPECT_EQ(t.start(1, b), bStart[b]);
        EXPECT_EQ(t.takt(1, b), bTakt[b]);
    }
    EXPECT_EQ(t.start(0, 0), "8");
    EXPECT_EQ(t.start(0, 1), "7");
    EXPECT_EQ(t.takt(0, 0), "90");
    EXPECT_EQ(t.takt(0, 7), "");
    EXPECT_EQ(t.start(2, 0), "");
    EXPECT_EQ(t.start(3, 0), "untouched");
    EXPECT_EQ(t.start(4, 0), "");

    store.values = {{"00", ",,,,,,,,,"}, {"01", "A,1,,,,,,,,"}};
    EXPECT_EQ(load(store, names({"A"})).tariffs.start(0, 0), "") << "nine commas end the list";
}

TEST(LoadSettings, RecordsThatFindNoEntry)
{
    // A full phonebook: the search stops at 30 entries and the record is ignored.
    ConnNames full{};
    for (int i = 0; i < kMaxConnections; ++i)
        full[i] = "E" + std::to_string(10 + i);
    FakeStore store;
    store.values = {{"00", "Other,1,,,,,,,,"}, {"01", "E39,2,,,,,,,,"}};
    const Settings s = load(store, full);
    EXPECT_EQ(s.tariffs.start(29, 0), "2");
    for (int c = 0; c < 29; ++c)
        EXPECT_EQ(s.tariffs.start(c, 0), "");

    // The record of the entry "a,b" goes to it, not shifted to the entry "a".
    TariffTables tables;
    tables.setStart(1, 0, "6");
    store.values = {{"00", formatTariffRecord("a,b", tables, 1)}};
    const Settings commas = load(store, names({"a", "a,b"}));
    EXPECT_EQ(commas.tariffs.start(0, 0), "");
    EXPECT_EQ(commas.tariffs.start(1, 0), "6");
}

TEST(LoadSettings, OptionConversions)
{
    FakeStore store;
    const auto option = [&store](const char* key, const std::string& text) {
        store.values = {{key, text}};
        return load(store).options;
    };
    for (const auto& [text, expected] : std::vector<std::pair<std::string, int>>{
             {"0", 1}, {"15", 10}, {"2.5", 2}, {"3.5", 4}, {"abc", 1}, {"99999999999", 10}})
        EXPECT_EQ(option("HangupTakte", text).HangupTakte, expected) << text;
    for (const auto& [text, expected] : std::vector<std::pair<std::string, int>>{
             {"3.5", 4}, {"7abc", 7}, {"nichts", 0}, {"1e12", INT32_MAX}})
        EXPECT_EQ(option("Vorlauf", text).Vorlauf, expected) << text;
    EXPECT_EQ(option("HangupBytes", "-99999999999").HangupBytes, INT32_MIN);

    for (const char* text : {"-1", "1", "x", ""})
        EXPECT_TRUE(option("HangupSnd", text).HangupSnd && option("WarnSnd", text).WarnSnd
                    && option("AutoHangup", text).AutoHangup) << '"' << text << '"';
    EXPECT_FALSE(option("HangupSnd", "0").HangupSnd || option("WarnSnd", "0").WarnSnd
                 || option("AutoHangup", "0").AutoHangup);

    // Show keys by numeric value; a text that is no number keeps the default, on.
    for (const auto& [text, expected] : std::vector<std::pair<std::string, bool>>{
             {"0", false}, {" 0 ", false}, {"0.0", false}, {"1", true}, {"-1", true}, {"", true}, {"nein", true}}) {
        EXPECT_EQ(option("ShowSpeed", text).ShowSpeed, expected) << '"' << text << '"';
        EXPECT_EQ(option("ShowOnlineTime", text).ShowOnlineTime, expected) << '"' << text << '"';
        EXPECT_EQ(option("ShowRest", text).ShowRest, expected) << '"' << text << '"';
    }
}

TEST(LoadSettings, PositionRules)
{
    FakeStore store;
    store.values = {{"Right", "600"}, {"Top", "300"}, {"Left", "5"}};
    Settings s;
    loadSettings(store, {}, screen(), {}, s);
    EXPECT_EQ(s.position.infoRight, 600);
    EXPECT_EQ(s.position.infoLeft, 11940);
    EXPECT_EQ(s.position.infoTop, 300);
    // The screen shrinks: the fallback position, infoRight unchanged.
    loadSettings(store, {}, screen(3000, 2250), {}, s);
    EXPECT_EQ(s.position.infoLeft, 3000 - 3050);
    EXPECT_EQ(s.position.infoTop, 255);
    EXPECT_EQ(s.position.infoRight, 600);
    // A non-zero infoTop in memory is kept on reload.
    s.position.infoTop = 700;
    loadSettings(store, {}, screen(), {}, s);
    EXPECT_EQ(s.position.infoTop, 700);

    // Halves go to the even neighbour; the left edge uses the unrounded value.
    store.values = {{"Right", "600.5"}, {"Top", "300"}};
    EXPECT_EQ(load(store).position.infoRight, 600);
    EXPECT_EQ(load(store).position.infoLeft, 11940); // 11939.5

    store.values = {{"Right", "weit rechts"}, {"Left", "1000"}, {"Top", "400"}};
    EXPECT_EQ(load(store).position.infoLeft, 1000);
    EXPECT_EQ(load(store).position.infoRight, 15360 - 2820 - 1000);

    // Below the sibling window, right edges aligned; "Top" only counts while infoTop is 0.
    const FindKolpRect kolp = [] { return std::optional<PixelRect>(PixelRect{500, 0, 1000, 100}); };
    store.values = {{"Top", "4000"}};
    const Settings below = load(store, {}, kolp);
    EXPECT_EQ(below.position.infoRight, 360);
    EXPECT_EQ(below.position.infoLeft, 15360 - 360 - 2820);
    EXPECT_EQ(below.position.infoTop, 1500);
}

TEST(TariffRecord, ParsesFormatsAndKeys)
{
    const std::string text = "Net1,0,9,18,21,150,90,90,150,0,,,,240,,,,";
    const TariffRecord record = parseTariffRecord(text + "surplus");
    EXPECT_EQ(record.name, "Net1");
    EXPECT_EQ(record.start, (std::array<std::string, kBands>{"0", "9", "18", "21", "0", "", "", ""}));
    EXPECT_EQ(record.takt, (std::array<std::string, kBands>{"150", "90", "90", "150", "240", "", "", ""}));
    EXPECT_EQ(formatTariffRecord(record), text);
    EXPECT_FALSE(parseTariffRecordWithCommaName(text));
    EXPECT_FALSE(endsRecordList(",,,,,,,,,,"));
    EXPECT_EQ(recordKey(7), "07");
    EXPECT_EQ(recordKey(100), "100");

    TariffTables tables; // cell b * 30 + c; outside reads "" and ignores writes
    tables.setStart(29, 7, "last");
    tables.setStart(30, 0, "x");
    tables.setTakt(0, 8, "x");
    EXPECT_EQ(tables.start(29, 7), "last");
    EXPECT_EQ(tables.start(0, 7), "");
    EXPECT_EQ(tables.start(30, 0), "");
    EXPECT_EQ(tables.takt(0, 8), "");
}

} // namespace
} // namespace zumi
