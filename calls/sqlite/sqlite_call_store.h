#pragma once
#include "calls/call_store.h"

#include <filesystem>
#include <memory>
#include <string>

struct sqlite3;

namespace zumi {

class SqliteLibrary;

// The call log in an SQLite database in WAL mode: the table "calls" (one row
// per connection) and "prices" (unit price by entry). The library and the
// database are opened for each operation and let go after it, so a database
// that comes back is used again and nothing of either stays resident between
// the writes of a call.
class SqliteCallStore final : public CallStore {
public:
    explicit SqliteCallStore(std::filesystem::path path);
    ~SqliteCallStore() override;
    SqliteCallStore(const SqliteCallStore&) = delete;
    SqliteCallStore& operator=(const SqliteCallStore&) = delete;

    // The user's call log where the system keeps such files; made with its
    // folder for this user alone.
    static std::filesystem::path defaultPath();
    const std::filesystem::path& path() const { return path_; }

    bool add(CallRecord& call) override;
    bool update(const CallRecord& call) override;
    std::vector<CallRecord> calls(std::chrono::year_month month) override;
    std::vector<CallRecord> callsBetween(const std::string& from, const std::string& to) override;
    std::vector<CallRecord> callsAfter(const std::string& start, std::optional<std::int64_t> after,
                                       const std::string& to, std::size_t limit) override;
    BudgetSettings budget() override;
    bool setBudget(const BudgetSettings& budget) override;
    std::map<std::string, UnitPrice> prices() override;
    bool setPrice(const std::string& entry, const std::optional<UnitPrice>& price) override;
    std::string problem() const override { return problem_; }
    // How SQLite goes about reading a span of calls (a month, a page): its
    // query plan, a step a line; "" when the log cannot be opened.
    std::string spanQueryPlan();

private:
    class Session;
    bool open();
    bool hasDirections(); // the calls table has its sent and received columns
    void close();
    // Sets problem() to what failed, why (from SQLite's result code) and where.
    bool fail(const std::string& what, int rc);
    bool abandon(const std::string& what, int rc); // fails and closes: for open() alone

    std::filesystem::path path_;
    std::unique_ptr<SqliteLibrary> lib_;
    sqlite3* db_ = nullptr;
    std::string problem_;
};

} // namespace zumi
