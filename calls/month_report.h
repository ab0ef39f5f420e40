#pragma once
#include "calls/call_record.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zumi {

using Prices = std::map<std::string, UnitPrice>;

// One call as the window and the export show it.
struct CallLine {
    std::string date, entry, from, until, duration, units, cost, currency, bytes;
};
CallLine callLine(const CallRecord& call, const Prices& prices);

// The calls of one entry in a month, or of all entries (entry empty).
struct MonthTotal {
    std::string entry;
    std::int64_t calls = 0, seconds = 0, units = 0, bytes = 0;
    // Units × price; nullopt when an entry has no price, or (overall) when the
    // priced entries count in different currencies.
    std::optional<std::int64_t> cost;
    std::string currency;
};
// Per entry in name order, then the overall total last.
std::vector<MonthTotal> monthTotals(const std::vector<CallRecord>& calls, const Prices& prices);

// The same totals summed a call at a time, for a month read in pages.
class MonthSums {
public:
    void add(const CallRecord& call);
    // Takes back a call added before (a running call's earlier state).
    void remove(const CallRecord& call);
    std::vector<MonthTotal> totals(const Prices& prices) const;

private:
    void count(const CallRecord& call, std::int64_t sign);
    std::map<std::string, MonthTotal> byEntry_;
    MonthTotal all_;
};

// The month as a German spreadsheet opens it: UTF-8 with a byte order mark,
// ";" between fields, decimal comma, CR LF after each line; no cell runs as a formula.
std::string monthCsv(const std::vector<CallRecord>& calls, const Prices& prices);

} // namespace zumi
