#pragma once
#include "platform/byte_source.h"
#include "ras/rasapi/handle_numbers.h"

#include <cstdint>

namespace zumi {

// Bytes sent and received of a RAS connection, from RasGetConnectionStatistics.
// Both 0 when the number names no connection or RAS has no statistics for it.
// Each connection counts from its own start: another connection is a new
// origin.
class RasBytes final : public ByteSource {
public:
    explicit RasBytes(const rasapi::HandleNumbers& handles)
        : handles_(handles)
    {
    }
    LinkCounts counts(std::int32_t connectionHandle) override;
    std::uint64_t origin() const override { return origin_; }

private:
    const rasapi::HandleNumbers& handles_;
    std::int32_t counted_ = 0; // the connection of the last readable reading
    std::uint64_t origin_ = 0;
};

} // namespace zumi
