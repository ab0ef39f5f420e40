#pragma once
#include "calls/call_record.h"
#include "calls/month_report.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace zumi {

// The monthly budget: in units or in money (ten-thousandths of the currency),
// for the month from the 1st or from a billing day 1..28.
struct BudgetSettings {
    enum class Kind { None, Units, Money };
    Kind kind = Kind::None;
    std::int64_t amount = 0;
    int billingDay = 1;
    bool cutOff = true; // hang up when it runs out
    bool operator==(const BudgetSettings&) const = default;
};

// The first day of the billing month that holds `today`.
std::chrono::year_month_day periodStart(std::chrono::year_month_day today, int billingDay);

// What the calls cost against the budget: units, or units × the entry's
// price (an entry without a price costs nothing).
std::int64_t spent(const BudgetSettings& budget, const std::vector<CallRecord>& calls, const Prices& prices);
std::int64_t unitsCost(const BudgetSettings& budget, const std::string& entry, std::int64_t units,
                       const Prices& prices);

// "12 von 100 Einheiten", "1,20 von 10,00 €".
std::string budgetUseText(const BudgetSettings& budget, std::int64_t used, const Prices& prices);

} // namespace zumi
