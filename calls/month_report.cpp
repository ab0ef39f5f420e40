#include "calls/month_report.h"

#include "calls/money.h"
#include "calls/time_text.h"

#include <string_view>

namespace zumi {
namespace {

std::optional<UnitPrice> priceOf(const std::string& entry, const Prices& prices)
{
    const auto it = prices.find(entry);
    if (it == prices.end())
        return std::nullopt;
    return it->second;
}

// A field with the separator, a quote or a line break is quoted, its quotes
// doubled. One that a spreadsheet would run as a formula (a name beginning
// with "=", "+", "-" or "@") gets a leading apostrophe, as spreadsheets expect;
// the numbers of the export are never negative, so none is touched.
std::string csvField(const std::string& field)
{
    const bool formula = !field.empty() && std::string_view("=+-@\t\r").find(field.front()) != std::string_view::npos;
    const std::string text = formula ? "'" + field : field;
    if (text.find_first_of(";\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

} // namespace

CallLine callLine(const CallRecord& call, const Prices& prices)
{
    CallLine line;
    line.date = germanDate(call.startLocal);
    line.entry = call.entry;
    line.from = clockTime(call.startLocal);
    line.until = clockTime(call.endLocal);
    line.duration = durationText(call.onlineSeconds);
    line.units = std::to_string(call.units);
    if (const auto price = priceOf(call.entry, prices)) {
        line.cost = moneyText(call.units * price->tenThousandths);
        line.currency = price->currency;
    }
    line.bytes = std::to_string(call.bytes);
    return line;
}

std::vector<MonthTotal> monthTotals(const std::vector<CallRecord>& calls, const Prices& prices)
{
    MonthSums sums;
    for (const CallRecord& call : calls)
        sums.add(call);
    return sums.totals(prices);
}

void MonthSums::add(const CallRecord& call)
{
    count(call, 1);
}

void MonthSums::remove(const CallRecord& call)
{
    if (byEntry_.count(call.entry))
        count(call, -1);
}

void MonthSums::count(const CallRecord& call, std::int64_t sign)
{
    MonthTotal& t = byEntry_[call.entry];
    t.entry = call.entry;
    for (MonthTotal* sum : {&t, &all_}) {
        sum->calls += sign;
        sum->seconds += sign * call.onlineSeconds;
        sum->units += sign * call.units;
        sum->bytes += sign * call.bytes;
    }
    // An entry whose calls were all taken back is not listed.
    if (t.calls == 0)
        byEntry_.erase(call.entry);
}

std::vector<MonthTotal> MonthSums::totals(const Prices& prices) const
{
    std::vector<MonthTotal> result;
    MonthTotal all = all_;
    bool allPriced = true;
    std::int64_t cost = 0;
    for (auto [entry, total] : byEntry_) {
        if (const auto price = priceOf(entry, prices)) {
            total.cost = total.units * price->tenThousandths;
            total.currency = price->currency;
            if (all.currency.empty())
                all.currency = price->currency;
            else if (all.currency != price->currency)
                allPriced = false;
            cost += *total.cost;
        } else {
            allPriced = false;
        }
        result.push_back(total);
    }
    // An overall sum that leaves out unpriced calls would read as the month's cost.
    if (allPriced && all.calls > 0)
        all.cost = cost;
    else
        all.currency.clear();
    result.push_back(all);
    return result;
}

std::string monthCsv(const std::vector<CallRecord>& calls, const Prices& prices)
{
    std::string csv = "\xEF\xBB\xBF"
                      "Datum;Eintrag;Von;Bis;Dauer;Einheiten;Kosten;W\xC3\xA4hrung;Bytes\r\n";
    for (const CallRecord& call : calls) {
        const CallLine l = callLine(call, prices);
        for (const std::string* field :
             {&l.date, &l.entry, &l.from, &l.until, &l.duration, &l.units, &l.cost, &l.currency}) {
            csv += csvField(*field);
            csv += ';';
        }
        csv += l.bytes + "\r\n";
    }
    return csv;
}

} // namespace zumi
