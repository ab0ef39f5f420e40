#include "calls/budget.h"

#include "calls/money.h"

#include <algorithm>

namespace zumi {

std::chrono::year_month_day periodStart(std::chrono::year_month_day today, int billingDay)
{
    using namespace std::chrono;
    const day d{static_cast<unsigned>(std::clamp(billingDay, 1, 28))};
    const year_month thisMonth = today.year() / today.month();
    return today.day() >= d ? thisMonth / d : (thisMonth - months{1}) / d;
}

std::int64_t unitsCost(const BudgetSettings& budget, const std::string& entry, std::int64_t units, const Prices& prices)
{
    if (budget.kind == BudgetSettings::Kind::Units)
        return units;
    const auto price = prices.find(entry);
    return price == prices.end() ? 0 : units * price->second.tenThousandths;
}

std::int64_t spent(const BudgetSettings& budget, const std::vector<CallRecord>& calls, const Prices& prices)
{
    std::int64_t sum = 0;
    for (const CallRecord& call : calls)
        sum += unitsCost(budget, call.entry, call.units, prices);
    return sum;
}

std::string budgetUseText(const BudgetSettings& budget, std::int64_t used, const Prices& prices)
{
    if (budget.kind == BudgetSettings::Kind::Units)
        return std::to_string(used) + " von " + std::to_string(budget.amount) + " Einheiten";
    const std::string currency = prices.empty() ? "\xE2\x82\xAC" : prices.begin()->second.currency;
    return moneyText(used) + " von " + moneyText(budget.amount) + " " + currency;
}

} // namespace zumi
