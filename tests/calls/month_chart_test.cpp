#include "calls/window/month_chart.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

using namespace std::chrono;

CallRecord call(const char* entry, const char* start, std::int64_t units)
{
    return {0, entry, start, "", start, "", 60 * units, units, 0, "menu"};
}

const ChartFont kFont{[](const std::string& text) { return 7.0 * static_cast<double>(text.size()); }, 14};
const Prices kPrices{{"Net1", {1200, "\xE2\x82\xAC"}}, {"Net2", {500, "\xE2\x82\xAC"}}};

std::vector<std::string> labels(const std::vector<ChartPicture::Label>& all)
{
    std::vector<std::string> texts;
    for (const ChartPicture::Label& label : all)
        texts.push_back(label.text);
    return texts;
}

// Two priced entries: a bar per day with calls, split per entry in its own
// colour, in units or in money; the budget's share and today marked.
TEST(MonthChart, TwoPricedEntriesInUnitsAndMoney)
{
    MonthChart chart;
    chart.start(year{2026} / 3, kPrices);
    chart.add({call("Net2", "2026-03-02 11:00:00", 4), call("Net1", "2026-03-02 10:00:00", 3),
               call("Net1", "2026-03-05 10:00:00", 16), call("Net1", "2026-04-01 10:00:00", 9)});
    const BudgetSettings budget{BudgetSettings::Kind::Money, 310000, 1, true};
    ChartPicture p = chart.picture(600, 300, kFont, budget, year{2026} / 3 / 5);
    ASSERT_EQ(p.bars.size(), 2u);
    EXPECT_EQ(p.bars[0].tip, "02.03.2026: 7 Einheiten (Net1 3, Net2 4)");
    ASSERT_EQ(p.bars[0].segments.size(), 2u);
    EXPECT_EQ(p.bars[0].segments[1].colour, entryColour("Net2"));
    EXPECT_DOUBLE_EQ(p.bars[0].segments[0].rect.h * 4, p.bars[0].segments[1].rect.h * 3);
    EXPECT_DOUBLE_EQ(p.bars[0].segments[1].rect.y + p.bars[0].segments[1].rect.h, p.bars[0].segments[0].rect.y);
    EXPECT_DOUBLE_EQ(p.bars[1].segments[0].rect.y + p.bars[1].segments[0].rect.h, p.plot.y + p.plot.h);
    EXPECT_EQ(labels(p.ticks), (std::vector<std::string>{"0", "2", "4", "6", "8", "10", "12", "14", "16"}));
    EXPECT_TRUE(p.budget.empty()) << "a budget in money is no line over units";
    ASSERT_TRUE(p.today);
    EXPECT_DOUBLE_EQ(p.today->x, p.plot.x + 4 * p.plot.w / 31);
    ASSERT_EQ(p.legend.size(), 2u);
    EXPECT_EQ(p.legend[1].entry, "Net2");
    EXPECT_NE(entryColour("Net1"), entryColour("Net2"));

    chart.choose(MonthChart::Measure::Money);
    p = chart.picture(600, 300, kFont, budget, year{2026} / 4 / 1);
    EXPECT_EQ(p.bars[0].tip, "02.03.2026: 0,56 \u20ac (Net1 0,36 \u20ac, Net2 0,20 \u20ac)");
    EXPECT_EQ(p.ticks.back().text, "2,00 \u20ac");
    ASSERT_EQ(p.budget.size(), 1u) << "1,00 \u20ac a day all month";
    EXPECT_DOUBLE_EQ(p.budget[0].y, p.plot.y + p.plot.h / 2);
    EXPECT_DOUBLE_EQ(p.budget[0].x1 - p.budget[0].x0, p.plot.w);
    EXPECT_FALSE(p.today);
}

