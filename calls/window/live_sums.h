#pragma once
#include "calls/call_record.h"
#include "calls/month_report.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace zumi {

// The sums of a span of the call log, read in pages, kept up to date with
// the running call as it is told afterwards, without reading the span again.
class LiveSums final {
public:
    // Calls that started from `from` up to before `to` (local stamps) are
    // read from now on; until finish() nothing told is taken.
    void start(std::string from, std::string to);
    // Nothing is read or taken any more, until the next start().
    void stop();
    // A call as read, in the log's order; its row is the count read before it.
    void read(const CallRecord& call);
    void finish();

    struct Place {
        std::size_t row;
        bool added; // not read: a new row at the end
        std::optional<CallRecord> before; // what was counted of it; none when added
    };
    // The running call as it stands now, in place of what was counted of it;
    // none outside the span or while it is read.
    std::optional<Place> take(const CallRecord& call);

    const MonthSums& sums() const { return sums_; }
    bool done() const { return done_; }

private:
    struct Counted {
        std::size_t row;
        CallRecord call;
    };
    static bool sameCall(const CallRecord& a, const CallRecord& b);

    std::string from_, to_;
    bool reading_ = false, done_ = false;
    MonthSums sums_;
    std::size_t rows_ = 0;
    // Calls without an end: the running one, and any a crash cut short. Few.
    std::vector<Counted> open_;
};

} // namespace zumi
