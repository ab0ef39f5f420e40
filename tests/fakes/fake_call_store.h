#pragma once
#include "calls/call_store.h"

#include <map>
#include <string>
#include <vector>

namespace zumi::test {

// The call log's store in memory; keeps every write so a test sees the row
// as it was after each one. With `failing` every write is refused.
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
        std::vector<CallRecord> result;
        for (const CallRecord& row : rows)
            if (callMonth(row) == month)
                result.push_back(row);
        return result;
    }
    std::vector<CallRecord> callsBetween(const std::string& from, const std::string& to) override
    {
        std::vector<CallRecord> result;
        for (const CallRecord& row : rows)
            if (row.startLocal >= from && row.startLocal < to)
                result.push_back(row);
        return result;
    }
    BudgetSettings budgetSettings;
    BudgetSettings budget() override { return budgetSettings; }
    bool setBudget(const BudgetSettings& budget) override
    {
        if (failing)
            return false;
        budgetSettings = budget;
        return true;
    }
    std::map<std::string, UnitPrice> prices() override { return priceTable; }
    bool setPrice(const std::string& entry, const std::optional<UnitPrice>& price) override
    {
        if (failing)
            return false;
        if (price)
            priceTable[entry] = *price;
        else
            priceTable.erase(entry);
        return true;
    }
    std::string problem() const override { return failing ? "the disk is full" : ""; }
};

} // namespace zumi::test
