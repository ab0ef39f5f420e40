#pragma once
#include "platform/byte_source.h"

#include <cstdint>

namespace zumi {

// getBytesTotal over the platform's byte source. The counters run on across a
// new origin of the source: the first reading from it continues from the last
// one, so a restarted counter shows no traffic (and none negative). 0 stays
// "nothing readable".
class BytesTotal final {
public:
    explicit BytesTotal(ByteSource& source);
    std::uint32_t getBytesTotal(std::int32_t hActiveConn);
    // Sent and received of the last readable reading, run on as the total is.
    LinkCounts lastCounts() const { return last_; }

private:
    ByteSource& source_;
    bool read_ = false;        // a readable reading was seen
    std::uint64_t origin_ = 0; // of the source at that reading
    LinkCounts last_;          // the counters returned then
    LinkCounts offset_;        // added to the source's counters since its origin
};

} // namespace zumi
