#include "calls/window/calls_window_model.h"

#include "calls/money.h"
#include "calls/month_forecast.h"
#include "calls/time_text.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <utility>

namespace zumi {
namespace {

// Rows read in one page: a few milliseconds' worth.
constexpr std::size_t kPageSize = 4000;

std::string monthStart(std::chrono::year_month month)
{
    return localStamp({month / std::chrono::day{1}, 0});
}

std::string costText(const std::optional<std::int64_t>& cost, const std::string& currency)
{
    return cost ? moneyText(*cost) + " " + currency : std::string{};
}

std::chrono::year_month monthOf(const std::chrono::year_month_day& day)
{
    return day.year() / day.month();
}

// What the entries' totals (the overall one last) spent of the budget.
std::int64_t spentOf(const BudgetSettings& budget, const std::vector<MonthTotal>& totals, const Prices& prices)
{
    std::int64_t used = 0;
    for (std::size_t i = 0; i + 1 < totals.size(); ++i)
        used += unitsCost(budget, totals[i].entry, totals[i].units, prices);
    return used;
}

} // namespace

CallsWindowModel::CallsWindowModel(CallStore& store, const Clock& clock, CallTable& calls, Phonebook phonebook,
                                   Events events)
    : store_(store)
    , clock_(clock)
    , calls_(calls)
    , phonebook_(std::move(phonebook))
    , events_(std::move(events))
    , month_(monthOf(clock.localNow().date))
    , monthRead_(store, kPageSize)
    , budgetRead_(store, kPageSize)
    , exportRead_(store, kPageSize)
{
}

void CallsWindowModel::showCurrentMonth()
{
    showMonth(monthOf(clock_.localNow().date));
}

void CallsWindowModel::showMonth(std::chrono::year_month month)
{
    month_ = month;
    refresh();
}

void CallsWindowModel::refresh()
{
    prices_ = store_.prices();
    problem_ = store_.problem();
    calls_.clear();
    calls_.setPrices(prices_);
    totals_.clear();
    chart_.start(month_, prices_);
    setForecast({});
    monthSums_.start(monthStart(month_), monthStart(month_ + std::chrono::months{1}));
    monthRead_.start(
        monthStart(month_), monthStart(month_ + std::chrono::months{1}),
        [this](const std::vector<CallRecord>& page) {
            calls_.append(page);
            chart_.add(page);
            for (const CallRecord& call : page)
                monthSums_.read(call);
            if (periodInMonth_)
                for (const CallRecord& call : page)
                    periodSums_.read(call);
        },
        [this](const std::string& problem) { monthDone(problem); });
    refreshBudget();
}

std::string CallsWindowModel::monthTitle() const
{
    static const char* const kNames[12] = {"Januar", "Februar", "M\xC3\xA4rz", "April",   "Mai",      "Juni",
                                           "Juli",   "August",  "September",   "Oktober", "November", "Dezember"};
    const unsigned m = static_cast<unsigned>(month_.month());
    return std::string(kNames[(m >= 1 && m <= 12 ? m : 1) - 1]) + " " + std::to_string(static_cast<int>(month_.year()));
}

std::string CallsWindowModel::problem() const
{
    return problem_.empty() ? std::string{} : "Das Verbindungsprotokoll kann nicht gelesen werden: " + problem_;
}

void CallsWindowModel::monthDone(const std::string& problem)
{
    if (!problem.empty())
        problem_ = problem;
    monthSums_.finish();
    takeRunning();
    makeTotals();
    if (events_.monthRead)
        events_.monthRead();
    if (std::exchange(periodInMonth_, false))
        return budgetDone(problem);
    makeForecast();
}

void CallsWindowModel::makeTotals()
{
    const bool running = running_ && running_->endedBy.empty() && callMonth(*running_) == month_;
    // Every phonebook entry can be given a price, also before its first call.
    std::vector<MonthTotal> totals = monthSums_.sums().totals(prices_);
    MonthTotal overall = totals.back();
    totals.pop_back();
    std::set<std::string> listed;
    for (const MonthTotal& t : totals)
        listed.insert(t.entry);
    for (const std::string& entry : phonebook_ ? phonebook_() : std::vector<std::string>{})
        if (listed.insert(entry).second) {
            MonthTotal none;
            none.entry = entry;
            totals.push_back(none);
        }
    std::sort(totals.begin(), totals.end(), [](const auto& a, const auto& b) { return a.entry < b.entry; });
    overall.entry = "Gesamt";
    totals.push_back(overall);

    totals_.clear();
    for (const MonthTotal& t : totals) {
        TotalsRow row;
        row.entry = t.entry;
        row.overall = totals_.size() + 1 == totals.size();
        const auto price = prices_.find(t.entry);
        row.texts = {t.entry,
                     std::to_string(t.calls),
                     durationText(t.seconds),
                     std::to_string(t.units),
                     costText(t.cost, t.currency),
                     std::to_string(t.bytes),
                     !row.overall && price != prices_.end() ? priceText(price->second) : ""};
        if (running && (row.overall || t.entry == running_->entry))
            row.texts[0] += " (l\xC3\xA4uft)";
        totals_.push_back(std::move(row));
    }
}

std::string CallsWindowModel::setPrice(const std::string& entry, const std::string& text)
{
    const PriceInput input = parsePrice(text);
    if (!input.ok)
        return input.error;
    if (!store_.setPrice(entry, input.price))
        return "Der Preis kann nicht gespeichert werden: " + store_.problem();
    return {};
}

std::string CallsWindowModel::budgetAmount() const
{
    return budget_.kind == BudgetSettings::Kind::Money ? moneyText(budget_.amount)
        : budget_.kind == BudgetSettings::Kind::Units  ? std::to_string(budget_.amount)
                                                       : std::string{};
}

void CallsWindowModel::refreshBudget()
{
    budget_ = store_.budget();
    budgetUse_.clear();
    budgetRead_.stop();
    periodSums_.stop();
    periodInMonth_ = false;
    if (budget_.kind == BudgetSettings::Kind::None)
        return makeForecast();
    const auto from = periodStart(clock_.localNow().date, budget_.billingDay);
    const auto to = (from.year() / from.month() + std::chrono::months{1}) / from.day();
    budgetFrom_ = from;
    periodSums_.start(localStamp({from, 0}), localStamp({to, 0}));
    // The billing month shown from its start: one read of it is enough.
    periodInMonth_ = monthRead_.busy() && from.day() == std::chrono::day{1} && monthOf(from) == month_;
    if (periodInMonth_)
        return;
    budgetRead_.start(
        localStamp({from, 0}), localStamp({to, 0}),
        [this](const std::vector<CallRecord>& page) {
            for (const CallRecord& call : page)
                periodSums_.read(call);
        },
        [this](const std::string& problem) { budgetDone(problem); });
}

void CallsWindowModel::budgetDone(const std::string& problem)
{
    // What only part of the calls add up to is not shown as the use.
    if (problem.empty()) {
        periodSums_.finish();
        takeRunning();
        makeBudgetUse();
    } else {
        periodSums_.stop();
    }
    if (events_.budgetRead)
        events_.budgetRead();
    makeForecast();
}

void CallsWindowModel::makeBudgetUse()
{
    const std::int64_t used = spentOf(budget_, periodSums_.sums().totals(prices_), prices_);
    budgetUse_ = "seit " + germanDate(localStamp({budgetFrom_, 0})) + ": " + budgetUseText(budget_, used, prices_);
}

void CallsWindowModel::runningCall(const CallRecord& call)
{
    running_ = call;
    if (!takeRunning())
        return;
    if (monthSums_.done())
        makeTotals();
    if (periodSums_.done())
        makeBudgetUse();
    if (events_.runningCallChanged)
        events_.runningCallChanged();
    makeForecast();
}

// True when the shown month or the billing month holds the call.
bool CallsWindowModel::takeRunning()
{
    if (!running_)
        return false;
    const auto place = monthSums_.take(*running_);
    if (place) {
        if (place->added)
            calls_.append({*running_});
        calls_.update(place->row, *running_, running_->endedBy.empty());
        // The day's bar grows with the call's units.
        if (place->before)
            chart_.remove(*place->before);
        chart_.add({*running_});
    }
    return periodSums_.take(*running_).has_value() || place.has_value();
}

void CallsWindowModel::makeForecast()
{
    const LocalDateTime now = clock_.localNow();
    const bool byBudget = budget_.kind != BudgetSettings::Kind::None;
    const LiveSums& sums = byBudget ? periodSums_ : monthSums_;
    std::string forecast;
    if (sums.done() && (byBudget || month_ == monthOf(now.date))) {
        const std::vector<MonthTotal> totals = sums.sums().totals(prices_);
        const std::int64_t used = spentOf(budget_, totals, prices_);
        const MonthTotal& all = totals.back();
        const MonthPace pace{byBudget ? budgetFrom_ : month_ / std::chrono::day{1}, now, all.units, all.cost,
                             all.currency};
        const std::string currency = prices_.empty() ? "\xE2\x82\xAC" : prices_.begin()->second.currency;
        forecast = forecastText(forecastMonth(pace, budget_, used), budget_,
                                all.currency.empty() ? currency : all.currency);
    }
    setForecast(forecast);
}

void CallsWindowModel::setForecast(const std::string& text)
{
    if (text == forecast_)
        return;
    forecast_ = text;
    if (events_.forecastChanged)
        events_.forecastChanged();
}

BudgetInput parseBudget(int kind, int billingDay, bool cutOff, const std::string& amount)
{
    BudgetSettings budget;
    budget.kind = static_cast<BudgetSettings::Kind>(std::clamp(kind, 0, 2));
    budget.billingDay = billingDay;
    budget.cutOff = cutOff;
    if (budget.kind == BudgetSettings::Kind::Units) {
        const PriceInput units = parsePrice(amount);
        if (!units.ok || !units.price || units.price->tenThousandths % 10000 != 0 || units.price->tenThousandths == 0)
            return {std::nullopt,
                    "Das Budget in Einheiten ist eine ganze Zahl gr\xC3\xB6\xC3\x9F"
                    "er als 0, etwa 100."};
        budget.amount = units.price->tenThousandths / 10000;
    } else if (budget.kind == BudgetSettings::Kind::Money) {
        const PriceInput money = parsePrice(amount);
        if (!money.ok || !money.price || money.price->tenThousandths == 0)
            return {std::nullopt,
                    "Das Budget in Geld ist ein Betrag gr\xC3\xB6\xC3\x9F"
                    "er als 0, etwa 20,00."};
        budget.amount = money.price->tenThousandths;
    }
    return {budget, {}};
}

std::string CallsWindowModel::saveBudget(const BudgetSettings& budget)
{
    std::string refused;
    if (!store_.setBudget(budget))
        refused = "Das Budget kann nicht gespeichert werden: " + store_.problem();
    refreshBudget();
    return refused;
}

std::string CallsWindowModel::exportName() const
{
    char name[32];
    std::snprintf(name, sizeof name, "Verbindungen-%04d-%02u.csv", static_cast<int>(month_.year()),
                  static_cast<unsigned>(month_.month()));
    return name;
}

void CallsWindowModel::startExport(std::function<void(const std::string& text)> write, PagedCallRead::Done done)
{
    // A page's lines are what follows the header.
    const Prices prices = store_.prices();
    const std::string header = monthCsv({}, prices);
    write(header);
    exportRead_.start(
        monthStart(month_), monthStart(month_ + std::chrono::months{1}),
        [write, prices, skip = header.size()](const std::vector<CallRecord>& page) {
            write(monthCsv(page, prices).substr(skip));
        },
        std::move(done));
}

ChartPicture CallsWindowModel::chartPicture(double width, double height, const ChartFont& font) const
{
    ChartPicture picture = chart_.picture(width, height, font, budget_, clock_.localNow().date);
    // A log that cannot be read is no month without calls.
    if (chart_.empty() && !problem_.empty())
        picture.message = "Das Diagramm fehlt, solange das Protokoll nicht gelesen werden kann.";
    return picture;
}

bool CallsWindowModel::readMore()
{
    bool more = false;
    for (PagedCallRead* read : {&monthRead_, &budgetRead_, &exportRead_})
        more = read->next() || more;
    return more;
}

void CallsWindowModel::close()
{
    monthRead_.stop();
    budgetRead_.stop();
    calls_.clear();
    monthSums_.stop();
    periodSums_.stop();
    periodInMonth_ = false;
    totals_.clear();
    chart_.start(month_, {});
    setForecast({});
}

} // namespace zumi
