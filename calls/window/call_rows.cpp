#include "calls/window/call_rows.h"

#include <algorithm>

namespace zumi {

void CallRows::clear()
{
    std::deque<Row>().swap(rows_);
    std::vector<std::string>().swap(entries_);
    std::unordered_map<std::string, std::uint32_t>().swap(entryIndex_);
}

void CallRows::append(const std::vector<CallRecord>& calls)
{
    for (const CallRecord& call : calls)
        rows_.push_back(makeRow(call));
}

void CallRows::update(std::size_t row, const CallRecord& call, bool running)
{
    if (row >= rows_.size())
        return;
    rows_[row] = makeRow(call);
    rows_[row].running = running;
}

CallRows::Row CallRows::makeRow(const CallRecord& call)
{
    const auto [known, added] = entryIndex_.try_emplace(call.entry, static_cast<std::uint32_t>(entries_.size()));
    if (added)
        entries_.push_back(call.entry);
    return {call.onlineSeconds, call.units, call.bytes, stamp(call.startLocal), stamp(call.endLocal), known->second};
}

void CallRows::setPrices(const Prices& prices)
{
    prices_ = prices;
}

std::string CallRows::text(std::size_t row, int column) const
{
    if (row >= rows_.size() || column < 0 || column >= kColumns)
        return {};
    if (column == kUntilColumn && rows_[row].running)
        return "l\xC3\xA4uft";
    const CallLine l = callLine(record(rows_[row]), prices_);
    const std::string* texts[] = {&l.date, &l.entry, &l.from, &l.until, &l.duration, &l.units, &l.cost, &l.bytes};
    if (column == kCostColumn && !l.cost.empty())
        return l.cost + " " + l.currency;
    return *texts[column];
}

const char* CallRows::title(int column)
{
    static const char* const kTitles[kColumns]
        = {"Datum", "Eintrag", "Von", "Bis", "Dauer", "Einheiten", "Kosten", "Bytes"};
    return column >= 0 && column < kColumns ? kTitles[column] : nullptr;
}

CallRows::Stamp CallRows::stamp(const std::string& text)
{
    Stamp s;
    s.size = static_cast<std::uint8_t>(std::min(text.size(), s.text.size()));
    std::copy_n(text.begin(), s.size, s.text.begin());
    return s;
}

CallRecord CallRows::record(const Row& row) const
{
    CallRecord call;
    call.entry = entries_[row.entry];
    call.startLocal.assign(row.start.text.data(), row.start.size);
    call.endLocal.assign(row.end.text.data(), row.end.size);
    call.onlineSeconds = row.seconds;
    call.units = row.units;
    call.bytes = row.bytes;
    return call;
}

} // namespace zumi
