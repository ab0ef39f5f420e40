// A program that does not link SQLite itself: the store's library must be
// gone again once an operation is over, whether it worked or failed.
#include "calls/sqlite/sqlite_call_store.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

bool sqliteMapped()
{
    return test::readText("/proc/self/maps").find("libsqlite3") != std::string::npos;
}

TEST(SqliteCallStore, HoldsItsLibraryOnlyForTheLengthOfAnOperation)
{
    test::TempFolder folder;
    SqliteCallStore store(folder.path / "calls.sqlite");
    CallRecord call{0, "Net", "2026-03-31 23:58:00", "2026-03-31T21:58:00Z", "", "", 0, 1, 0, "", 0, 0};
    ASSERT_TRUE(store.add(call)) << store.problem();
    call.units = 2;
    ASSERT_TRUE(store.update(call)) << store.problem();
    EXPECT_EQ(store.calls(std::chrono::year{2026} / 3).at(0).units, 2);
    EXPECT_FALSE(sqliteMapped());

    // A file that is no database is told as that and left as it is.
    const auto path = folder.path / "garbage.sqlite";
    const std::string noise(5000, 'x');
    test::writeText(path, noise);
    SqliteCallStore garbage(path);
    EXPECT_FALSE(garbage.add(call));
    EXPECT_NE(garbage.problem().find("keine Verbindungsdatenbank"), std::string::npos) << garbage.problem();
    EXPECT_TRUE(garbage.calls(std::chrono::year{2026} / 3).empty());
    EXPECT_EQ(test::readText(path), noise);
    EXPECT_FALSE(sqliteMapped());
}

} // namespace
} // namespace zumi
