#pragma once
#include "platform/byte_source.h"
#include "ras/pppd/pppd_links.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace zumi {

// Bytes sent and received over the interface of the pppd whose pid is the
// handle, from root/sys/class/net/IF/statistics, each 64-bit counter modulo
// 2^32. Both 0 when there is no such link or its counters cannot be read.
// Another interface (a name or ifindex not seen at the last reading, as when
// pppd re-creates its unit) or a 64-bit counter that fell is a new origin.
// interfaceOf, when given, names the interface of a handle in place of the
// pppd lookup (for links that another system runs).
class LinkBytes final : public ByteSource {
public:
    using InterfaceOf = std::function<std::string(std::int32_t handle)>;

    explicit LinkBytes(std::filesystem::path root = "/", InterfaceOf interfaceOf = {});
    LinkCounts counts(std::int32_t connectionHandle) override;
    std::uint64_t origin() const override { return origin_; }

private:
    std::filesystem::path root_;
    pppd::InterfaceFinder interfaces_;
    InterfaceOf interfaceOf_;
    std::string counted_; // the interface the two paths are of
    std::string sentPath_, receivedPath_, indexPath_;
    HeldFiles counters_{3};
    std::string readName_, readIndex_;      // interface and ifindex of the last readable reading
    std::uint64_t sent_ = 0, received_ = 0; // its 64-bit counters
    std::uint64_t origin_ = 0;
};

} // namespace zumi
