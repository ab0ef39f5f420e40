#include "calls/sqlite/sqlite_call_store.h"
#include "platform/user_folders.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <map>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace zumi {
namespace {

using namespace std::chrono;

// The log and its folder are the user's alone, the WAL files too (kept while another reader holds the
// database open); a fifo is no log; a log the user may not write refuses each write with the reason and
// keeps its rows.
TEST(SqliteCallStore, TheUsersAloneNotAFifoAndReadOnlyWhenTheUserMadeIt)
{
    test::TempFolder folder;
    const auto path = folder.path / "sub" / "calls.sqlite";
    CallRecord first{0, "Net1", "2026-03-10 10:00:00", "2026-03-10T09:00:00Z", "", "", 0, 1, 0, "", 0, 0};
    ASSERT_TRUE(SqliteCallStore(path).add(first));
    sqlite3* reader = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &reader), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(reader, "SELECT count(*) FROM calls", nullptr, nullptr, nullptr), SQLITE_OK);
    using std::filesystem::perms;
    for (const std::string& name : {path.string(), path.string() + "-wal", path.string() + "-shm"})
        EXPECT_EQ(std::filesystem::status(name).permissions(), perms::owner_read | perms::owner_write) << name;
    EXPECT_EQ(std::filesystem::status(path.parent_path()).permissions(), perms::owner_all);
    sqlite3_close(reader);

    ASSERT_EQ(::mkfifo((folder.path / "fifo.sqlite").c_str(), 0600), 0);
    SqliteCallStore fifo(folder.path / "fifo.sqlite"); // must not hold up the read
    EXPECT_TRUE(fifo.calls(year{2026} / 3).empty());
    EXPECT_NE(fifo.problem().find("keine Verbindungsdatenbank von Zumi"), std::string::npos) << fifo.problem();

    ::chmod(path.c_str(), 0444);
    const bool root = geteuid() == 0; // root writes whatever the mode says: check as an ordinary user
    ASSERT_TRUE(!root || seteuid(65534) == 0);
    {
        SqliteCallStore readOnly(path);
        CallRecord next = first;
        const bool added = readOnly.add(next);
        const std::string why = readOnly.problem();
        ASSERT_TRUE(!root || seteuid(0) == 0);
        EXPECT_FALSE(added);
        EXPECT_NE(why.find("calls.sqlite"), std::string::npos) << why;
        EXPECT_NE(why.find("nicht beschreibbar"), std::string::npos) << why;
    }
    EXPECT_EQ(SqliteCallStore(path).calls(year{2026} / 3).size(), 1u);
}

// Without HOME (a service, a bare su) the log and the settings lie in the
// home the password database names, not in two folders below the working one.
TEST(UserFolders, WithoutHomeTheLogAndTheSettingsLieInTheUsersHome)
{
    std::map<std::string, std::string> saved;
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
        if (const char* value = std::getenv(name))
            saved[name] = value;
        ::unsetenv(name);
    }
    const std::filesystem::path home = ::getpwuid(::getuid())->pw_dir;
    EXPECT_EQ(callLogFile(), home / ".local/share/Zumi/calls.sqlite");
    EXPECT_EQ(settingsFile(), home / ".config/Zumi/Zumi.conf");
    for (const auto& [name, value] : saved)
        ::setenv(name.c_str(), value.c_str(), 1);
}

} // namespace
} // namespace zumi
