#pragma once
#include "calls/budget.h"
#include "calls/call_record.h"
#include "calls/month_report.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zumi {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// An entry's colour: from a fixed palette by a hash of its name, so the
// same entry has the same colour in every month and on every toolkit.
Rgb entryColour(const std::string& entry);
// "1.250": whole numbers as German texts write them.
std::string groupedNumber(std::int64_t value);

// How the toolkit measures text, in the same logical units it draws in.
struct ChartFont {
    std::function<double(const std::string& text)> width;
    double lineHeight = 14;
};

struct ChartRect {
    double x = 0, y = 0, w = 0, h = 0;
    bool contains(double px, double py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// The month's chart laid out for a size: what a painter draws, in the
// coordinates it was asked for, and where a pointer hits.
struct ChartPicture {
    struct Segment {
        ChartRect rect;
        Rgb colour;
    };
    struct Bar {
        int day = 0;
        std::vector<Segment> segments; // bottom up, in the legend's order
        std::string tip;               // "10.03.2026: 12 Einheiten (Net1 8, Net2 4)"
    };
    struct Label {
        double x = 0, y = 0; // the text's anchor: ticks right-aligned at x, days centred on x
        std::string text;
    };
    struct Line {
        double x0 = 0, x1 = 0, y = 0;
    };
    struct LegendItem {
        ChartRect swatch, text; // the name elided to text.w when longer
        Rgb colour;
        std::string entry;
    };

    std::string message;            // instead of a chart, when there is nothing to draw
    ChartRect plot;                 // the area of the bars; the value axis on its left
    int dayCount = 0;               // a column of plot.w / dayCount per day
    double dayRow = 0;              // the height of the day numbers under the plot
    std::vector<Label> ticks, days; // a tick's y is also where its grid line runs
    std::vector<Bar> bars;
    std::vector<Line> budget; // the budget's share of each day
    std::optional<ChartRect> today;
    std::vector<LegendItem> legend;

    // The day of the month under a point of the plot or its day labels.
    std::optional<int> dayAt(double x, double y) const;
    const Bar* barOf(int day) const;
    const LegendItem* legendAt(double x, double y) const;
};

// One month's calls summed per day and entry, taken in a page at a time,
// and laid out as a bar per day, in units or, when every entry of the month
// has a price in one currency, in money.
class MonthChart final {
public:
    enum class Measure { Units, Money };

    // Forgets what was added; the prices are those the month's costs are reckoned in.
    void start(std::chrono::year_month month, Prices prices);
    void add(const std::vector<CallRecord>& calls);
    // Takes back what add() counted of a call (the running call before its new unit).
    void remove(const CallRecord& call);

    bool empty() const { return entries_.empty(); }
    // Money can be shown: every entry with calls has a price, all in one currency.
    bool moneyShown() const;
    // The chosen measure; shown as units while money cannot be.
    void choose(Measure measure) { chosen_ = measure; }
    Measure measure() const { return chosen_ == Measure::Money && moneyShown() ? Measure::Money : Measure::Units; }
    // "10.03.2026" for a day of the month.
    std::string dayTitle(int day) const;

    // today: marked when in the month; the budget's daily share is drawn when
    // it counts in the measure shown.
    ChartPicture picture(double width, double height, const ChartFont& font, const BudgetSettings& budget,
                         std::chrono::year_month_day today) const;

private:
    void count(const CallRecord& call, int sign);
    std::int64_t value(const std::string& entry, std::int64_t units) const;
    std::string valueText(std::int64_t value) const;

    std::chrono::year_month month_{};
    Prices prices_;
    Measure chosen_ = Measure::Units;
    // Units per entry, per day (index 0 is the 1st).
    std::map<std::string, std::vector<std::int64_t>> entries_;
};

} // namespace zumi
