#pragma once
#include <cstdint>

namespace zumi {

// One source of the 32-bit sent + received byte total of the dial-up link.
// Only differences of readings matter; 0 when nothing can be read.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint32_t bytesTotal(std::int32_t connectionHandle) = 0;
    // Changes whenever the counter of the last readable reading started again
    // from a new origin (another interface, a count that fell), so the
    // difference to earlier readings is no traffic. A counter that merely
    // wraps at 32 bits keeps its origin.
    virtual std::uint64_t origin() const { return 0; }
};

} // namespace zumi
