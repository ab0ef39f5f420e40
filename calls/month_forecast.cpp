#include "calls/month_forecast.h"

#include "calls/money.h"
#include "calls/time_text.h"

#include <algorithm>
#include <cmath>

namespace zumi {
namespace {

using namespace std::chrono;

// The first minutes of a month say nothing of its pace.
constexpr std::int64_t kShortestPace = 3600;

std::int64_t secondsAt(year_month_day day, double secondsOfDay = 0)
{
    return std::int64_t{sys_days(day).time_since_epoch().count()} * 86400 + static_cast<std::int64_t>(secondsOfDay);
}

std::int64_t scaled(std::int64_t amount, std::int64_t total, std::int64_t part)
{
    return std::llround(static_cast<long double>(amount) * total / part);
}

std::string dateText(year_month_day day)
{
    return germanDate(localStamp({day, 0}));
}

std::string unitsText(std::int64_t tenths)
{
    if (tenths == 10)
        return "1 Einheit";
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10 != 0)
        text += "," + std::to_string(tenths % 10);
    return text + " Einheiten";
}

} // namespace

MonthForecast forecastMonth(const MonthPace& pace, const BudgetSettings& budget, std::int64_t budgetUsed)
{
    const year_month_day end = (pace.start.year() / pace.start.month() + months{1}) / pace.start.day();
    const std::int64_t from = secondsAt(pace.start);
    const std::int64_t total = secondsAt(end) - from;
    const std::int64_t elapsed
        = std::clamp(secondsAt(pace.now.date, pace.now.secondsOfDay) - from, kShortestPace, total);

    MonthForecast f;
    f.lastDay = year_month_day(sys_days(end) - days{1});
    f.units = scaled(pace.units, total, elapsed);
    if (pace.cost)
        f.cost = scaled(*pace.cost, total, elapsed);
    if (budget.kind == BudgetSettings::Kind::None)
        return f;

    f.daysLeft = std::max<std::int64_t>(1, (sys_days(end) - sys_days(pace.now.date)).count());
    const std::int64_t left = std::max<std::int64_t>(0, budget.amount - budgetUsed);
    f.leftPerDayTenths = budget.kind == BudgetSettings::Kind::Units ? left * 10 / f.daysLeft
                                                                    : left / f.daysLeft / 100 * 100; // whole cents
    f.budgetSpent = left == 0;
    if (!f.budgetSpent && budgetUsed > 0) {
        const std::int64_t at = from + scaled(elapsed, budget.amount, budgetUsed);
        if (at < from + total)
            f.runsOut = year_month_day(sys_days(days{at / 86400}));
    }
    return f;
}

std::string forecastText(const MonthForecast& f, const BudgetSettings& budget, const std::string& currency)
{
    std::string text = "Hochrechnung bis " + dateText(f.lastDay) + ": etwa " + unitsText(f.units * 10);
    if (f.cost)
        text += " / " + moneyText(*f.cost) + " " + currency;
    text += ".";
    if (budget.kind == BudgetSettings::Kind::None)
        return text;
    if (f.budgetSpent)
        return text + " Das Budget ist verbraucht.";
    text += f.runsOut ? " Bei diesem Tempo ist das Budget am " + dateText(*f.runsOut) + " verbraucht"
                      : std::string(" Das Budget reicht bei diesem Tempo bis zum Ende");
    text += "; \xC3\xBC"
            "brig sind "
        + (budget.kind == BudgetSettings::Kind::Units ? unitsText(f.leftPerDayTenths)
                                                      : moneyText(f.leftPerDayTenths) + " " + currency)
        + " je Tag (noch " + std::to_string(f.daysLeft) + (f.daysLeft == 1 ? " Tag)." : " Tage).");
    return text;
}

} // namespace zumi
