#pragma once
#include "byte_source.h"

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

// Picks the source by the version code.
class BytesTotal final : public ByteCounter {
public:
    BytesTotal(std::int32_t winVersion, ByteSources sources);
    std::uint32_t getBytesTotal(std::int32_t hActiveConn) override;

private:
    std::int32_t winVersion_;
    ByteSources sources_;
};

} // namespace zumi
