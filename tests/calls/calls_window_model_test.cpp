#include "calls/call_recorder.h"
#include "calls/window/calls_window_model.h"
#include "fake_call_store.h"
#include "fake_clock.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

using namespace std::chrono;

CallRecord row(const char* start, std::int64_t units)
{
    return {0, "Net1", start, "", start, "", 60 * units, units, 0, "menu"};
}

void readAll(CallsWindowModel& model)
{
    while (model.readMore()) {}
}

// The month shown, an entry priced in the totals (also one without calls),
// a price refused with a reason, the budget stored, the month exported.
TEST(CallsWindowModel, PricesBudgetAndExport)
{
    test::FakeClock clock(year{2026} / 3 / 20, 36000);
    test::FakeCallStore store;
    for (CallRecord call :
         {row("2026-02-27 10:00:00", 9), row("2026-03-02 10:00:00", 3), row("2026-03-05 10:00:00", 2)})
        store.add(call);
    CallRows calls;
    CallsWindowModel model(store, clock, calls, [] { return std::vector<std::string>{"Net1", "Net2"}; }, {});
    model.showCurrentMonth();
    readAll(model);
    EXPECT_EQ(model.monthTitle(), "M\u00e4rz 2026");
    ASSERT_EQ(calls.size(), 2u);
    ASSERT_EQ(model.totals().size(), 3u); // Net1, Net2 (no calls), Gesamt
    EXPECT_EQ(model.totals()[1].entry, "Net2");
    EXPECT_EQ(model.totals()[2].texts[3], "5");

    EXPECT_EQ(model.setPrice("Net1", "0,12"), "");
    model.refresh();
    readAll(model);
    EXPECT_EQ(store.priceTable.at("Net1"), (UnitPrice{1200, "\xE2\x82\xAC"}));
    EXPECT_EQ(calls.text(0, 6), "0,36 \u20ac");
    EXPECT_EQ(model.totals()[0].texts[4], "0,60 \u20ac");
    EXPECT_EQ(model.totals()[2].texts[4], "0,60 \u20ac") << "Net2 made no calls this month";
    EXPECT_NE(model.setPrice("Net2", "zwei"), "");
    model.refresh();
    readAll(model);
    EXPECT_FALSE(store.priceTable.count("Net2"));
    EXPECT_EQ(model.totals()[1].texts[6], "") << "the refused text is not left standing";

    const BudgetInput budget = parseBudget(2, 27, true, "10,50");
    ASSERT_TRUE(budget.budget);
    EXPECT_EQ(model.saveBudget(*budget.budget), "");
    readAll(model);
    EXPECT_EQ(store.budgetSettings, (BudgetSettings{BudgetSettings::Kind::Money, 105000, 27, true}));
    EXPECT_EQ(model.budgetUse(), "seit 27.02.2026: 1,68 von 10,50 \u20ac");
    EXPECT_NE(parseBudget(1, 27, true, "2,5").error, "") << "a budget in units is whole";
    EXPECT_EQ(model.budgetAmount(), "10,50");

    EXPECT_EQ(model.problem(), "");
    store.failing = true;
    model.showMonth(year{2026} / 2);
    readAll(model);
    EXPECT_NE(model.problem().find("the disk is full"), std::string::npos);
    store.failing = false;
    model.showMonth(year{2026} / 2);
    readAll(model);
    EXPECT_EQ(model.problem(), "");
    EXPECT_EQ(calls.size(), 1u);
    model.showMonth(model.month() + months{1});
    EXPECT_EQ(model.exportName(), "Verbindungen-2026-03.csv");
    std::string csv, problem = "not done";
    model.startExport([&](const std::string& text) { csv += text; }, [&](const std::string& p) { problem = p; });
    readAll(model);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(csv, monthCsv(store.calls(year{2026} / 3), store.priceTable));
}

// A page per pass, the totals once all are in; an export goes on when the
// window lets go of the month.
TEST(CallsWindowModel, ReadsAPageAtATime)
{
    test::FakeClock clock(year{2026} / 3 / 20, 36000);
    test::FakeCallStore store;
    for (int i = 0; i < 4001; ++i) {
        CallRecord call = row("2026-03-02 10:00:00", 1);
        store.add(call);
    }
    CallRows calls;
    int monthsRead = 0;
    CallsWindowModel model(store, clock, calls, {}, {[&] { ++monthsRead; }, {}});
    model.showCurrentMonth();
    EXPECT_TRUE(model.readMore());
    EXPECT_EQ(calls.size(), 4000u);
    EXPECT_TRUE(model.totals().empty());
    EXPECT_FALSE(model.readMore());
    EXPECT_EQ(calls.size(), 4001u);
    EXPECT_EQ(model.totals().back().texts[1], "4001");
    EXPECT_EQ(monthsRead, 1);

    std::string csv;
    bool done = false;
    model.startExport([&](const std::string& text) { csv += text; }, [&](const std::string&) { done = true; });
    model.close();
    EXPECT_EQ(calls.size(), 0u);
    readAll(model);
    EXPECT_TRUE(done);
    EXPECT_EQ(csv, monthCsv(store.calls(year{2026} / 3), {}));
}

// The running call as the call log writes it: its row marked as running and
// the sums, the budget's use and the forecast brought up to date at each unit
// without the month being read again. Told while the month is being read, it
// is not counted twice; one that starts later gets a row of its own.
TEST(CallsWindowModel, TheRunningCallLive)
{
    test::FakeClock clock(year{2026} / 3 / 11, 0);
    test::FakeCallStore store;
    store.budgetSettings = {BudgetSettings::Kind::Units, 100, 1, true};
    CallRecord earlier = row("2026-03-02 10:00:00", 8);
    store.add(earlier);
    CallRows calls;
    int changed = 0;
    CallsWindowModel::Events events;
    events.runningCallChanged = [&] { ++changed; };
    CallsWindowModel model(store, clock, calls, {}, events);
    CallRecorder recorder(clock, store, {}, [&](const CallRecord& call) { model.runningCall(call); });

    model.showCurrentMonth();
    recorder.started("Net1", {});
    readAll(model);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls.text(1, CallRows::kUntilColumn), "l\u00e4uft");
    EXPECT_EQ(model.totals().back().texts[0], "Gesamt (l\u00e4uft)");
    EXPECT_EQ(model.totals().back().texts[3], "9");

    clock.advance(60);
    recorder.unitBegun(2, {});
    EXPECT_EQ(changed, 1);
    EXPECT_FALSE(model.readMore());
    EXPECT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls.text(1, 5), "2");
    EXPECT_EQ(model.totals()[0].texts[0], "Net1 (l\u00e4uft)");
    EXPECT_EQ(model.totals().back().texts[3], "10");
    const ChartFont font{[](const std::string& text) { return 6.0 * static_cast<double>(text.size()); }};
    EXPECT_EQ(model.chartPicture(600, 200, font).bars.back().tip, "11.03.2026: 2 Einheiten (Net1 2)");
    EXPECT_EQ(model.budgetUse(), "seit 01.03.2026: 10 von 100 Einheiten");
    EXPECT_EQ(model.forecast().rfind("Hochrechnung bis 31.03.2026: etwa 31 Einheiten.", 0), 0u) << model.forecast();

    recorder.ended(CallEnd::Menu, {});
    EXPECT_EQ(calls.text(1, CallRows::kUntilColumn), "00:01:00");
    EXPECT_EQ(model.totals().back().texts[0], "Gesamt");
    recorder.started("Net2", {});
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls.entry(2), "Net2");
    EXPECT_EQ(model.totals().back().texts[1], "3");
}

} // namespace
} // namespace zumi
