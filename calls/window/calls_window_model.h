#pragma once
#include "calls/budget.h"
#include "calls/call_store.h"
#include "calls/month_report.h"
#include "calls/window/call_rows.h"
#include "calls/window/month_chart.h"
#include "calls/window/live_sums.h"
#include "calls/window/paged_call_read.h"
#include "platform/clock.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zumi {

// A row of the month's totals: entry, calls, duration, units, cost, bytes and
// the unit price, as shown.
struct TotalsRow {
    std::string entry; // whose price the last column is
    std::array<std::string, 7> texts;
    bool overall = false; // the last row: no price of its own
};

// A budget as typed; nullopt and why when it is none. kind: 0 none, 1 units, 2 money.
struct BudgetInput {
    std::optional<BudgetSettings> budget;
    std::string error;
};
BudgetInput parseBudget(int kind, int billingDay, bool cutOff, const std::string& amount);

// What the "Verbindungen" window shows and decides: the month shown, its
// calls (into the table it is given), the totals per entry and overall with
// each entry's unit price, the budget and its use, and the month as CSV. The
// calls are read a page per readMore(): the view calls it at once, then once
// a pass of its event loop for as long as it says more is to come.
class CallsWindowModel final {
public:
    using Phonebook = std::function<std::vector<std::string>()>; // entries that may get a price
    struct Events {
        std::function<void()> monthRead;  // totals() and problem() are final
        std::function<void()> budgetRead; // budgetUse() is known
        // The running call's row (in the table as it is read), totals() and
        // budgetUse() changed in place; the month was not read again.
        std::function<void()> runningCallChanged = {};
        std::function<void()> forecastChanged = {}; // forecast() is new
    };

    CallsWindowModel(CallStore& store, const Clock& clock, CallTable& calls, Phonebook phonebook, Events events);

    void showCurrentMonth();
    void showMonth(std::chrono::year_month month);
    // The shown month read again, with the prices and the budget.
    void refresh();
    std::chrono::year_month month() const { return month_; }
    std::string monthTitle() const; // "März 2026"
    // Why the log cannot be read, as shown; "" when it can.
    std::string problem() const;
    // Empty while the month is being read.
    const std::vector<TotalsRow>& totals() const { return totals_; }

    // A price typed for an entry; "" when taken, else why not. Either way
    // the month is to be shown again so the typed text does not stand.
    std::string setPrice(const std::string& entry, const std::string& text);

    const BudgetSettings& budget() const { return budget_; }
    std::string budgetAmount() const; // as typed: "100", "20,00"; "" without a budget
    const std::string& budgetUse() const { return budgetUse_; }
    // Stored, and its use read again; "" when stored, else why not.
    std::string saveBudget(const BudgetSettings& budget);

    std::string exportName() const; // "Verbindungen-2026-03.csv"
    // The shown month as CSV, handed on in pieces; goes on after close().
    void startExport(std::function<void(const std::string& text)> write, PagedCallRead::Done done);

    // The shown month's chart, taken in with its calls; the measure is chosen on it.
    MonthChart& chart() { return chart_; }
    const MonthChart& chart() const { return chart_; }
    // The chart laid out for a size, with the budget and today's mark.
    ChartPicture chartPicture(double width, double height, const ChartFont& font) const;

    // A page of each read under way; true while pages remain.
    bool readMore();
    // Lets go of the month.
    void close();

    // The call being metered, at its start, at each unit and at its end. Its
    // row and the sums are brought up to date in place, once the month is in.
    void runningCall(const CallRecord& call);
    // Where the billing month is heading (the calendar month without a
    // budget, then only while it is shown); "" while not known.
    const std::string& forecast() const { return forecast_; }

private:
    void monthDone(const std::string& problem);
    void refreshBudget();
    void budgetDone(const std::string& problem);
    bool takeRunning();
    void makeTotals();
    void makeBudgetUse();
    void makeForecast();
    void setForecast(const std::string& text);

    CallStore& store_;
    const Clock& clock_;
    CallTable& calls_;
    Phonebook phonebook_;
    Events events_;
    std::chrono::year_month month_;
    std::string problem_;
    Prices prices_;
    LiveSums monthSums_;
    std::vector<TotalsRow> totals_;
    BudgetSettings budget_;
    std::string budgetUse_;
    std::chrono::year_month_day budgetFrom_{};
    LiveSums periodSums_; // of the budget's billing month
    bool periodInMonth_ = false; // the same calls as the month: summed from its read
    std::optional<CallRecord> running_;
    std::string forecast_;
    PagedCallRead monthRead_;
    PagedCallRead budgetRead_;
    PagedCallRead exportRead_;
    MonthChart chart_;
};

} // namespace zumi
