#include "calls/sqlite/sqlite_call_store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <unistd.h>

namespace zumi {
namespace {

using namespace std::chrono;

struct TempFolder {
    std::filesystem::path path
        = std::filesystem::temp_directory_path() / ("zumi-calls-" + std::to_string(std::random_device()()));
    TempFolder() { std::filesystem::create_directories(path); }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

std::string readAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

CallRecord running(std::string entry, std::string start)
{
    CallRecord call;
    call.entry = std::move(entry);
    call.startLocal = std::move(start);
    call.startUtc = "2026-03-31T21:58:00Z";
    call.units = 1;
    return call;
}

// Rows and prices outlive the store; a call belongs to its start's month;
// the database is in WAL mode.
TEST(SqliteCallStore, KeepsRowsAndPricesAcrossAReopen)
{
    TempFolder folder;
    const auto path = folder.path / "sub" / "calls.sqlite";
    {
        SqliteCallStore store(path);
        CallRecord late = running("Net \"1\"", "2026-03-31 23:58:00");
        ASSERT_TRUE(store.add(late)) << store.problem();
        late.units = 4;
        late.onlineSeconds = 360;
        late.bytes = 5'000'000'000;
        late.bytesSent = 1'000'000'000;
        late.bytesReceived = 4'000'000'000;
        late.endLocal = "2026-04-01 00:04:00";
        late.endedBy = "budget";
        ASSERT_TRUE(store.update(late));
        CallRecord april = running("Net2", "2026-04-01 00:00:00");
        ASSERT_TRUE(store.add(april));
        EXPECT_NE(april.id, late.id);
        ASSERT_TRUE(store.setPrice("Net2", UnitPrice{486, "DM"}));
        ASSERT_TRUE(store.setPrice("Net \"1\"", UnitPrice{1200}));
        ASSERT_TRUE(store.setPrice("Net \"1\"", std::nullopt));
        EXPECT_EQ(store.budget(), BudgetSettings{}) << "none until set";
        ASSERT_TRUE(store.setBudget({BudgetSettings::Kind::Money, 200000, 15, false}));
        EXPECT_TRUE(std::filesystem::exists(path.string() + "-wal"));
    }
    SqliteCallStore again(path);
    const auto march = again.calls(year{2026} / 3);
    ASSERT_EQ(march.size(), 1u);
    EXPECT_EQ(march[0].entry, "Net \"1\"");
    EXPECT_EQ(march[0].units, 4);
    EXPECT_EQ(march[0].bytes, 5'000'000'000);
    EXPECT_EQ(march[0].bytesSent, 1'000'000'000);
    EXPECT_EQ(march[0].bytesReceived, 4'000'000'000);
    EXPECT_EQ(march[0].endLocal, "2026-04-01 00:04:00");
    EXPECT_EQ(march[0].endUtc, "") << "no end written: none read";
    EXPECT_EQ(march[0].endedBy, "budget");
    ASSERT_EQ(again.calls(year{2026} / 4).size(), 1u);
    EXPECT_EQ(again.calls(year{2026} / 4)[0].endedBy, "");
    EXPECT_EQ(again.prices(), (std::map<std::string, UnitPrice>{{"Net2", {486, "DM"}}}));
    EXPECT_EQ(again.budget(), (BudgetSettings{BudgetSettings::Kind::Money, 200000, 15, false}));
}

// A log kept before the two directions were: its rows keep their sum, new
// rows get both directions.
TEST(SqliteCallStore, TakesOnALogThatKeptOnlyTheSum)
{
    TempFolder folder;
    const auto path = folder.path / "calls.sqlite";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE calls (id INTEGER PRIMARY KEY, entry TEXT NOT NULL, start_local TEXT NOT "
                           "NULL, start_utc TEXT NOT NULL, end_local TEXT, end_utc TEXT, online_seconds INTEGER NOT "
                           "NULL, units INTEGER NOT NULL, bytes INTEGER NOT NULL, ended_by TEXT);"
                           "INSERT INTO calls VALUES (1, 'Old', '2026-03-01 10:00:00', '2026-03-01T09:00:00Z', "
                           "'2026-03-01 10:01:00', '2026-03-01T09:01:00Z', 60, 1, 777, 'menu');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    SqliteCallStore store(path);
    CallRecord call = running("New", "2026-03-02 10:00:00");
    call.bytes = 30;
    call.bytesSent = 10;
    call.bytesReceived = 20;
    ASSERT_TRUE(store.add(call)) << store.problem();
    const auto march = store.calls(year{2026} / 3);
    ASSERT_EQ(march.size(), 2u);
    EXPECT_EQ(march[0].bytes, 777);
    EXPECT_EQ(march[0].bytesSent + march[0].bytesReceived, 0) << "the split of an old row is not made up";
    EXPECT_EQ(march[1].bytesSent, 10);
    EXPECT_EQ(march[1].bytesReceived, 20);
}

// A file that is no database is left as it is; one the user may not write
// refuses each write with the reason and keeps its rows.
TEST(SqliteCallStore, GarbageAndReadOnlyFiles)
{
    TempFolder folder;
    const auto garbage = folder.path / "garbage.sqlite";
    const std::string noise(5000, 'x');
    std::ofstream(garbage, std::ios::binary) << noise;
    SqliteCallStore broken(garbage);
    CallRecord call = running("Net1", "2026-03-10 10:00:00");
    EXPECT_FALSE(broken.add(call));
    EXPECT_NE(broken.problem().find(garbage.string()), std::string::npos) << broken.problem();
    EXPECT_TRUE(broken.calls(year{2026} / 3).empty());
    EXPECT_EQ(readAll(garbage), noise);

    const auto path = folder.path / "calls.sqlite";
    {
        SqliteCallStore store(path);
        ASSERT_TRUE(store.add(call));
    }
    std::filesystem::permissions(path,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::group_read
                                     | std::filesystem::perms::others_read);
    // root writes whatever the mode says: the check runs as an ordinary user.
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(seteuid(65534), 0);
    }
    {
        SqliteCallStore readOnly(path);
        CallRecord next = running("Net1", "2026-03-11 10:00:00");
        const bool added = readOnly.add(next);
        const std::string why = readOnly.problem();
        if (root) {
            ASSERT_EQ(seteuid(0), 0);
        }
        EXPECT_FALSE(added);
        EXPECT_NE(why.find("calls.sqlite"), std::string::npos) << why;
    }
    SqliteCallStore writable(path);
    EXPECT_EQ(writable.calls(year{2026} / 3).size(), 1u);
}

} // namespace
} // namespace zumi
