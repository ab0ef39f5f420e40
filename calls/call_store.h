#pragma once
#include "calls/budget.h"
#include "calls/call_record.h"

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zumi {

// Where the call log and the unit prices are kept. Each write is complete or
// not done at all; a failed one returns false and problem() says why in German
// (empty after an operation that worked, reads included).
class CallStore {
public:
    virtual ~CallStore() = default;
    // Stores a new call and sets its id.
    virtual bool add(CallRecord& call) = 0;
    virtual bool update(const CallRecord& call) = 0;
    // The calls that started in the month, oldest first.
    virtual std::vector<CallRecord> calls(std::chrono::year_month month) = 0;
    // The calls that started from `from` up to before `to` (local stamps).
    virtual std::vector<CallRecord> callsBetween(const std::string& from, const std::string& to) = 0;
    // The same in pages, so a span of any size can be read a bit at a time:
    // at most `limit` (0: all) calls that started before `to` and come after
    // the call that started at `start` with id `after` (none: from the calls
    // that started at `start` on).
    virtual std::vector<CallRecord> callsAfter(const std::string& start, std::optional<std::int64_t> after,
                                               const std::string& to, std::size_t limit)
        = 0;
    // Unit prices by phonebook entry; an entry without one has none.
    virtual std::map<std::string, UnitPrice> prices() = 0;
    // nullopt removes the entry's price.
    virtual bool setPrice(const std::string& entry, const std::optional<UnitPrice>& price) = 0;
    // The monthly budget; none when never set.
    virtual BudgetSettings budget() = 0;
    virtual bool setBudget(const BudgetSettings& budget) = 0;
    virtual std::string problem() const = 0;
};

} // namespace zumi
