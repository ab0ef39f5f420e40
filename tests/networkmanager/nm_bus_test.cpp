// The NetworkManager backend: its cache on its own, and the whole backend against
// python3-dbusmock's NetworkManager on a private bus given to it as its system bus.
#include "ras/networkmanager/nm_dialup.h"
#include "ras/networkmanager/nm_links.h"

#include "nm_stand_in.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace zumi {
namespace {

using nm::ActiveState;
using test::waitFor;

std::string listed(const nm::LinkCache& cache)
{
    std::string out;
    for (const DialUpConnection& c : cache.connections().connections)
        out += std::to_string(c.handle) + " " + c.entryName + ";";
    return out;
}

TEST(LinkCache, StatesHandlesOrderAndActivationsOfProfilesNotReadYet)
{
    const auto activeOf = [](const std::string& profile, ActiveState state, std::string device = "/Dev/1") {
        return nm::ActiveUpdate{profile, state, std::vector{device}, std::nullopt, std::nullopt};
    };
    const auto stateOnly = [](ActiveState state) {
        return nm::ActiveUpdate{std::nullopt, state, std::nullopt, std::nullopt, std::nullopt};
    };
    nm::LinkCache cache;
    cache.setProfile("/S/1", {"Iridium", "gsm", ""});
    cache.setProfile("/S/2", {"Zuhause", "802-11-wireless", ""});
    cache.setDeviceInterface("/Dev/1", "ppp0");

    cache.setActiveConnections({"/A/0", "/A/1"});
    EXPECT_EQ(listed(cache), "") << "not read yet";
    cache.setActive("/A/1", activeOf("/S/1", ActiveState::Activating));
    cache.setActive("/A/0", activeOf("/S/2", ActiveState::Activated, "/Dev/2"));
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

test::NetworkManagerStandIn* standIn = nullptr;

QString control(const QStringList& args)
{
    bool ok = false;
    const QString output = standIn->control(args, &ok);
    EXPECT_TRUE(ok) << args.join(' ').toStdString();
    return output;
}

// Starts the stand-in with a GSM profile and a modem to carry it.
bool startWithIridium()
{
    const bool started = standIn->start();
    control({"profile", "Iridium Daten", "gsm"});
    control({"modem", "modem0", "wwan7"});
    return started;
}

// Dials the GSM profile and waits for its activation; its handle.
std::int32_t dialIridium(NetworkManagerDialUp& dialUp)
{
    EXPECT_TRUE(dialUp.dial("Iridium Daten").started);
    EXPECT_TRUE(waitFor([&] { return dialUp.enumConnections().connections.size() == 1; }));
    const auto list = dialUp.enumConnections().connections;
    return list.empty() ? 0 : list[0].handle;
}

TEST(NetworkManagerOnBus, ProfilesActivationsLateRefusalsAndNetworkManagerComingAndGoing)
{
    if (!standIn->busRuns())
        GTEST_SKIP() << "no private bus (dbus-daemon missing?)";
    ASSERT_TRUE(startWithIridium()) << "the stand-in did not come up";
    control({"profile", "Kopfhörer", "bluetooth", "panu"});
    control({"profile", "DSL", "pppoe"});
    NetworkManagerDialUp networkManager;
    int phonebookChanges = 0;
    networkManager.onPhonebookChanged([&] { ++phonebookChanges; });
    std::vector<LateRefusal> refusals;
    networkManager.onLateRefusal([&](const LateRefusal& refusal) { refusals.push_back(refusal); });
    ASSERT_TRUE(waitFor([&] { return networkManager.phonebookEntries().entries.size() == 2; }));
    EXPECT_TRUE(networkManager.present());
    EXPECT_EQ(phonebookChanges, 2) << "once for each dialable profile read";
    control({"profile", "Gäste", "802-11-wireless"});
    control({"profile", "Zweitstick", "gsm"});
    ASSERT_TRUE(waitFor([&] { return networkManager.phonebookEntries().entries.size() == 3; }));
    EXPECT_EQ(phonebookChanges, 3) << "a profile the phonebook does not list changes nothing";

    EXPECT_EQ(networkManager.dial("Kopfhörer").error, DialError::NoSuchEntry);
    ASSERT_TRUE(networkManager.dial("Iridium Daten").started);
    ASSERT_TRUE(waitFor([&] {
        const auto list = networkManager.enumConnections();
        return list.connections.size() == 1 && networkManager.interfaceOf(list.connections[0].handle) == "wwan7";
    }));
    const DialUpConnection first = networkManager.enumConnections().connections.at(0);
    EXPECT_EQ(first.entryName, "Iridium Daten");
    EXPECT_EQ(networkManager.connectionState(first.handle), kStateConnecting);
    const QString path = control({"active"});
    control({"state", path, "2"});
    EXPECT_TRUE(waitFor([&] { return networkManager.connectionState(first.handle) == kStateConnected; }));
    EXPECT_EQ(networkManager.hangUp(first.handle), 0);
    ASSERT_TRUE(waitFor([&] { return networkManager.enumConnections().connections.empty(); }));
    EXPECT_EQ(networkManager.connectionState(first.handle + 100), 0);

    // The stand-in hands out the same object path again; it is another activation.
    const std::int32_t handle = dialIridium(networkManager);
    EXPECT_EQ(control({"active"}), path);
    EXPECT_NE(handle, first.handle);
    EXPECT_EQ(networkManager.connectionState(first.handle), kStateDisconnected);

    // Refusals arrive after the request returned: ended for want of a SIM PIN,
    control({"state", path, "4", "9"});
    ASSERT_TRUE(waitFor([&] { return refusals.size() == 1; }));
    EXPECT_EQ(refusals[0].request, LateRefusal::Request::Dial);
    EXPECT_EQ(refusals[0].entryName, "Iridium Daten");
    EXPECT_EQ(refusals[0].fault, "reason:9");
    EXPECT_EQ(networkManager.connectionState(handle), kStateDisconnected);
    // a hang-up refused,
    control({"state", path, "2"});
    ASSERT_TRUE(waitFor([&] { return networkManager.connectionState(handle) == kStateConnected; }));
    control({"refuse-hangup", "org.freedesktop.NetworkManager.PermissionDenied", "Not authorized"});
    EXPECT_EQ(networkManager.hangUp(handle), 0);
    ASSERT_TRUE(waitFor([&] { return refusals.size() == 2; }));
    EXPECT_EQ(refusals[1].message, "Not authorized");
    // and a dial refused.
    control({"refuse", "org.freedesktop.NetworkManager.PermissionDenied", "Not authorized to control networking."});
    ASSERT_TRUE(networkManager.dial("Iridium Daten").started);
    ASSERT_TRUE(waitFor([&] { return refusals.size() == 3; }));
    EXPECT_EQ(refusals[2].message, "Not authorized to control networking.");
    // A link that is up and stays up was never refused.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
    EXPECT_EQ(refusals.size(), 3u);

    standIn->stop();
    ASSERT_TRUE(waitFor([&] { return !networkManager.present(); }));
    EXPECT_TRUE(networkManager.enumConnections().connections.empty());
    EXPECT_TRUE(networkManager.phonebookEntries().entries.empty());
    QElapsedTimer sinceStart;
    sinceStart.start();
    NetworkManagerDialUp absent;
    EXPECT_FALSE(absent.present());
    EXPECT_TRUE(absent.enumConnections().ok);
    EXPECT_LT(sinceStart.elapsed(), 100) << "without NetworkManager, nothing waits";

    ASSERT_TRUE(startWithIridium()) << "the stand-in did not come up";
    ASSERT_TRUE(waitFor([&] { return !networkManager.phonebookEntries().entries.empty(); }));
    EXPECT_GT(dialIridium(networkManager), handle);

    // Dials still pending as NetworkManager leaves the bus (activating, or not even answered) are told as
    // not carried out.
    control({"stall"});
    EXPECT_TRUE(networkManager.dial("Iridium Daten").started);
    standIn->stop();
    ASSERT_TRUE(waitFor([&] { return refusals.size() == 5; }));
    EXPECT_EQ(refusals[3].fault + refusals[4].fault, "gonegone");
    EXPECT_EQ(refusals[4].entryName, "Iridium Daten");
    EXPECT_EQ(networkManager.dial("Iridium Daten").error, DialError::NotRunning);
}

} // namespace
} // namespace zumi

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    QCoreApplication app(argc, argv);
    zumi::test::NetworkManagerStandIn networkManager;
    zumi::standIn = &networkManager;
    return RUN_ALL_TESTS();
}
