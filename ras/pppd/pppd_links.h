#pragma once
#include "ras/pppd/small_file.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace zumi::pppd {

// What pppd announces about its link in its pid files once the link is up:
// root/run/IFNAME.pid (first line: pid) and, with a link name,
// root/run/ppp-LINKNAME.pid (pid, then the interface).

// The interface of the pppd with this pid; "" unless it exists under
// root/sys/class/net.
std::string findInterface(const std::filesystem::path& root, std::int32_t pid);

// findInterface with a memory: the interface found last is confirmed by its
// pid file alone when the same pid is asked for again, instead of a search
// through every interface and pid file once a second.
class InterfaceFinder {
public:
    explicit InterfaceFinder(std::filesystem::path root)
        : root_(std::move(root))
    {
    }
    std::string find(std::int32_t pid);

private:
    std::filesystem::path root_;
    std::int32_t pid_ = 0;
    std::string interface_;
    std::string pidFilePath_; // of interface_
    HeldFiles pidFile_{1};
};

// The link name of the pppd with this pid; "" when no link pid file names it.
std::string findLinkName(const std::filesystem::path& root, std::int32_t pid);

// The interface exists and is up: IFF_UP in its flags, or an operstate that
// does not say down (a ppp link reads "unknown" while up).
// Its files are read through `files`, as this is asked once a second.
bool interfaceUp(HeldFiles& files, const std::filesystem::path& root, const std::string& interfaceName);

} // namespace zumi::pppd
