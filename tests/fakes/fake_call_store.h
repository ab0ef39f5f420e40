#pragma once
#include "calls/call_store.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace zumi::test {

// The call log's store in memory; keeps every write so a test sees the row
// as it was after each one. With `failing` every call row write is refused.
class FakeCallStore final : public CallStore {
public:
    std::vector<CallRecord> rows;
    std::vector<CallRecord> writes; // the row after each successful add or update
    std::map<std::string, UnitPrice> priceTable;
    bool failing = false;
    int refused = 0;

    bool add(CallRecord& call) override
    {
        if (failing)
            return ++refused, false;
        call.id = static_cast<std::int64_t>(rows.size()) + 1;
        rows.push_back(call);
        writes.push_back(call);
        return true;
    }
    bool update(const CallRecord& call) override
    {
        if (failing || call.id < 1 || call.id > static_cast<std::int64_t>(rows.size()))
            return ++refused, false;
        rows[static_cast<std::size_t>(call.id - 1)] = call;
        writes.push_back(call);
        return true;
    }
    std::vector<CallRecord> calls(std::chrono::year_month month) override
    {
        return rowsWhere([&](const CallRecord& row) { return callMonth(row) == month; });
    }
    std::vector<CallRecord> callsBetween(const std::string& from, const std::string& to) override
    {
        return rowsWhere([&](const CallRecord& row) { return row.startLocal >= from && row.startLocal < to; });
    }
    std::vector<CallRecord> callsAfter(const std::string& start, std::optional<std::int64_t> after,
                                       const std::string& to, std::size_t limit) override
    {
        std::vector<CallRecord> page = rowsWhere([&](const CallRecord& row) {
            return row.startLocal < to && (row.startLocal > start || (row.startLocal == start && row.id > after));
        });
        std::sort(page.begin(), page.end(), [](const auto& a, const auto& b) {
            return std::tie(a.startLocal, a.id) < std::tie(b.startLocal, b.id);
        });
        if (limit && page.size() > limit)
            page.resize(limit);
        return page;
    }
    BudgetSettings budgetSettings;
    BudgetSettings budget() override { return budgetSettings; }
    bool setBudget(const BudgetSettings& budget) override { return budgetSettings = budget, true; }
    std::map<std::string, UnitPrice> prices() override { return priceTable; }
    bool setPrice(const std::string& entry, const std::optional<UnitPrice>& price) override
    {
        if (price)
            priceTable[entry] = *price;
        else
            priceTable.erase(entry);
        return true;
    }
    std::string problem() const override { return failing ? "the disk is full" : ""; }

private:
    template <class Keep>
    std::vector<CallRecord> rowsWhere(Keep keep) const
    {
        std::vector<CallRecord> result;
        std::copy_if(rows.begin(), rows.end(), std::back_inserter(result), keep);
        return result;
    }
};

} // namespace zumi::test
