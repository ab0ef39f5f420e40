#include "calls/sqlite/sqlite_call_store.h"

#include "calls/sqlite/sqlite_library.h"
#include "platform/user_files.h"
#include "platform/user_folders.h"
#include "platform/utf8_path.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <system_error>
#include <utility>

namespace zumi {
namespace {

constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS calls (
  id INTEGER PRIMARY KEY,
  entry TEXT NOT NULL,
  start_local TEXT NOT NULL,
  start_utc TEXT NOT NULL,
  end_local TEXT,
  end_utc TEXT,
  online_seconds INTEGER NOT NULL,
  units INTEGER NOT NULL,
  bytes INTEGER NOT NULL,
  ended_by TEXT,
  bytes_sent INTEGER NOT NULL DEFAULT 0,
  bytes_received INTEGER NOT NULL DEFAULT 0);
CREATE INDEX IF NOT EXISTS calls_by_start ON calls(start_local);
CREATE TABLE IF NOT EXISTS prices (
  entry TEXT PRIMARY KEY,
  ten_thousandths INTEGER NOT NULL,
  currency TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS budget (
  id INTEGER PRIMARY KEY CHECK (id = 1),
  kind TEXT NOT NULL,
  amount INTEGER NOT NULL,
  billing_day INTEGER NOT NULL,
  cut_off INTEGER NOT NULL);
)";

// Columns a log made by an earlier Zumi lacks; its rows keep their sum.
constexpr const char* kAddedColumns = R"(
ALTER TABLE calls ADD COLUMN bytes_sent INTEGER NOT NULL DEFAULT 0;
ALTER TABLE calls ADD COLUMN bytes_received INTEGER NOT NULL DEFAULT 0;
)";

// The range on start_local keeps to the index; the id only orders calls of the same second.
constexpr const char* kSpanQuery
    = "SELECT id, entry, start_local, start_utc, end_local, end_utc, online_seconds, units, bytes, "
      "ended_by, bytes_sent, bytes_received FROM calls WHERE start_local >= ?1 AND start_local < ?2 AND "
      "(start_local > ?1 OR id > ?3) ORDER BY start_local, id LIMIT ?4";

// One prepared statement, finalised whatever happens.
class Statement {
public:
    Statement(const SqliteLibrary& lib, sqlite3* db, const char* sql)
        : lib_(lib)
        , rc_(lib_.prepare_v2(db, sql, -1, &s_, nullptr))
    {
    }
    ~Statement() { lib_.finalize(s_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool ok() const { return rc_ == SQLITE_OK; }
    void bind(int i, const std::string& text)
    {
        if (ok())
            rc_ = lib_.bind_text(s_, i, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    void bindOrNull(int i, const std::string& text)
    {
        if (!text.empty())
            bind(i, text);
        else if (ok())
            rc_ = lib_.bind_null(s_, i);
    }
    void bind(int i, std::int64_t value)
    {
        if (ok())
            rc_ = lib_.bind_int64(s_, i, value);
    }
    // SQLITE_ROW, SQLITE_DONE or an error (the first one met).
    int step() { return ok() ? lib_.step(s_) : rc_; }
    std::string text(int i) const
    {
        const auto* t = lib_.column_text(s_, i);
        return t ? reinterpret_cast<const char*>(t) : std::string{};
    }
    std::int64_t integer(int i) const { return lib_.column_int64(s_, i); }

private:
    const SqliteLibrary& lib_;
    sqlite3_stmt* s_ = nullptr;
    int rc_;
};

std::string monthStart(std::chrono::year_month month)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-01", static_cast<int>(month.year()),
                  static_cast<unsigned>(month.month()));
    return text;
}

// What an SQLite result code means to the user; empty where the library's
// own text says more.
std::string reasonOf(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_FULL:
        return "Der Datentr\xC3\xA4ger ist voll";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "Ein anderes Programm h\xC3\xA4lt die Datenbank gerade gesperrt";
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_CANTOPEN:
        return "Die Datei oder ihr Ordner ist nicht beschreibbar";
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return "Die Datei ist keine Verbindungsdatenbank von Zumi";
    case SQLITE_IOERR:
        return "Der Datentr\xC3\xA4ger meldet einen Ein-/Ausgabefehler";
    default:
        return {};
    }
}

} // namespace

// The library and the database, for the length of one operation; its
// statements are declared after it, so they are finalised before it closes.
class SqliteCallStore::Session {
public:
    explicit Session(SqliteCallStore& store)
        : store_(store)
        , open_(store.open())
    {
    }
    ~Session() { store_.close(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    explicit operator bool() const { return open_; }

private:
    SqliteCallStore& store_;
    bool open_;
};

SqliteCallStore::SqliteCallStore(std::filesystem::path path)
    : path_(std::move(path))
{
}

SqliteCallStore::~SqliteCallStore()
{
    close();
}

std::filesystem::path SqliteCallStore::defaultPath()
{
    return callLogFile();
}

void SqliteCallStore::close()
{
    if (db_)
        lib_->close(db_);
    db_ = nullptr;
    lib_.reset();
}

bool SqliteCallStore::fail(const std::string& what, int rc)
{
    const std::string reason = reasonOf(rc);
    problem_ = what + (reason.empty() ? "" : ": " + reason) + " (" + utf8Path(path_) + ": "
        + (db_ ? lib_->errmsg(db_) : "keine Datenbank") + ")";
    return false;
}

bool SqliteCallStore::open()
{
    problem_.clear(); // each operation reports only its own failure
    lib_ = SqliteLibrary::load(problem_);
    if (!lib_)
        return false;
    // Who called whom, when, for how much is the user's alone: SQLite gives
    // its -wal and -shm files the mode of the database file.
    if (!path_.parent_path().empty())
        makePrivateFolders(path_.parent_path());
    makePrivateFile(path_);
    // A FIFO or a device in the log's place would hold up the first read,
    // and with it the tick, for good.
    std::error_code ec;
    if (const auto type = std::filesystem::status(path_, ec).type();
        type != std::filesystem::file_type::regular && type != std::filesystem::file_type::none
        && type != std::filesystem::file_type::not_found)
        return abandon("Die Datenbank l\xC3\xA4sst sich nicht \xC3\xB6"
                       "ffnen",
                       SQLITE_NOTADB);
    if (const int rc = lib_->open_v2(utf8Path(path_).c_str(), &db_,
                                     SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
        rc != SQLITE_OK)
        return abandon("Die Datenbank l\xC3\xA4sst sich nicht \xC3\xB6"
                       "ffnen",
                       rc);
    // A long wait would stall the once-a-second tick; another reader holds the file only briefly.
    lib_->busy_timeout(db_, 200);
    // WAL: a kill between two writes leaves the last committed row intact,
    // and readers (sqlite3 on the command line) do not block the writer.
    int rc = lib_->exec(db_, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = lib_->exec(db_, kSchema, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK && !hasDirections())
        rc = lib_->exec(db_, kAddedColumns, nullptr, nullptr, nullptr);
    // Tables of the same names but of another shape: another program's file.
    if (rc == SQLITE_ERROR)
        rc = SQLITE_NOTADB;
    if (rc != SQLITE_OK)
        return abandon("Die Verbindungsdatenbank l\xC3\xA4sst sich nicht einrichten", rc);
    return true;
}

bool SqliteCallStore::abandon(const std::string& what, int rc)
{
    fail(what, rc);
    close();
    return false;
}

bool SqliteCallStore::hasDirections()
{
    return Statement(*lib_, db_, "SELECT bytes_sent FROM calls LIMIT 0").ok();
}

bool SqliteCallStore::add(CallRecord& call)
{
    const Session session(*this);
    if (!session)
        return false;
    Statement s(*lib_, db_,
                "INSERT INTO calls (entry, start_local, start_utc, end_local, end_utc, online_seconds, units, "
                "bytes, ended_by, bytes_sent, bytes_received) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    s.bind(1, call.entry);
    s.bind(2, call.startLocal);
    s.bind(3, call.startUtc);
    s.bindOrNull(4, call.endLocal);
    s.bindOrNull(5, call.endUtc);
    s.bind(6, call.onlineSeconds);
    s.bind(7, call.units);
    s.bind(8, call.bytes);
    s.bindOrNull(9, call.endedBy);
    s.bind(10, call.bytesSent);
    s.bind(11, call.bytesReceived);
    if (const int rc = s.step(); rc != SQLITE_DONE)
        return fail("Die Verbindung l\xC3\xA4sst sich nicht eintragen", rc);
    call.id = lib_->last_insert_rowid(db_);
    return true;
}

bool SqliteCallStore::update(const CallRecord& call)
{
    const Session session(*this);
    if (!session)
        return false;
    Statement s(*lib_, db_,
                "UPDATE calls SET end_local = ?, end_utc = ?, online_seconds = ?, units = ?, bytes = ?, "
                "ended_by = ?, bytes_sent = ?, bytes_received = ? WHERE id = ?");
    s.bindOrNull(1, call.endLocal);
    s.bindOrNull(2, call.endUtc);
    s.bind(3, call.onlineSeconds);
    s.bind(4, call.units);
    s.bind(5, call.bytes);
    s.bindOrNull(6, call.endedBy);
    s.bind(7, call.bytesSent);
    s.bind(8, call.bytesReceived);
    s.bind(9, call.id);
    if (const int rc = s.step(); rc != SQLITE_DONE)
        return fail("Die Verbindung l\xC3\xA4sst sich nicht fortschreiben", rc);
    return true;
}

std::vector<CallRecord> SqliteCallStore::calls(std::chrono::year_month month)
{
    return callsBetween(monthStart(month), monthStart(month + std::chrono::months{1}));
}

std::vector<CallRecord> SqliteCallStore::callsBetween(const std::string& from, const std::string& to)
{
    return callsAfter(from, std::nullopt, to, 0);
}

std::vector<CallRecord> SqliteCallStore::callsAfter(const std::string& start, std::optional<std::int64_t> after,
                                                    const std::string& to, std::size_t limit)
{
    std::vector<CallRecord> result;
    const Session session(*this);
    if (!session)
        return result;
    Statement s(*lib_, db_, kSpanQuery);
    s.bind(1, start);
    s.bind(2, to);
    s.bind(3, after.value_or(std::numeric_limits<std::int64_t>::min()));
    s.bind(4, limit == 0 ? std::int64_t{-1} : static_cast<std::int64_t>(limit)); // -1: no limit
    int rc;
    while ((rc = s.step()) == SQLITE_ROW)
        result.push_back({s.integer(0), s.text(1), s.text(2), s.text(3), s.text(4), s.text(5), s.integer(6),
                          s.integer(7), s.integer(8), s.text(9), s.integer(10), s.integer(11)});
    if (rc != SQLITE_DONE)
        fail("Die Verbindungen lassen sich nicht lesen", rc);
    return result;
}

std::string SqliteCallStore::spanQueryPlan()
{
    const Session session(*this);
    if (!session)
        return {};
    Statement s(*lib_, db_, (std::string("EXPLAIN QUERY PLAN ") + kSpanQuery).c_str());
    std::string plan;
    while (s.step() == SQLITE_ROW)
        plan += s.text(3) + "\n";
    return plan;
}

std::map<std::string, UnitPrice> SqliteCallStore::prices()
{
    std::map<std::string, UnitPrice> result;
    const Session session(*this);
    if (!session)
        return result;
    Statement s(*lib_, db_, "SELECT entry, ten_thousandths, currency FROM prices");
    int rc;
    while ((rc = s.step()) == SQLITE_ROW)
        result[s.text(0)] = UnitPrice{s.integer(1), s.text(2)};
    if (rc != SQLITE_DONE)
        fail("Die Preise lassen sich nicht lesen", rc);
    return result;
}

BudgetSettings SqliteCallStore::budget()
{
    BudgetSettings result;
    const Session session(*this);
    if (!session)
        return result;
    Statement s(*lib_, db_, "SELECT kind, amount, billing_day, cut_off FROM budget WHERE id = 1");
    if (s.step() == SQLITE_ROW) {
        const std::string kind = s.text(0);
        result.kind = kind == "units" ? BudgetSettings::Kind::Units
            : kind == "money"         ? BudgetSettings::Kind::Money
                                      : BudgetSettings::Kind::None;
        result.amount = s.integer(1);
        result.billingDay = static_cast<int>(std::clamp<std::int64_t>(s.integer(2), 1, 28));
        result.cutOff = s.integer(3) != 0;
    }
    return result;
}

bool SqliteCallStore::setBudget(const BudgetSettings& budget)
{
    const Session session(*this);
    if (!session)
        return false;
    Statement s(*lib_, db_,
                "INSERT OR REPLACE INTO budget (id, kind, amount, billing_day, cut_off) VALUES (1, ?, ?, ?, ?)");
    s.bind(1,
           std::string(budget.kind == BudgetSettings::Kind::Units       ? "units"
                           : budget.kind == BudgetSettings::Kind::Money ? "money"
                                                                        : "none"));
    s.bind(2, budget.amount);
    s.bind(3, std::int64_t{budget.billingDay});
    s.bind(4, std::int64_t{budget.cutOff ? 1 : 0});
    if (const int rc = s.step(); rc != SQLITE_DONE)
        return fail("Das Budget l\xC3\xA4sst sich nicht speichern", rc);
    return true;
}

bool SqliteCallStore::setPrice(const std::string& entry, const std::optional<UnitPrice>& price)
{
    const Session session(*this);
    if (!session)
        return false;
    Statement s(*lib_, db_,
                price ? "INSERT OR REPLACE INTO prices (entry, ten_thousandths, currency) VALUES (?, ?, ?)"
                      : "DELETE FROM prices WHERE entry = ?");
    s.bind(1, entry);
    if (price) {
        s.bind(2, price->tenThousandths);
        s.bind(3, price->currency);
    }
    if (const int rc = s.step(); rc != SQLITE_DONE)
        return fail("Der Preis l\xC3\xA4sst sich nicht speichern", rc);
    return true;
}

} // namespace zumi
