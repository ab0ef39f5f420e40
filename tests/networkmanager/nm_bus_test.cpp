// The NetworkManager backend against python3-dbusmock's NetworkManager on a
// private bus that this test gives the program as its system bus.
#include "ras/networkmanager/nm_dialup.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

namespace zumi {
namespace {

const QString kNetworkManager = QStringLiteral("org.freedesktop.NetworkManager");

bool waitFor(const std::function<bool()>& done, int milliseconds = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// The private bus, for the whole run: Qt reads the system bus's address once.
struct PrivateBus {
    QTemporaryDir folder;
    QProcess daemon;
    QString address;

    bool start()
    {
        address = QStringLiteral("unix:path=") + folder.filePath(QStringLiteral("bus"));
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--address=") + address});
        if (!daemon.waitForStarted() || !waitFor([&] { return QFile::exists(folder.filePath("bus")); }))
            return false;
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toUtf8());
        return true;
    }
};
PrivateBus* privateBus = nullptr;

class NetworkManagerOnBus : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!privateBus)
            GTEST_SKIP() << "no private bus (dbus-daemon missing?)";
    }
    void TearDown() override { stopNetworkManager(); }

    bool networkManagerOnBus() const
    {
        return QDBusConnection::systemBus().interface()->isServiceRegistered(kNetworkManager);
    }

    void startNetworkManager()
    {
        mock_ = std::make_unique<QProcess>();
        mock_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        mock_->start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--system"),
                      QStringLiteral("--template"), QStringLiteral("networkmanager")});
        ASSERT_TRUE(mock_->waitForStarted());
        ASSERT_TRUE(waitFor([&] { return networkManagerOnBus(); }, 15000)) << "the stand-in did not come up";
    }

    void stopNetworkManager()
    {
        if (!mock_)
            return;
        mock_->terminate();
        mock_->waitForFinished(5000);
        mock_.reset();
        waitFor([&] { return !networkManagerOnBus(); });
    }

    // Runs nm_mock.py; its output, trimmed.
    QString control(const QStringList& args)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral("/usr/bin/python3"),
                      QStringList{QStringLiteral(ZUMI_NM_MOCK), privateBus->address} + args);
        EXPECT_TRUE(process.waitForFinished(15000) && process.exitCode() == 0) << args.join(' ').toStdString();
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    std::unique_ptr<QProcess> mock_;
};

TEST_F(NetworkManagerOnBus, DialableProfilesActivationsAndTheirEnd)
{
    startNetworkManager();
    control({"profile", "Iridium Daten", "gsm"});
    control({"profile", "Handy über Bluetooth", "bluetooth", "dun"});
    control({"profile", "Kopfhörer", "bluetooth", "panu"});
    control({"profile", "Büro", "802-3-ethernet"});
    control({"profile", "DSL", "pppoe"});
    control({"profile", "Stick", "cdma"});
    control({"modem", "modem0", "wwan7"});

    NetworkManagerDialUp networkManager;
    ASSERT_TRUE(waitFor([&] { return networkManager.phonebookEntries().entries.size() == 4; }));
    EXPECT_TRUE(networkManager.present());
    auto entries = networkManager.phonebookEntries().entries;
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"DSL", "Handy über Bluetooth", "Iridium Daten", "Stick"}));

    EXPECT_EQ(networkManager.dial("Kopfhörer").error, DialError::NoSuchEntry);
    ASSERT_TRUE(networkManager.dial("Iridium Daten").started);
    ASSERT_TRUE(waitFor([&] {
        const auto list = networkManager.enumConnections();
        return list.connections.size() == 1 && networkManager.interfaceOf(list.connections[0].handle) == "wwan7";
    }));
    const DialUpConnection first = networkManager.enumConnections().connections.at(0);
    EXPECT_EQ(first.entryName, "Iridium Daten");
    EXPECT_EQ(networkManager.connectionState(first.handle), kStateConnected);
    const QString path = control({"active"});

    control({"state", path, "1"});
    EXPECT_TRUE(waitFor([&] { return networkManager.connectionState(first.handle) == kStateConnecting; }));
    control({"state", path, "2"});
    EXPECT_TRUE(waitFor([&] { return networkManager.connectionState(first.handle) == kStateConnected; }));

    EXPECT_EQ(networkManager.hangUp(first.handle), 0);
    ASSERT_TRUE(waitFor([&] { return networkManager.enumConnections().connections.empty(); }));
    EXPECT_EQ(networkManager.connectionState(first.handle), kStateDisconnected);
    EXPECT_EQ(networkManager.connectionState(first.handle + 100), 0);

    // The stand-in hands out the same object path again; it is another activation.
    ASSERT_TRUE(networkManager.dial("Iridium Daten").started);
    ASSERT_TRUE(waitFor([&] { return networkManager.enumConnections().connections.size() == 1; }));
    EXPECT_EQ(control({"active"}), path);
    const DialUpConnection second = networkManager.enumConnections().connections.at(0);
    EXPECT_NE(second.handle, first.handle);
    EXPECT_EQ(networkManager.connectionState(first.handle), kStateDisconnected);
    EXPECT_EQ(networkManager.connectionState(second.handle), kStateConnected);
}

