#include "calls/budget_guard.h"

#include "calls/time_text.h"

#include <utility>

namespace zumi {

BudgetGuard::BudgetGuard(const Clock& clock, CallStore& store, MeteringLog& next, Notify notify)
    : clock_(clock)
    , store_(store)
    , next_(next)
    , notify_(std::move(notify))
{
}

void BudgetGuard::started(const std::string& entryName, LinkCounts bytes)
{
    // Read before the new row exists, so the call is not counted twice.
    budget_ = store_.budget();
    units_ = 0;
    if (budget_.kind != BudgetSettings::Kind::None) {
        using namespace std::chrono;
        period_ = periodStart(clock_.localNow().date, budget_.billingDay);
        const year_month after = period_.year() / period_.month() + months{1};
        const std::string from = localStamp({period_, 0});
        const std::string to = localStamp({after / period_.day(), 0});
        prices_ = store_.prices();
        before_ = spent(budget_, store_.callsBetween(from, to), prices_);
    }
    entry_ = entryName;
    next_.started(entryName, bytes);
    units_ = 1;
    tell(true);
}

void BudgetGuard::unitBegun(std::int32_t units, LinkCounts bytes)
{
    next_.unitBegun(units, bytes);
    units_ = units;
    tell(false);
}

void BudgetGuard::ended(CallEnd how, LinkCounts bytes)
{
    next_.ended(how, bytes);
    units_ = 0;
}

std::int64_t BudgetGuard::used() const
{
    return before_ + unitsCost(budget_, entry_, units_, prices_);
}

// The unit that brings the spending to the budget is the last one.
bool BudgetGuard::exhausted()
{
    return units_ > 0 && budget_.kind != BudgetSettings::Kind::None && budget_.cutOff && budget_.amount > 0
        && used() >= budget_.amount;
}

// The state as it is now: used up before this call, used up by it, or 80 %.
void BudgetGuard::tell(bool atStart)
{
    if (budget_.kind == BudgetSettings::Kind::None || budget_.amount <= 0)
        return;
    const std::int64_t now = used();
    const char* summary = nullptr;
    std::string consequence = ".";
    if (atStart && before_ >= budget_.amount) {
        summary = "Zumi: Monatsbudget bereits verbraucht";
        if (budget_.cutOff)
            consequence = ". Zumi trennt am Ende der ersten Einheit.";
    } else if (now >= budget_.amount && spentFor_ != period_) {
        summary = "Zumi: Monatsbudget verbraucht";
        if (budget_.cutOff)
            consequence = ". Zumi trennt am Ende dieser Einheit.";
    } else if (now * 5 >= budget_.amount * 4 && now < budget_.amount && warnedFor_ != period_) {
        summary = "Zumi: Monatsbudget zu 80 % verbraucht";
        if (budget_.cutOff)
            consequence = ". Ist es verbraucht, trennt Zumi am Ende der Einheit.";
    }
    if (!summary)
        return;
    warnedFor_ = period_;
    if (now >= budget_.amount)
        spentFor_ = period_;
    if (notify_)
        notify_(summary,
                "Seit dem " + germanDate(localStamp({period_, 0})) + ": " + budgetUseText(budget_, now, prices_)
                    + consequence);
}

} // namespace zumi
