#pragma once
#include "platform/dialup_access.h"
#include "ras/pppd/pppd_links.h"
#include "ras/pppd/process_scan.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace zumi {

// Dial-up networking as pppd provides it on Linux:
// - the phonebook is the set of peers files in root/etc/ppp/peers;
// - the connections are the running pppd processes in root/proc, the
//   longest-running first; the handle is the pid, the entry name the argument
//   of "call" (what pon passes), else the link name, else the interface;
// - the link is up while the interface pppd names in root/run exists under
//   root/sys/class/net and is up;
// - a hang-up is SIGTERM to that pppd, as poff does; dialing runs
//   root/usr/sbin/pppd call NAME detached and reports a pppd that ends at once
//   with an error.
// All paths are taken below root, so tests run against a tree of their own.
class PppdDialUp final : public DialUpAccess {
public:
    // Sends a signal to a process, as kill() does; tests pass their own.
    // Returns 0 or the error number of the failed send.
    using SignalSender = std::function<int(std::int32_t pid, int signal)>;

    explicit PppdDialUp(std::filesystem::path root = "/", SignalSender sendSignal = {});

    ConnectionList enumConnections() override;
    std::int32_t connectionState(std::int32_t handle) override;
    int hangUp(std::int32_t handle) override;
    Phonebook phonebookEntries() override;
    DialResult dial(const std::string& entryName) override;

    // The network interface of the pppd with this pid, "" while it has none.
    std::string interfaceOf(std::int32_t handle);

    // While this says yes, the pppds NetworkManager started are left out:
    // NetworkManager reports them under their profile's name.
    void leaveToNetworkManager(std::function<bool()> networkManagerReports)
    {
        networkManagerReports_ = std::move(networkManagerReports);
    }

private:
    std::filesystem::path root_;
    std::string proc_; // root/proc
    SignalSender sendSignal_;
    std::function<bool()> networkManagerReports_;
    pppd::InterfaceFinder interfaces_;
    pppd::ProcessScan processes_;
    // The stat line of the pppd asked about and the flags of its link.
    HeldFiles held_;
};

} // namespace zumi