// An entry without a price, or two currencies: the month counts in units.
TEST(MonthChart, MoneyOnlyWhenEveryEntryHasAPriceInOneCurrency)
{
    MonthChart chart;
    chart.choose(MonthChart::Measure::Money);
    chart.start(year{2026} / 3, {});
    EXPECT_EQ(chart.picture(600, 300, kFont, {}, year{2026} / 3 / 5).message, "Keine Verbindungen in diesem Monat");
    for (const Prices& prices :
         {Prices{{"Net1", {1200, "\xE2\x82\xAC"}}}, Prices{{"Net1", {1200, "DM"}}, {"Net2", {500, "\xE2\x82\xAC"}}}}) {
        chart.start(year{2026} / 3, prices);
        chart.add({call("Net1", "2026-03-02 10:00:00", 1234), call("Net2", "2026-03-03 10:00:00", 1)});
        EXPECT_FALSE(chart.moneyShown());
        EXPECT_EQ(chart.measure(), MonthChart::Measure::Units);
        EXPECT_EQ(chart.picture(600, 300, kFont, {}, {}).ticks.back().text, "1.400");
    }
    EXPECT_EQ(groupedNumber(1234567), "1.234.567");
}

// Days are those of the local calendar, the 25-hour day and the 23-hour one
// alike; a billing month from the 15th shares its budget over its own days.
TEST(MonthChart, DaysAcrossDaylightSavingAndABillingDay)
{
    MonthChart chart;
    chart.start(year{2026} / 10, {});
    chart.add({call("Net1", "2026-10-25 02:30:00", 1), call("Net1", "2026-10-25 02:30:00", 1),
               call("Net1", "2026-10-25 23:59:00", 1), call("Net1", "2026-10-26 00:00:00", 1)});
    ChartPicture p = chart.picture(600, 300, kFont, {}, {});
    ASSERT_EQ(p.bars.size(), 2u);
    EXPECT_EQ(p.bars[0].day, 25);
    EXPECT_EQ(p.bars[0].tip, "25.10.2026: 3 Einheiten (Net1 3)");

    chart.start(year{2026} / 3, {});
    chart.add({call("Net1", "2026-03-29 03:30:00", 2)});
    p = chart.picture(900, 300, kFont, {BudgetSettings::Kind::Units, 31 * 28, 15, true}, {});
    EXPECT_EQ(p.bars[0].day, 29);
    ASSERT_EQ(p.budget.size(), 2u) << "28 days from 15 February, 31 from 15 March";
    EXPECT_DOUBLE_EQ(p.budget[0].x1, p.plot.x + 14 * p.plot.w / 31);
    const double bottom = p.plot.y + p.plot.h;
    EXPECT_DOUBLE_EQ((bottom - p.budget[0].y) * 28, (bottom - p.budget[1].y) * 31);

    // A point is the day of its column, on the bars or on the day numbers.
    const double slot = p.plot.w / 31;
    for (int d = 1; d <= 31; ++d)
        EXPECT_EQ(p.dayAt(p.plot.x + (d - 0.5) * slot, p.plot.y + p.plot.h + 2), d);
    EXPECT_FALSE(p.dayAt(p.plot.x - 1, p.plot.y + 5));
    EXPECT_FALSE(p.dayAt(p.plot.x + 1, p.plot.y + p.plot.h + p.dayRow + 1));
    EXPECT_EQ(labels(p.days).size(), 31u);
    EXPECT_EQ(labels(chart.picture(200, 300, kFont, {}, {}).days),
              (std::vector<std::string>{"1", "5", "10", "15", "20", "25", "30"}));
}

// A long name takes a quarter of the width at most, the rest elided.
TEST(MonthChart, ALongNameInTheLegendIsCutShort)
{
    MonthChart chart;
    chart.start(year{2026} / 3, {});
    chart.add({call(std::string(200, 'N').c_str(), "2026-03-02 10:00:00", 1), call("Net1", "2026-03-02 10:00:00", 1)});
    const ChartPicture p = chart.picture(800, 300, kFont, {}, {});
    EXPECT_DOUBLE_EQ(p.legend[0].text.w, 200);
    EXPECT_EQ(p.legend[0].entry.size(), 200u);
    EXPECT_EQ(p.legendAt(p.legend[1].text.x + 1, p.legend[1].text.y + 1), &p.legend[1]);
}

} // namespace
} // namespace zumi
