#pragma once
#include "platform/byte_source.h"

#include <cstdint>

namespace zumi {

// getBytesTotal as the monitor sees it.
class ByteCounter {
public:
    virtual ~ByteCounter() = default;
    virtual std::uint32_t getBytesTotal(std::int32_t hActiveConn) = 0;
};

// The sources of each family; a missing one reads 0.
struct ByteSources {
    ByteSource* nt4 = nullptr;      // winVersion 320
    ByteSource* rasStats = nullptr; // winVersion >= 337
    ByteSource* dynData = nullptr;  // winVersion 64, 65
    ByteSource* platform = nullptr; // any other code: the platform's own link counters
};

// Picks the source by the version code. The total runs on across a new
// origin of the source: the first reading from it continues from the last
// total, so a restarted counter shows no traffic (and none negative). 0 stays
// "nothing readable".
class BytesTotal final : public ByteCounter {
public:
    BytesTotal(std::int32_t winVersion, ByteSources sources);
    std::uint32_t getBytesTotal(std::int32_t hActiveConn) override;

private:
    std::int32_t winVersion_;
    ByteSources sources_;
    bool read_ = false;        // a readable total was seen
    std::uint64_t origin_ = 0; // of the source at that total
    std::uint32_t last_ = 0;   // the total returned then
    std::uint32_t offset_ = 0; // added to the source's count since its origin
};

} // namespace zumi
