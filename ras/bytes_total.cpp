#include "bytes_total.h"

namespace zumi {
namespace {

std::uint32_t read(ByteSource* source, std::int32_t handle)
{
    return source ? source->bytesTotal(handle) : 0;
}

} // namespace

BytesTotal::BytesTotal(std::int32_t winVersion, ByteSources sources)
    : winVersion_(winVersion)
    , sources_(sources)
{
}

std::uint32_t BytesTotal::getBytesTotal(std::int32_t hActiveConn)
{
    if (winVersion_ == 320)
        return read(sources_.nt4, hActiveConn);
    if (winVersion_ >= 337)
        return read(sources_.rasStats, hActiveConn);
    if (winVersion_ == 64 || winVersion_ == 65)
        return read(sources_.dynData, hActiveConn);
    return read(sources_.platform, hActiveConn);
}

} // namespace zumi
