#pragma once
#include <cstdint>

namespace zumi {

// The link's 32-bit counters of bytes sent and received. Only differences of
// readings matter; both 0 when nothing can be read.
struct LinkCounts {
    std::uint32_t sent = 0;
    std::uint32_t received = 0;
    bool readable() const { return sent != 0 || received != 0; }
    std::uint32_t total() const { return sent + received; } // wraps as the counters do
    bool operator==(const LinkCounts&) const = default;
};

// One source of the dial-up link's byte counters.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual LinkCounts counts(std::int32_t connectionHandle) = 0;
    // Changes whenever the counter of the last readable reading started again
    // from a new origin (another interface, a count that fell), so the
    // difference to earlier readings is no traffic. A counter that merely
    // wraps at 32 bits keeps its origin.
    virtual std::uint64_t origin() const { return 0; }
};

} // namespace zumi
