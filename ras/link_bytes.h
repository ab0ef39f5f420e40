#pragma once
#include "byte_source.h"
#include "pppd_links.h"

#include <cstdint>
#include <filesystem>

namespace zumi {

// Bytes sent + received over the interface of the pppd whose pid is the
// handle, from root/sys/class/net/IF/statistics; the 64-bit counters are
// summed modulo 2^32. 0 when there is no such link or its counters cannot be read.
class LinkBytes final : public ByteSource {
public:
    explicit LinkBytes(std::filesystem::path root = "/");
    std::uint32_t bytesTotal(std::int32_t connectionHandle) override;

private:
    std::filesystem::path root_;
    pppd::InterfaceFinder interfaces_;
    std::string counted_; // the interface the two paths are of
    std::string sentPath_, receivedPath_;
    HeldFiles counters_{2};
};

} // namespace zumi
