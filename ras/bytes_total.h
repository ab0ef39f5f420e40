#pragma once
#include "platform/byte_source.h"

#include <cstdint>

namespace zumi {

// getBytesTotal over the platform's byte source. The total runs on across a
// new origin of the source: the first reading from it continues from the last
// total, so a restarted counter shows no traffic (and none negative). 0 stays
// "nothing readable".
class BytesTotal final {
public:
    explicit BytesTotal(ByteSource& source);
    std::uint32_t getBytesTotal(std::int32_t hActiveConn);

private:
    ByteSource& source_;
    bool read_ = false;        // a readable total was seen
    std::uint64_t origin_ = 0; // of the source at that total
    std::uint32_t last_ = 0;   // the total returned then
    std::uint32_t offset_ = 0; // added to the source's count since its origin
};

} // namespace zumi