TEST_F(NetworkManagerOnBus, RefusalsArriveAfterTheRequestReturned)
{
    startNetworkManager();
    control({"profile", "Iridium Daten", "gsm"});
    control({"modem", "modem0", "wwan7", "activating"});
    NetworkManagerDialUp networkManager;
    std::vector<LateRefusal> refusals;
    networkManager.onLateRefusal([&](const LateRefusal& refusal) { refusals.push_back(refusal); });
    ASSERT_TRUE(waitFor([&] { return !networkManager.phonebookEntries().entries.empty(); }));

    // Coming up, then ended for want of a SIM PIN.
    ASSERT_TRUE(networkManager.dial("Iridium Daten").started);
    ASSERT_TRUE(waitFor([&] { return networkManager.enumConnections().connections.size() == 1; }));
    const std::int32_t handle = networkManager.enumConnections().connections[0].handle;
    EXPECT_EQ(networkManager.connectionState(handle), kStateConnecting);
    control({"state", control({"active"}), "4", "9"});
    ASSERT_TRUE(waitFor([&] { return refusals.size() == 1; }));
    EXPECT_EQ(refusals[0].request, LateRefusal::Request::Dial);
    EXPECT_EQ(refusals[0].entryName, "Iridium Daten");
    EXPECT_EQ(refusals[0].fault, "reason:9");
    EXPECT_EQ(networkManager.connectionState(handle), kStateDisconnected);

    control({"state", control({"active"}), "2"});
    ASSERT_TRUE(waitFor([&] { return networkManager.connectionState(handle) == kStateConnected; }));
    control({"refuse-hangup", "org.freedesktop.NetworkManager.PermissionDenied", "Not authorized"});
    EXPECT_EQ(networkManager.hangUp(handle), 0);
    ASSERT_TRUE(waitFor([&] { return refusals.size() == 2; }));
    EXPECT_EQ(refusals[1].request, LateRefusal::Request::HangUp);
    EXPECT_EQ(refusals[1].handle, handle);
    EXPECT_EQ(refusals[1].fault, "org.freedesktop.NetworkManager.PermissionDenied");
    EXPECT_EQ(refusals[1].message, "Not authorized");

    control({"refuse", "org.freedesktop.NetworkManager.PermissionDenied", "Not authorized to control networking."});
    ASSERT_TRUE(networkManager.dial("Iridium Daten").started);
    ASSERT_TRUE(waitFor([&] { return refusals.size() == 3; }));
    EXPECT_EQ(refusals[2].request, LateRefusal::Request::Dial);
    EXPECT_EQ(refusals[2].message, "Not authorized to control networking.");
    // A link that is up and stays up was never refused.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
    EXPECT_EQ(refusals.size(), 3u);
}

TEST_F(NetworkManagerOnBus, FollowsNetworkManagerAwayAndBack)
{
    NetworkManagerDialUp networkManager;
    QElapsedTimer sinceStart;
    sinceStart.start();
    EXPECT_FALSE(networkManager.present());
    EXPECT_TRUE(networkManager.phonebookEntries().entries.empty());
    EXPECT_TRUE(networkManager.enumConnections().ok);
    EXPECT_LT(sinceStart.elapsed(), 100) << "without NetworkManager, nothing waits";

    startNetworkManager();
    control({"profile", "Iridium Daten", "gsm"});
    control({"modem", "modem0", "wwan7"});
    ASSERT_TRUE(waitFor([&] { return !networkManager.phonebookEntries().entries.empty(); }));
    ASSERT_TRUE(networkManager.dial("Iridium Daten").started);
    ASSERT_TRUE(waitFor([&] { return networkManager.enumConnections().connections.size() == 1; }));
    const std::int32_t before = networkManager.enumConnections().connections[0].handle;

    stopNetworkManager();
    ASSERT_TRUE(waitFor([&] { return !networkManager.present(); }));
    EXPECT_TRUE(networkManager.enumConnections().connections.empty());
    EXPECT_TRUE(networkManager.phonebookEntries().entries.empty());
    EXPECT_EQ(networkManager.connectionState(before), kStateDisconnected);

    startNetworkManager();
    control({"profile", "Iridium Daten", "gsm"});
    control({"modem", "modem0", "wwan7"});
    ASSERT_TRUE(waitFor([&] { return !networkManager.phonebookEntries().entries.empty(); }));
    ASSERT_TRUE(networkManager.dial("Iridium Daten").started);
    ASSERT_TRUE(waitFor([&] { return networkManager.enumConnections().connections.size() == 1; }));
    EXPECT_GT(networkManager.enumConnections().connections[0].handle, before);
}

} // namespace
} // namespace zumi

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    zumi::PrivateBus bus;
    if (bus.start())
        zumi::privateBus = &bus;
    QCoreApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    bus.daemon.terminate();
    bus.daemon.waitForFinished();
    return result;
}
