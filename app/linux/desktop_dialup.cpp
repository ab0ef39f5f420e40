#include "app/linux/desktop_dialup.h"

#include "ras/combined_bytes.h"
#include "ras/combined_dialup.h"
#include "ras/networkmanager/nm_dialup.h"
#include "ras/pppd/link_bytes.h"
#include "ras/pppd/pppd_dialup.h"

namespace zumi {

DesktopDialUp makeDesktopDialUp()
{
    auto pppd = std::make_unique<PppdDialUp>("/");
    auto networkManager = std::make_unique<NetworkManagerDialUp>();
    PppdDialUp& pppdLinks = *pppd;
    NetworkManagerDialUp& managerLinks = *networkManager;
    // A pppd that NetworkManager started is its link, under its profile's name.
    pppd->leaveToNetworkManager([&managerLinks] { return managerLinks.present(); });

    DesktopDialUp desktop;
    // Both systems' links are interfaces in sysfs; only the lookup differs.
    desktop.linkBytes = std::make_unique<CombinedBytes>(
        std::make_unique<LinkBytes>("/", [&pppdLinks](std::int32_t handle) { return pppdLinks.interfaceOf(handle); }),
        std::make_unique<LinkBytes>("/",
                                    [&managerLinks](std::int32_t handle) { return managerLinks.interfaceOf(handle); }));
    desktop.dialUp = std::make_unique<CombinedDialUp>(std::move(pppd), std::move(networkManager));
    return desktop;
}

} // namespace zumi
