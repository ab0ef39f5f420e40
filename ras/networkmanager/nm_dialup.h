#pragma once
#include "platform/dialup_access.h"
#include "ras/networkmanager/nm_links.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zumi {

namespace nm {
class Bus;
}

// Dial-up networking as NetworkManager runs it (mobile broadband, PPPoE,
// Bluetooth dial-up), over its D-Bus API on the system bus:
// - the phonebook is the profiles of those kinds, by their connection.id;
// - the connections are their active connections, the longest known first;
// - dialing activates the profile, a hang-up deactivates the active
//   connection; both return at once, and a refusal arrives later through
//   onLateRefusal.
// Every query is answered from what NetworkManager's signals told, without a
// call on the bus; those signals are taken in by the program's event loop.
// Without a system bus or NetworkManager on it, there is nothing to report.
class NetworkManagerDialUp final : public DialUpAccess {
public:
    NetworkManagerDialUp();
    ~NetworkManagerDialUp() override;

    ConnectionList enumConnections() override;
    std::int32_t connectionState(std::int32_t handle) override;
    int hangUp(std::int32_t handle) override;
    Phonebook phonebookEntries() override;
    DialResult dial(const std::string& entryName) override;
    void onLateRefusal(LateRefusalHandler handler) override;

    // NetworkManager is on the bus (and so reports the pppds it started).
    bool present() const;
    // The IP interface of the connection's device, "" while none is known.
    std::string interfaceOf(std::int32_t handle) const { return cache_.interfaceOf(handle); }

private:
    nm::LinkCache cache_;
    std::unique_ptr<nm::Bus> bus_;
};

} // namespace zumi
