#include "ras/combined_bytes.h"

#include "ras/combined_dialup.h"

namespace zumi {

CombinedBytes::CombinedBytes(std::unique_ptr<ByteSource> first, std::unique_ptr<ByteSource> second)
    : first_(std::move(first))
    , second_(std::move(second))
{
}

LinkCounts CombinedBytes::counts(std::int32_t connectionHandle)
{
    const bool second = CombinedDialUp::ofSecond(connectionHandle);
    ByteSource& source = second ? *second_ : *first_;
    const LinkCounts counts = source.counts(second ? CombinedDialUp::ownHandle(connectionHandle) : connectionHandle);
    if (!counts.readable())
        return counts;
    if (read_ && (read_ != &source || readOrigin_ != source.origin()))
        ++origin_;
    read_ = &source;
    readOrigin_ = source.origin();
    return counts;
}

} // namespace zumi
