#pragma once
#include "platform/byte_source.h"

#include <cstdint>
#include <memory>

namespace zumi {

// The byte counters of the two systems a CombinedDialUp joins: each handle
// it hands out is read by the counter of the system it came from, with that
// system's own handle. Going over to the other system's counter is a new
// origin, as is a new one of the counter read.
class CombinedBytes final : public ByteSource {
public:
    CombinedBytes(std::unique_ptr<ByteSource> first, std::unique_ptr<ByteSource> second);

    LinkCounts counts(std::int32_t connectionHandle) override;
    std::uint64_t origin() const override { return origin_; }

private:
    std::unique_ptr<ByteSource> first_;
    std::unique_ptr<ByteSource> second_;
    const ByteSource* read_ = nullptr; // the counter of the last readable reading
    std::uint64_t readOrigin_ = 0;     // and its origin then
    std::uint64_t origin_ = 0;
};

} // namespace zumi
