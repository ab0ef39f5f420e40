// What the backend makes of what NetworkManager told it; more over the bus in nm_bus_test.cpp.
#include "ras/networkmanager/nm_links.h"

#include <gtest/gtest.h>

namespace zumi::nm {
namespace {

ActiveUpdate activeOf(const std::string& profile, ActiveState state, std::vector<std::string> devices = {"/Dev/1"})
{
    return {profile, state, std::move(devices), std::nullopt, std::nullopt};
}

ActiveUpdate stateOnly(ActiveState state)
{
    return {std::nullopt, state, std::nullopt, std::nullopt, std::nullopt};
}

std::string listed(const LinkCache& cache)
{
    std::string out;
    for (const DialUpConnection& c : cache.connections().connections)
        out += std::to_string(c.handle) + " " + c.entryName + ";";
    return out;
}

TEST(LinkCache, StatesHandlesOrderAndActivationsOfProfilesNotReadYet)
{
    LinkCache cache;
    cache.setProfile("/S/1", {"Iridium", "gsm", ""});
    cache.setProfile("/S/2", {"Zuhause", "802-11-wireless", ""});
    cache.setDeviceInterface("/Dev/1", "ppp0");

    cache.setActiveConnections({"/A/0", "/A/1"});
    EXPECT_EQ(listed(cache), "") << "not read yet";
    cache.setActive("/A/1", activeOf("/S/1", ActiveState::Activating));
    cache.setActive("/A/0", activeOf("/S/2", ActiveState::Activated, {"/Dev/2"}));
    EXPECT_EQ(listed(cache), "2 Iridium;") << "a network that costs nothing by time is no connection here";
    EXPECT_EQ(cache.state(2), kStateConnecting);
    cache.setActive("/A/1", stateOnly(ActiveState::Activated));
    EXPECT_EQ(cache.state(2), kStateConnected);
    EXPECT_EQ(cache.interfaceOf(2), "ppp0") << "an update of one property keeps the others";

    // A second one comes later and is listed after the first.
    cache.setActiveConnections({"/A/0", "/A/1", "/A/2"});
    cache.setActive("/A/2", activeOf("/S/1", ActiveState::Activated));
    EXPECT_EQ(listed(cache), "2 Iridium;3 Iridium;");
    cache.setActive("/A/1", stateOnly(ActiveState::Deactivating));
    EXPECT_EQ(cache.state(2), kStateDisconnected);
    cache.setActiveConnections({"/A/0", "/A/2"});
    EXPECT_EQ(cache.interfaceOf(2), "") << "gone";
    EXPECT_EQ(cache.state(0), 0);

    // An activation of a profile not read yet goes by its own type and id.
    cache.setActiveConnections({"/A/2", "/A/3", "/A/4"});
    cache.setActive("/A/3", {"/S/9", ActiveState::Activated, std::vector<std::string>{}, "gsm", "Neu"});
    cache.setActive("/A/4", {"/S/8", ActiveState::Activated, std::vector<std::string>{}, "bluetooth", "Unklar"});
    EXPECT_EQ(listed(cache), "3 Iridium;4 Neu;");
    EXPECT_EQ(cache.interfaceOf(4), "") << "no device yet";
    cache.removeProfile("/S/1");
    EXPECT_EQ(cache.profileNamed("Iridium"), std::nullopt);
}

} // namespace
} // namespace zumi::nm
