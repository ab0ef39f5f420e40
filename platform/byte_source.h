#pragma once
#include <cstdint>

namespace zumi {

// One source of the 32-bit sent + received byte total of the dial-up link.
// Only differences of readings matter; 0 when nothing can be read.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint32_t bytesTotal(std::int32_t connectionHandle) = 0;
};

} // namespace zumi
