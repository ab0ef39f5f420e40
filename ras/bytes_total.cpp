#include "ras/bytes_total.h"

namespace zumi {
namespace {

ByteSource* pick(std::int32_t winVersion, const ByteSources& sources)
{
    if (winVersion == 320)
        return sources.nt4;
    if (winVersion >= 337)
        return sources.rasStats;
    if (winVersion == 64 || winVersion == 65)
        return sources.dynData;
    return sources.platform;
}

} // namespace

BytesTotal::BytesTotal(std::int32_t winVersion, ByteSources sources)
    : winVersion_(winVersion)
    , sources_(sources)
{
}

std::uint32_t BytesTotal::getBytesTotal(std::int32_t hActiveConn)
{
    ByteSource* source = pick(winVersion_, sources_);
    const std::uint32_t count = source ? source->bytesTotal(hActiveConn) : 0;
    if (count == 0)
        return 0;
    const std::uint64_t origin = source->origin();
    if (read_ && origin != origin_)
        offset_ = last_ - count; // wraps: the first reading of the new origin continues the last total
    read_ = true;
    origin_ = origin;
    last_ = count + offset_;
    return last_;
}

} // namespace zumi
