#include "calls/sqlite/sqlite_call_store.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(march[0].endLocal, "2026-04-01 00:04:00");
    EXPECT_EQ(march[0].endUtc, "") << "no end written: none read";
    EXPECT_EQ(march[0].endedBy, "budget");
    ASSERT_EQ(again.calls(year{2026} / 4).size(), 1u);
    EXPECT_EQ(again.calls(year{2026} / 4)[0].endedBy, "");
    EXPECT_EQ(again.prices(), (std::map<std::string, UnitPrice>{{"Net2", {486, "DM"}}}));
    EXPECT_EQ(again.budget(), (BudgetSettings{BudgetSettings::Kind::Money, 200000, 15, false}));
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
