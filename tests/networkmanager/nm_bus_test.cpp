// The NetworkManager backend against python3-dbusmock's NetworkManager on a
// private bus that this test gives the program as its system bus.
#include "ras/networkmanager/nm_dialup.h"

#include "nm_stand_in.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <algorithm>

namespace zumi {
namespace {

using test::waitFor;

test::NetworkManagerStandIn* standIn = nullptr;

QString control(const QStringList& args)
{
    bool ok = false;
    const QString output = standIn->control(args, &ok);
    EXPECT_TRUE(ok) << args.join(' ').toStdString();
    return output;
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
    ASSERT_TRUE(standIn->start()) << "the stand-in did not come up";
    control({"profile", "Iridium Daten", "gsm"});
    control({"profile", "Handy über Bluetooth", "bluetooth", "dun"});
    control({"profile", "Kopfhörer", "bluetooth", "panu"});
    control({"profile", "Büro", "802-3-ethernet"});
    control({"profile", "DSL", "pppoe"});
    control({"profile", "Stick", "cdma"});
    control({"modem", "modem0", "wwan7"});
    NetworkManagerDialUp networkManager;
    int phonebookChanges = 0;
    networkManager.onPhonebookChanged([&] { ++phonebookChanges; });
    std::vector<LateRefusal> refusals;
    networkManager.onLateRefusal([&](const LateRefusal& refusal) { refusals.push_back(refusal); });
    ASSERT_TRUE(waitFor([&] { return networkManager.phonebookEntries().entries.size() == 4; }));
    EXPECT_TRUE(networkManager.present());
    EXPECT_EQ(phonebookChanges, 4) << "once for each dialable profile read";
    control({"profile", "Gäste", "802-11-wireless"});
    control({"profile", "Zweitstick", "gsm"});
    ASSERT_TRUE(waitFor([&] { return networkManager.phonebookEntries().entries.size() == 5; }));
    EXPECT_EQ(phonebookChanges, 5) << "a profile the phonebook does not list changes nothing";
    auto entries = networkManager.phonebookEntries().entries;
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries,
              (std::vector<std::string>{"DSL", "Handy über Bluetooth", "Iridium Daten", "Stick", "Zweitstick"}));

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
    EXPECT_EQ(networkManager.connectionState(first.handle), kStateDisconnected);
    EXPECT_EQ(networkManager.connectionState(first.handle + 100), 0);

    // The stand-in hands out the same object path again; it is another activation.
    const std::int32_t handle = dialIridium(networkManager);
    EXPECT_EQ(control({"active"}), path);
    EXPECT_NE(handle, first.handle);
    EXPECT_EQ(networkManager.connectionState(first.handle), kStateDisconnected);
    EXPECT_EQ(networkManager.connectionState(handle), kStateConnecting);

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
    EXPECT_EQ(refusals[1].request, LateRefusal::Request::HangUp);
    EXPECT_EQ(refusals[1].handle, handle);
    EXPECT_EQ(refusals[1].fault, "org.freedesktop.NetworkManager.PermissionDenied");
    EXPECT_EQ(refusals[1].message, "Not authorized");
    // and a dial refused.
    control({"refuse", "org.freedesktop.NetworkManager.PermissionDenied", "Not authorized to control networking."});
    ASSERT_TRUE(networkManager.dial("Iridium Daten").started);
    ASSERT_TRUE(waitFor([&] { return refusals.size() == 3; }));
    EXPECT_EQ(refusals[2].request, LateRefusal::Request::Dial);
    EXPECT_EQ(refusals[2].message, "Not authorized to control networking.");
    // A link that is up and stays up was never refused.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
    EXPECT_EQ(refusals.size(), 3u);

    standIn->stop();
    ASSERT_TRUE(waitFor([&] { return !networkManager.present(); }));
    EXPECT_TRUE(networkManager.enumConnections().connections.empty());
    EXPECT_TRUE(networkManager.phonebookEntries().entries.empty());
    EXPECT_EQ(networkManager.connectionState(handle), kStateDisconnected);
    QElapsedTimer sinceStart;
    sinceStart.start();
    NetworkManagerDialUp absent;
    EXPECT_FALSE(absent.present());
    EXPECT_TRUE(absent.phonebookEntries().entries.empty());
    EXPECT_TRUE(absent.enumConnections().ok);
    EXPECT_LT(sinceStart.elapsed(), 100) << "without NetworkManager, nothing waits";

    ASSERT_TRUE(standIn->start());
    control({"profile", "Iridium Daten", "gsm"});
    control({"modem", "modem0", "wwan7"});
    ASSERT_TRUE(waitFor([&] { return !networkManager.phonebookEntries().entries.empty(); }));
    EXPECT_GT(dialIridium(networkManager), handle);
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
