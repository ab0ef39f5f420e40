#pragma once
#include "platform/byte_source.h"

#include <cstdint>
#include <string>

namespace zumi {

// How a metered connection came to an end, as the call log keeps it.
enum class CallEnd { Outside, Menu, LowTraffic, AfterUnits, Budget };

// What the monitor tells a log of its calls. Bytes are the link's counters,
// run on across a new origin; both 0 when nothing could be read.
class MeteringLog {
public:
    virtual ~MeteringLog() = default;
    // At the tick that notices the connection: its first unit has begun.
    virtual void started(const std::string& entryName, LinkCounts bytes) = 0;
    // A further unit began; units counts every unit begun so far, the first included.
    virtual void unitBegun(std::int32_t units, LinkCounts bytes) = 0;
    // At the tick that sees the connection gone.
    virtual void ended(CallEnd how, LinkCounts bytes) = 0;
    // Every tick, after the above: the counters read while a connection is
    // metered, both 0 otherwise. Also the moment to write what failed before.
    virtual void tick(LinkCounts bytes) = 0;
};

// The monthly budget as the monitor asks it, once in the last seconds of each
// unit: has the budget run out, so the call ends before another unit begins?
class BudgetCheck {
public:
    virtual ~BudgetCheck() = default;
    virtual bool exhausted() = 0;
};

} // namespace zumi
