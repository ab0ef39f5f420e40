#pragma once
#include "calls/budget.h"
#include "platform/clock.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace zumi {

// What a billing month used so far, the running call included.
struct MonthPace {
    std::chrono::year_month_day start; // its first day; it ends the day before the same day a month on
    LocalDateTime now;
    std::int64_t units = 0;
    // nullopt unless every call has a price, all in one currency.
    std::optional<std::int64_t> cost;
    std::string currency;
};

// Where the month is heading if it goes on at that pace. Reckoned in local
// calendar time, so a day of 23 or 25 hours counts as one day.
struct MonthForecast {
    std::chrono::year_month_day lastDay;
    std::int64_t units = 0;
    std::optional<std::int64_t> cost;
    // With a budget: the day it runs out, none when it lasts the month;
    // what is left of it for each day from today on, today included.
    bool budgetSpent = false;
    std::optional<std::chrono::year_month_day> runsOut;
    std::int64_t daysLeft = 0;
    std::int64_t leftPerDayTenths = 0; // units in tenths, money in ten-thousandths
};
MonthForecast forecastMonth(const MonthPace& pace, const BudgetSettings& budget, std::int64_t budgetUsed);

// "Hochrechnung bis 31.03.2026: etwa 420 Einheiten / 20,41 €.", with a budget
// followed by when it runs out (or that it lasts) and what is left per day.
std::string forecastText(const MonthForecast& forecast, const BudgetSettings& budget, const std::string& currency);

} // namespace zumi
