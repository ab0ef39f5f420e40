#include "calls/window/month_chart.h"

#include "calls/money.h"
#include "calls/time_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <utility>

namespace zumi {
namespace {

unsigned daysIn(std::chrono::year_month month)
{
    return static_cast<unsigned>((month / std::chrono::last).day());
}

// The budget's share of a day: its amount over the days of the billing month that holds it.
double dailyShare(const BudgetSettings& budget, std::chrono::year_month_day day)
{
    using namespace std::chrono;
    const year_month_day from = periodStart(day, budget.billingDay);
    const year_month_day to = (from.year() / from.month() + months{1}) / from.day();
    return static_cast<double>(budget.amount) / static_cast<double>((sys_days(to) - sys_days(from)).count());
}

// The smallest step of 1, 2 or 5 times a power of ten (at least `least`)
// that reaches `top` in at most `count` steps.
std::int64_t tickStep(double top, std::int64_t least, int count)
{
    for (std::int64_t power = least;; power *= 10)
        for (std::int64_t step : {power, 2 * power, 5 * power})
            if (std::ceil(top / static_cast<double>(step)) <= count)
                return step;
}

} // namespace

Rgb entryColour(const std::string& entry)
{
    // Told apart also by most colour-blind eyes.
    static const Rgb kPalette[]
        = {{0x1f, 0x77, 0xb4}, {0xff, 0x7f, 0x0e}, {0x2c, 0xa0, 0x2c}, {0xd6, 0x27, 0x28}, {0x94, 0x67, 0xbd},
           {0x8c, 0x56, 0x4b}, {0xe3, 0x77, 0xc2}, {0x7f, 0x7f, 0x7f}, {0xbc, 0xbd, 0x22}, {0x17, 0xbe, 0xcf}};
    std::uint32_t hash = 2166136261u; // FNV-1a: the same on every platform and in every run
    for (unsigned char c : entry)
        hash = (hash ^ c) * 16777619u;
    return kPalette[hash % std::size(kPalette)];
}

std::string groupedNumber(std::int64_t value)
{
    std::string digits = std::to_string(value < 0 ? -value : value);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ".");
    return value < 0 ? "-" + digits : digits;
}

std::optional<int> ChartPicture::dayAt(double x, double y) const
{
    if (dayCount == 0 || x < plot.x || x >= plot.x + plot.w || y < plot.y || y >= plot.y + plot.h + dayRow)
        return std::nullopt;
    return std::min(dayCount, 1 + static_cast<int>((x - plot.x) / (plot.w / dayCount)));
}

const ChartPicture::Bar* ChartPicture::barOf(int day) const
{
    const auto bar = std::find_if(bars.begin(), bars.end(), [day](const Bar& b) { return b.day == day; });
    return bar == bars.end() ? nullptr : &*bar;
}

const ChartPicture::LegendItem* ChartPicture::legendAt(double x, double y) const
{
    for (const LegendItem& item : legend)
        if (item.swatch.contains(x, y) || item.text.contains(x, y))
            return &item;
    return nullptr;
}

void MonthChart::start(std::chrono::year_month month, Prices prices)
{
    month_ = month;
    prices_ = std::move(prices);
    entries_.clear();
}

void MonthChart::add(const std::vector<CallRecord>& calls)
{
    for (const CallRecord& call : calls)
        count(call, 1);
}

void MonthChart::remove(const CallRecord& call)
{
    count(call, -1);
}

void MonthChart::count(const CallRecord& call, int sign)
{
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%04d-%02u-", static_cast<int>(month_.year()),
                  static_cast<unsigned>(month_.month()));
    // The day on the local calendar the call began: one of 23 or 25 hours counts as any other.
    if (call.startLocal.size() < 10 || call.startLocal.compare(0, 8, prefix) != 0)
        return;
    const unsigned days = daysIn(month_);
    const unsigned day = static_cast<unsigned>((call.startLocal[8] - '0') * 10 + (call.startLocal[9] - '0'));
    if (day < 1 || day > days)
        return;
    std::vector<std::int64_t>& units = entries_[call.entry];
    units.resize(days);
    units[day - 1] += sign * call.units;
}

bool MonthChart::moneyShown() const
{
    const std::string* currency = nullptr;
    for (const auto& [entry, units] : entries_) {
        const auto price = prices_.find(entry);
        if (price == prices_.end() || (currency && *currency != price->second.currency))
            return false;
        currency = &price->second.currency;
    }
    return currency != nullptr;
}

std::string MonthChart::dayTitle(int day) const
{
    return germanDate(localStamp({month_ / std::chrono::day{static_cast<unsigned>(day)}, 0}));
}

std::int64_t MonthChart::value(const std::string& entry, std::int64_t units) const
{
    return measure() == Measure::Money ? units * prices_.at(entry).tenThousandths : units;
}

std::string MonthChart::valueText(std::int64_t value) const
{
    if (measure() == Measure::Money)
        return moneyText(value) + " " + prices_.at(entries_.begin()->first).currency;
    return groupedNumber(value);
}

