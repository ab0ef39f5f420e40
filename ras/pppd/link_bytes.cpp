#include "ras/pppd/link_bytes.h"

#include "ras/pppd/pppd_links.h"
#include "ras/pppd/pppd_text.h"
#include "ras/pppd/small_file.h"

#include <optional>

namespace zumi {
namespace {

std::optional<std::uint64_t> readCounter(HeldFiles& files, const std::string& path)
{
    const auto text = files.read(path, 64);
    if (!text)
        return std::nullopt;
    return pppd::parseDecimal(*text);
}

} // namespace

LinkBytes::LinkBytes(std::filesystem::path root, InterfaceOf interfaceOf)
    : root_(std::move(root))
    , interfaces_(root_)
    , interfaceOf_(std::move(interfaceOf))
{
}

LinkCounts LinkBytes::counts(std::int32_t connectionHandle)
{
    if (connectionHandle <= 0)
        return {};
    const std::string interfaceName
        = interfaceOf_ ? interfaceOf_(connectionHandle) : interfaces_.find(connectionHandle);
    // A name that is not one folder below sys/class/net names no interface.
    if (interfaceName.empty() || interfaceName == "." || interfaceName == ".."
        || interfaceName.find('/') != std::string::npos)
        return {};
    if (interfaceName != counted_) {
        const std::filesystem::path statistics = root_ / "sys/class/net" / interfaceName / "statistics";
        counted_ = interfaceName;
        sentPath_ = (statistics / "tx_bytes").string();
        receivedPath_ = (statistics / "rx_bytes").string();
        indexPath_ = (root_ / "sys/class/net" / interfaceName / "ifindex").string();
    }
    const auto sent = readCounter(counters_, sentPath_);
    const auto received = readCounter(counters_, receivedPath_);
    // Half a reading would jump when the other half comes back.
    if (!sent || !received)
        return {};
    // A unit pppd made anew under the same name has another ifindex.
    std::string index = counters_.read(indexPath_, 64).value_or("");
    if (interfaceName != readName_ || index != readIndex_ || *sent < sent_ || *received < received_)
        ++origin_;
    readName_ = interfaceName;
    readIndex_ = std::move(index);
    sent_ = *sent;
    received_ = *received;
    return {static_cast<std::uint32_t>(*sent), static_cast<std::uint32_t>(*received)};
}

} // namespace zumi
