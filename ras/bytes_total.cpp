#include "ras/bytes_total.h"

namespace zumi {

BytesTotal::BytesTotal(ByteSource& source)
    : source_(source)
{
}

std::uint32_t BytesTotal::getBytesTotal(std::int32_t hActiveConn)
{
    const std::uint32_t count = source_.bytesTotal(hActiveConn);
    if (count == 0)
        return 0;
    const std::uint64_t origin = source_.origin();
    if (read_ && origin != origin_)
        offset_ = last_ - count; // wraps: the first reading of the new origin continues the last total
    read_ = true;
    origin_ = origin;
    last_ = count + offset_;
    return last_;
}

} // namespace zumi