ChartPicture MonthChart::picture(double width, double height, const ChartFont& font, const BudgetSettings& budget,
                                 std::chrono::year_month_day today) const
{
    ChartPicture p;
    if (empty()) {
        p.message = "Keine Verbindungen in diesem Monat";
        return p;
    }
    const double pad = 4, line = font.lineHeight;
    const int days = static_cast<int>(daysIn(month_));
    const bool money = measure() == Measure::Money;

    // The legend in rows along the bottom; a long name gets at most a quarter of the width.
    int rows = 1;
    for (double x = pad; const auto& [entry, units] : entries_) {
        ChartPicture::LegendItem item;
        item.entry = entry;
        item.colour = entryColour(entry);
        const double text = std::min(font.width(entry), std::max(line * 4, width / 4));
        if (x > pad && x + line + text > width - pad) {
            x = pad;
            ++rows;
        }
        item.swatch = {x, (rows - 1) * line + line * 0.15, line * 0.7, line * 0.7};
        item.text = {x + line, (rows - 1) * line, text, line};
        x += line + text + line;
        p.legend.push_back(item);
    }
    const double legendTop = height - pad - rows * line;
    for (ChartPicture::LegendItem& item : p.legend) {
        item.swatch.y += legendTop;
        item.text.y += legendTop;
    }

    std::vector<std::int64_t> sums(static_cast<std::size_t>(days));
    for (const auto& [entry, units] : entries_)
        for (int d = 0; d < days; ++d)
            sums[static_cast<std::size_t>(d)] += value(entry, units[static_cast<std::size_t>(d)]);
    std::vector<double> shares;
    if (budget.kind == (money ? BudgetSettings::Kind::Money : BudgetSettings::Kind::Units))
        for (int d = 1; d <= days; ++d)
            shares.push_back(dailyShare(budget, month_ / std::chrono::day{static_cast<unsigned>(d)}));
    const double most = std::max(static_cast<double>(*std::max_element(sums.begin(), sums.end())),
                                 shares.empty() ? 0.0 : *std::max_element(shares.begin(), shares.end()));

    const double top = pad + line / 2, bottom = std::max(top + 1, legendTop - line / 2 - line);
    const std::int64_t step
        = tickStep(std::max(most, 1.0), money ? 100 : 1, std::max(2, int((bottom - top) / (line * 1.5))));
    const auto steps
        = std::max<std::int64_t>(1, static_cast<std::int64_t>(std::ceil(most / static_cast<double>(step))));
    const auto yOf = [&](double v) { return bottom - v / static_cast<double>(steps * step) * (bottom - top); };
    double labels = 0;
    for (std::int64_t k = 0; k <= steps; ++k) {
        p.ticks.push_back({0, yOf(static_cast<double>(k * step)), valueText(k * step)});
        labels = std::max(labels, font.width(p.ticks.back().text));
    }
    p.plot = {pad + labels + line / 2, top, std::max(1.0, width - pad - (pad + labels + line / 2)), bottom - top};
    for (ChartPicture::Label& tick : p.ticks)
        tick.x = p.plot.x - line / 4;
    p.dayCount = days;
    p.dayRow = line;
    const double slot = p.plot.w / days, bar = std::max(1.0, slot * 0.7);

    // A day's number where it fits: every day, or the 1st and every 2nd, 5th, ... day.
    int every = 1;
    for (int n : {1, 2, 5, 10, 15})
        if ((every = n) * slot >= font.width("30") + line / 2)
            break;
    for (int d = 1; d <= days; ++d) {
        const double x = p.plot.x + (d - 1) * slot;
        if (d == 1 || d % every == 0)
            p.days.push_back({x + slot / 2, bottom + line / 2, std::to_string(d)});
        if (today.year() / today.month() == month_ && static_cast<unsigned>(today.day()) == static_cast<unsigned>(d))
            p.today = ChartRect{x, top, slot, bottom - top};
        if (!shares.empty()) {
            const double y = yOf(shares[static_cast<std::size_t>(d - 1)]);
            if (!p.budget.empty() && p.budget.back().y == y)
                p.budget.back().x1 = x + slot;
            else
                p.budget.push_back({x, x + slot, y});
        }
        const auto i = static_cast<std::size_t>(d - 1);
        if (sums[i] == 0)
            continue;
        ChartPicture::Bar b;
        b.day = d;
        std::string parts;
        std::int64_t below = 0;
        for (const auto& [entry, units] : entries_) {
            const std::int64_t v = value(entry, units[i]);
            if (v == 0)
                continue;
            const double y0 = yOf(static_cast<double>(below)), y1 = yOf(static_cast<double>(below + v));
            b.segments.push_back({{x + (slot - bar) / 2, y1, bar, y0 - y1}, entryColour(entry)});
            below += v;
            parts += (parts.empty() ? "" : ", ") + entry + " " + valueText(v);
        }
        b.tip = dayTitle(d) + ": " + valueText(sums[i])
            + (money              ? ""
                   : sums[i] == 1 ? " Einheit"
                                  : " Einheiten")
            + " (" + parts + ")";
        p.bars.push_back(std::move(b));
    }
    return p;
}

} // namespace zumi
