#include "ras/bytes_total.h"

namespace zumi {

BytesTotal::BytesTotal(ByteSource& source)
    : source_(source)
{
}

std::uint32_t BytesTotal::getBytesTotal(std::int32_t hActiveConn)
{
    const LinkCounts counts = source_.counts(hActiveConn);
    if (!counts.readable())
        return 0;
    const std::uint64_t origin = source_.origin();
    if (read_ && origin != origin_) // wraps: the first reading of the new origin continues the last one
        offset_ = {static_cast<std::uint32_t>(last_.sent - counts.sent),
                   static_cast<std::uint32_t>(last_.received - counts.received)};
    read_ = true;
    origin_ = origin;
    last_ = {static_cast<std::uint32_t>(counts.sent + offset_.sent),
             static_cast<std::uint32_t>(counts.received + offset_.received)};
    return last_.total();
}

} // namespace zumi
