#include "app/desktop_dialup.h"

#include "ras/combined_dialup.h"
#include "ras/networkmanager/nm_dialup.h"
#include "ras/pppd/link_bytes.h"
#include "ras/pppd/pppd_dialup.h"

namespace zumi {

PlatformBackend makeDesktopDialUp()
{
    auto pppd = std::make_unique<PppdDialUp>("/");
    auto networkManager = std::make_unique<NetworkManagerDialUp>();
    PppdDialUp& pppdLinks = *pppd;
    NetworkManagerDialUp& managerLinks = *networkManager;
    // A pppd that NetworkManager started is its link, under its profile's name.
    pppd->leaveToNetworkManager([&managerLinks] { return managerLinks.present(); });
    auto both = std::make_unique<CombinedDialUp>(std::move(pppd), std::move(networkManager));
    const CombinedDialUp& links = *both;

    PlatformBackend backend;
    // Both systems' links are interfaces in sysfs; only the lookup differs.
    backend.linkBytes = std::make_unique<LinkBytes>("/", [&pppdLinks, &managerLinks, &links](std::int32_t handle) {
        return links.ofSecond(handle) ? managerLinks.interfaceOf(CombinedDialUp::ownHandle(handle))
                                      : pppdLinks.interfaceOf(handle);
    });
    backend.dialUp = std::move(both);
    return backend;
}

} // namespace zumi
