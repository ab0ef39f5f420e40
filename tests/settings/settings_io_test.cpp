#include "core/numbers.h"
#include "settings/info_place.h"
#include "settings/settings_io.h"
#include "settings/tariff_record.h"

#include "fake_store.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

using test::FakeStore;
using Bands = std::array<std::string, kBands>;

// How every number of the settings file is read (that halves go to the even neighbour, fuzz_leading_number
// checks for any number).
TEST(Numbers, LeadingNumberRoundsHalfEvenTakesThePrefixAndClamps)
{
    const auto expect = [](const std::vector<std::pair<std::string, std::int32_t>>& cases) {
        for (const auto& [text, expected] : cases)
            EXPECT_EQ(leadingNumber(text), expected) << '"' << text << '"';
    };
    expect({{"7:30", 7}, {"1,5", 1}, {" \t42 s", 42}, {"+8", 8}, {"1.5.5", 2}, {"5.", 5}});
    expect({{"1e3", 1}, {"2e1", 2}, {"1e", 1}, {"5e+x", 5}, {"e5", 0}}); // no exponent
    expect({{"", 0}, {"-", 0}, {".", 0}, {"- 3", 0}});
    expect({{"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN}, {"2147483646.6", INT32_MAX}});
    expect({{"-2147483648", INT32_MIN}, {std::string(5000, '9'), INT32_MAX}, {"0." + std::string(5000, '0') + "1", 0}});
    for (const char* text : {"", "  ", "600px", "6 00", "1e", "1e3", "abc"})
        EXPECT_FALSE(isNumber(text)) << '"' << text << '"';
    // Short literals are read by one exact division, longer ones in full: both correctly rounded.
    for (const auto& [text, value] :
         std::vector<std::pair<std::string, double>>{{"0.1", 0.1},
                                                     {"9007199254740993", 9007199254740992.0}, // 2^53 + 1: to even
                                                     {"0.0000000000000000000001", 1e-22},
                                                     {"0.00000000000000000000001", 1e-23},
                                                     {"123456789.123456789", 123456789.123456789},
                                                     {"  -0.3 ", -0.3}})
        EXPECT_EQ(numericValue(text), value) << text;
}

// 1024 x 768 pixels at 15 twips per pixel; the info window 188 pixels wide.
Settings load(FakeStore& store, const ConnNames& connNames = {}, const ScreenMetrics& screen = {15360, 11520})
{
    Settings settings;
    loadSettings(store, connNames, screen, {}, settings);
    return settings;
}

// A connection's band texts in the order of a stored record.
std::string row(const TariffTables& tables, int connection)
{
    return formatTariffRecord("", tables, connection);
}

DialogSettings dialogFor(int connections, const std::string& start = "1")
{
    DialogSettings dialog;
    dialog.start.assign(connections, Bands{start, "", "", "", "", "", "", ""});
    dialog.takt.assign(connections, Bands{"2", "", "", "", "", "", "", ""});
    dialog.hangupSound = true;
    dialog.vorlaufText = "2.6 s";
    dialog.hangupBytesText = "4096";
    dialog.hangupTakte = 10;
    return dialog;
}

TEST(LoadSettings, RecordsAreMatchedByNameUntilTheListEnds)
{
    FakeStore store;
    store.values = {{"00", "B,1,2,3,4,10,20,30,40,5,6,7,8,50,60,70,80,"},
                    {"01", "net1,9,,,,,,,,"},     // letter case differs: skipped
                    {"02", std::string(17, ',')}, // no name: skipped, the list goes on
                    {"03", "A,9"},
                    {"04", " A , 8 ,7,,,90"}, // later key wins; short record, fields trimmed
                    {"06", "C,7,,,,70,,,,"}}; // behind the gap at "05": never read
    Settings s = load(store, ConnNames{"A", "B", "C", "Net1"});
    EXPECT_EQ(row(s.tariffs, 0), ",8,7,,,90,,,,,,,,,,,,");
    EXPECT_EQ(row(s.tariffs, 1), ",1,2,3,4,10,20,30,40,5,6,7,8,50,60,70,80,");
    EXPECT_EQ(row(s.tariffs, 2), std::string(17, ','));
    EXPECT_EQ(row(s.tariffs, 3), std::string(17, ','));

    store.values = {{"00", ",,,,,,,,,"}, {"01", "A,1,,,,,,,,"}};
    EXPECT_EQ(load(store, ConnNames{"A"}).tariffs.start(0, 0), "") << "nine commas end the list";

    // A full phonebook without the record's name: the search stops at 30 entries.
    ConnNames full{};
    for (int i = 0; i < kMaxConnections; ++i)
        full[i] = "E" + std::to_string(10 + i);
    store.values = {{"00", "Other,1,,,,,,,,"}, {"01", "E39,2,,,,,,,,"}};
    EXPECT_EQ(load(store, full).tariffs.start(29, 0), "2");
}

TEST(LoadSettings, DefaultsAndOptionConversions)
{
    FakeStore store;
    const Options defaults = load(store).options;
    EXPECT_FALSE(defaults.HangupSnd || defaults.WarnSnd || defaults.AutoHangup);
    EXPECT_TRUE(defaults.ShowSpeed && defaults.ShowOnlineTime && defaults.ShowRest);

    const auto option = [&store](const char* key, const std::string& text) {
        store.values = {{key, text}};
        return load(store).options;
    };
    for (const auto& [text, expected] : std::vector<std::pair<std::string, int>>{
             {"0", 1}, {"15", 10}, {"2.5", 2}, {"3.5", 4}, {"abc", 1}, {"99999999999", 10}, {"-99999999999", 1}})
        EXPECT_EQ(option("HangupTakte", text).HangupTakte, expected) << text;
    EXPECT_EQ(option("Vorlauf", "1e12").Vorlauf, 1); // no exponent
    EXPECT_EQ(option("HangupBytes", "-99999999999").HangupBytes, INT32_MIN);
    EXPECT_TRUE(option("HangupSnd", "x").HangupSnd && option("WarnSnd", "").WarnSnd
                && option("AutoHangup", "-1").AutoHangup);
    // Show keys by numeric value; a text that is no number keeps the default, on.
    for (const auto& [text, expected] : std::vector<std::pair<std::string, bool>>{
             {" 0 ", false}, {"0.0", false}, {"-1", true}, {"", true}, {"nein", true}})
        EXPECT_EQ(option("ShowSpeed", text).ShowSpeed, expected) << '"' << text << '"';
    EXPECT_FALSE(option("ShowOnlineTime", "0").ShowOnlineTime || option("ShowRest", "0").ShowRest);
}

TEST(LoadSettings, RightThenLeftThenTheFallbackPosition)
{
    FakeStore store;
    const auto place = [&](const ScreenMetrics& screen) { // left top right
        const InfoPosition p = load(store, {}, screen).position;
        return std::to_string(p.infoLeft) + " " + std::to_string(p.infoTop) + " " + std::to_string(p.infoRight);
    };
    store.values = {{"Right", "600.5"}, {"Top", "300"}, {"Left", "5"}};
    // Halves go to the even neighbour; the left edge from the unrounded 11939.5.
    EXPECT_EQ(place({15360, 11520}), "11940 300 600");
    EXPECT_EQ(place({3000, 2250}), "-50 255 600") << "a smaller screen: the fallback position, infoRight unchanged";
    store.values = {{"Right", "weit rechts"}, {"Left", "1000"}, {"Top", "400"}};
    EXPECT_EQ(place({15360, 11520}), "1000 400 11540"); // 15360 - 2820 - 1000

    // The primary screen 640 x 600 px at 640,200 right of another one, 640 x 800 at 0,0: places count from the
    // primary one, a place on the other one stays, one in the gap above the primary one falls back.
    ScreenMetrics two{9600, 9000};
    two.layout = {{640, 200, 1280, 800}, {{0, 0, 640, 800}, {640, 200, 1280, 800}}};
    store.values = {{"Right", "14865"}, {"Top", "4500"}};
    EXPECT_EQ(place(two), "-8085 4500 14865");
    store.values = {{"Right", "600"}, {"Top", "-1500"}};
    EXPECT_EQ(place(two), "6550 255 600");
    store.values = {};
    const auto kolpAbove = [] { return std::optional(PixelRect{900, 250, 1200, 300}); };
    Settings kolp; // right below it
    loadSettings(store, {}, two, kolpAbove, kolp);
    EXPECT_EQ(std::pair(kolp.position.infoRight, kolp.position.infoTop), std::pair(1200, 1500));

    // On showing, a window partly shown stays; one no screen shows any of goes to the default place.
    const ScreenLayout one{{0, 0, 800, 600}, {{0, 0, 800, 600}}};
    EXPECT_EQ(placeInfoWindow({0, -2820, 300}, 189, 21, one, 15, 15).x, 799);
    const InfoPlace gone = placeInfoWindow({0, -2835, 300}, 189, 21, one, 15, 15);
    EXPECT_EQ(std::pair(gone.x, gone.y), std::pair(597, 17)); // 12000 - 3050, 255 twips
}

TEST(StoreDialogSettings, WritesEverythingInOneBatchAndSetsTheVariables)
{
    FakeStore store;
    DialogSettings dialog = dialogFor(2);
    dialog.start[0] = Bands{"0", "9", "18", "21", "0", "", "", ""};
    dialog.takt[0] = Bands{"150", "90", "90", "150", "240", "", "", ""};
    dialog.takt[1][1] = "1,5"; // a comma would shift every later field
    Settings s;
    EXPECT_TRUE(storeDialogSettings(store, ConnNames{"Net1", "Net2"}, dialog, s));
    EXPECT_EQ(store.writeCalls, 1);
    EXPECT_EQ(store.values,
              (std::map<std::string, std::string>{{"00", "Net1,0,9,18,21,150,90,90,150,0,,,,240,,,,"},
                                                  {"01", "Net2,1,,,,2,1.5,,,,,,,,,,,"},
                                                  {"HangupSnd", "-1"},
                                                  {"WarnSnd", "0"},
                                                  {"Vorlauf", "2.6 s"},
                                                  {"AutoHangup", "0"},
                                                  {"HangupBytes", "4096"},
                                                  {"HangupTakte", "10"},
                                                  {"ShowSpeed", "1"},
                                                  {"ShowOnlineTime", "1"},
                                                  {"ShowRest", "1"}}));
    EXPECT_EQ(s.options.Vorlauf, 3);
    EXPECT_EQ(s.tariffs.takt(1, 1), "1.5") << "the live tariff is the stored one";

    FakeStore failing;
    failing.failWrites = true;
    EXPECT_FALSE(storeDialogSettings(failing, ConnNames{"Net1"}, dialogFor(1), s));
    EXPECT_FALSE(saveSettings(failing, InfoPosition{}));
}

TEST(StoreDialogSettings, StaleRecordsNeverWinAndDepartedTariffsStay)
{
    FakeStore store;
    store.values = {{"00", "Net1,1,,,,,,,,"},
                    {"01", "Gone,2,,,,,,,,"},
                    {"02", "Net2,3,,,,,,,,"},
                    {"03", "Gone,4,,,,,,,,"},
                    {"04", "Net1,5,,,,,,,,"},
                    {"05", std::string(17, ',')},
                    {"06", "Old,6,,,,,,,,"},
                    {"08", "Net1,8,,,,,,,,"},
                    {"123", "Net1,9,,,,,,,,"},
                    {"007", "no key of ours"},
                    {"Top", "300"}};
    // Net2 was renamed Net3; Net1 stays and gets a new tariff.
    const ConnNames now{"Net1", "Net3"};
    Settings s;
    ASSERT_TRUE(storeDialogSettings(store, now, dialogFor(2, "7"), s));

    EXPECT_EQ(load(store, now).tariffs.start(0, 0), "7");
    const Settings back = load(store, ConnNames{"Gone", "Net1", "Net2", "Old"});
    EXPECT_EQ(back.tariffs.start(0, 0), "4"); // the one that won before
    EXPECT_EQ(back.tariffs.start(1, 0), "7");
    EXPECT_EQ(back.tariffs.start(2, 0), "3");
    EXPECT_EQ(back.tariffs.start(3, 0), "6");
    // Compact: fresh records, departed ones, then nothing; keys not ours stay.
    for (const char* key : {"05", "06", "08", "123"})
        EXPECT_EQ(store.values.count(key), 0u) << key;
    EXPECT_EQ(store.values.at("007"), "no key of ours");
    EXPECT_EQ(store.values.at("Top"), "300");

    // Names with blanks at their edges, or commas, find their own record, not the trimmed name's.
    const ConnNames edged{" lead", "trail ", "lead", " a,b "};
    DialogSettings four = dialogFor(4);
    for (int c = 0; c < 4; ++c)
        four.start[c][0] = std::to_string(c);
    FakeStore edges;
    ASSERT_TRUE(storeDialogSettings(edges, edged, four, s));
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(load(edges, edged).tariffs.start(c, 0), std::to_string(c)) << '"' << edged[c] << '"';
}

} // namespace
} // namespace zumi
