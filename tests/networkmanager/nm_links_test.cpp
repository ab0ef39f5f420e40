// What the NetworkManager backend makes of what NetworkManager told it.
#include "ras/networkmanager/nm_links.h"

#include <gtest/gtest.h>

namespace zumi::nm {
namespace {

const std::string kIridium = "/Settings/1";
const std::string kWifi = "/Settings/2";

ActiveUpdate activeOf(const std::string& profile, ActiveState state, std::vector<std::string> devices = {"/Dev/1"})
{
    return {profile, state, std::move(devices), std::nullopt, std::nullopt};
}

std::string listed(const LinkCache& cache)
{
    std::string out;
    for (const DialUpConnection& c : cache.connections().connections)
        out += std::to_string(c.handle) + " " + c.entryName + ";";
    return out;
}

TEST(LinkCache, StatesHandlesAndOrderOfActivations)
{
    LinkCache cache;
    cache.setProfile(kIridium, {"Iridium", "gsm", ""});
    cache.setProfile(kWifi, {"Zuhause", "802-11-wireless", ""});
    cache.setDeviceInterface("/Dev/1", "ppp0");

    cache.setActiveConnections({"/Active/0", "/Active/1"});
    EXPECT_EQ(listed(cache), "") << "not read yet";
    cache.setActive("/Active/1", activeOf(kIridium, ActiveState::Activating));
    cache.setActive("/Active/0", activeOf(kWifi, ActiveState::Activated, {"/Dev/2"}));
    EXPECT_EQ(listed(cache), "2 Iridium;") << "a network that costs nothing by time is no connection here";
    EXPECT_EQ(cache.state(2), kStateConnecting);
    EXPECT_EQ(cache.interfaceOf(2), "ppp0");
    cache.setActive("/Active/1", {std::nullopt, ActiveState::Activated, std::nullopt, std::nullopt, std::nullopt});
    EXPECT_EQ(cache.state(2), kStateConnected);
    EXPECT_EQ(cache.interfaceOf(2), "ppp0") << "an update of one property keeps the others";

    // A second one comes later and is listed after the first.
    cache.setActiveConnections({"/Active/0", "/Active/1", "/Active/2"});
    cache.setActive("/Active/2", activeOf(kIridium, ActiveState::Activated));
    EXPECT_EQ(listed(cache), "2 Iridium;3 Iridium;");

    cache.setActive("/Active/1", {std::nullopt, ActiveState::Deactivating, std::nullopt, std::nullopt, std::nullopt});
    EXPECT_EQ(cache.state(2), kStateDisconnected);
    cache.setActiveConnections({"/Active/0", "/Active/2"});
    EXPECT_EQ(cache.state(2), kStateDisconnected) << "gone";
    EXPECT_EQ(cache.interfaceOf(2), "");
    EXPECT_EQ(cache.state(99), 0) << "never handed out";
    EXPECT_EQ(cache.state(0), 0);

    // The same object path again is another activation with a handle of its own.
    cache.setActiveConnections({"/Active/0", "/Active/1", "/Active/2"});
    cache.setActive("/Active/1", activeOf(kIridium, ActiveState::Activated));
    EXPECT_EQ(listed(cache), "3 Iridium;4 Iridium;");
    EXPECT_EQ(cache.state(2), kStateDisconnected);

    // NetworkManager gone: nothing of its activations is left.
    cache.clear();
    EXPECT_EQ(listed(cache), "");
    EXPECT_EQ(cache.state(4), kStateDisconnected);
    EXPECT_TRUE(cache.entries().empty());
}

TEST(LinkCache, DialableKindsAndNames)
{
    LinkCache cache;
    cache.setProfile("/S/1", {"Stick", "gsm", ""});
    cache.setProfile("/S/2", {"CDMA", "cdma", ""});
    cache.setProfile("/S/3", {"DSL", "pppoe", ""});
    cache.setProfile("/S/4", {"Handy", "bluetooth", "dun"});
    cache.setProfile("/S/5", {"Kopfhörer", "bluetooth", "panu"});
    cache.setProfile("/S/6", {"Büro", "802-3-ethernet", ""});
    auto entries = cache.entries();
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"CDMA", "DSL", "Handy", "Stick"}));
    EXPECT_EQ(cache.profileNamed("Handy"), "/S/4");
    EXPECT_EQ(cache.profileNamed("Kopfhörer"), std::nullopt);

    // An activation of a profile not read yet goes by its own type and id.
    cache.setActiveConnections({"/A/0", "/A/1"});
    cache.setActive("/A/0", {"/S/9", ActiveState::Activated, std::vector<std::string>{}, "gsm", "Neu"});
    cache.setActive("/A/1", {"/S/8", ActiveState::Activated, std::vector<std::string>{}, "bluetooth", "Unklar"});
    EXPECT_EQ(listed(cache), "1 Neu;");
    EXPECT_EQ(cache.interfaceOf(1), "") << "no device yet";
    cache.removeProfile("/S/1");
    EXPECT_EQ(cache.profileNamed("Stick"), std::nullopt);
}

} // namespace
} // namespace zumi::nm
