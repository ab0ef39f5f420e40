#include "calls/window/live_sums.h"

#include <utility>

namespace zumi {

void LiveSums::start(std::string from, std::string to)
{
    from_ = std::move(from);
    to_ = std::move(to);
    reading_ = true;
    done_ = false;
    sums_ = {};
    rows_ = 0;
    open_.clear();
}

void LiveSums::stop()
{
    start({}, {});
    reading_ = false;
}

void LiveSums::read(const CallRecord& call)
{
    if (!reading_)
        return;
    if (call.endLocal.empty())
        open_.push_back({rows_, call});
    ++rows_;
    sums_.add(call);
}

void LiveSums::finish()
{
    done_ = reading_;
    reading_ = false;
}

std::optional<LiveSums::Place> LiveSums::take(const CallRecord& call)
{
    if (!done_ || call.startLocal < from_ || call.startLocal >= to_)
        return std::nullopt;
    for (Counted& counted : open_)
        if (sameCall(counted.call, call)) {
            sums_.remove(counted.call);
            sums_.add(call);
            Place place{counted.row, false, counted.call};
            counted.call = call;
            return place;
        }
    open_.push_back({rows_, call});
    sums_.add(call);
    return Place{rows_++, true, std::nullopt};
}

// A row the log could not take yet has no id; its start and entry stay.
bool LiveSums::sameCall(const CallRecord& a, const CallRecord& b)
{
    if (a.id != 0 && b.id != 0)
        return a.id == b.id;
    return a.startUtc == b.startUtc && a.startLocal == b.startLocal && a.entry == b.entry;
}

} // namespace zumi
