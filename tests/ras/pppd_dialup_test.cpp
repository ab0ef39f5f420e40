#include "connection_queries.h"
#include "fake_tree.h"
#include "pppd_dialup.h"

#include <gtest/gtest.h>

#include <csignal>
#include <utility>

namespace zumi {

// Found by argument-dependent lookup, so they live in the type's namespace.
static bool operator==(const DialUpConnection& a, const DialUpConnection& b)
{
    return a.handle == b.handle && a.entryName == b.entryName;
}

[[maybe_unused]] static void PrintTo(const DialUpConnection& c, std::ostream* out)
{
    *out << "{" << c.handle << ", \"" << c.entryName << "\"}";
}

namespace {

using test::FakeTree;
using Signals = std::vector<std::pair<std::int32_t, int>>;

struct Backend {
    explicit Backend(const FakeTree& tree)
        : dialUp(tree.root(), [this](std::int32_t pid, int signal) {
            signals.emplace_back(pid, signal);
            return 0;
        })
    {
    }
    Signals signals;
    PppdDialUp dialUp;
};

std::vector<DialUpConnection> connectionsOf(PppdDialUp& dialUp)
{
    const ConnectionList list = dialUp.enumConnections();
    EXPECT_TRUE(list.ok);
    return list.connections;
}

TEST(PppdPhonebook, ListsPeersFilesButNotLeftovers)
{
    FakeTree tree;
    for (const char* name : {"b", "A", "c", ".hidden", "old~", "x.bak", "y.dpkg-old", "z.ucf-dist", "my provider"})
        tree.addPeer(name);
    tree.write("etc/ppp/peers/sub/inner", "");
    PppdDialUp dialUp(tree.root());

    ConnNames names{};
    const auto menu = loadPhonebook(dialUp, names, std::locale::classic());
    EXPECT_EQ(menu, (std::vector<std::string>{"A", "b", "c", "my provider"}));
    EXPECT_EQ(names[3], "my provider");
}

TEST(PppdPhonebook, MissingPeersFolderIsAnEmptyPhonebook)
{
    FakeTree tree;
    tree.remove("etc/ppp");
    PppdDialUp dialUp(tree.root());
    EXPECT_TRUE(dialUp.phonebookEntries().empty());
}

TEST(PppdConnections, NoProcFolderIsAFailedEnumeration)
{
    FakeTree tree;
    tree.remove("proc");
    Backend backend(tree);
    std::int32_t handle = 55;
    EXPECT_FALSE(backend.dialUp.enumConnections().ok);
    EXPECT_EQ(getActiveConnection(backend.dialUp, handle), "");
    EXPECT_EQ(handle, 55);
    hangUpConnection(backend.dialUp);
    EXPECT_TRUE(backend.signals.empty());
}

TEST(PppdConnections, OnlyPppdProcessesLongestRunningFirst)
{
    FakeTree tree;
    tree.addProcess(1, "systemd", {"/sbin/init"}, 1);
    tree.addProcess(150, "bash", {"bash", "-c", "pppd call fake"}, 10);
    tree.addProcess(160, "pppdump", {"pppdump", "call", "nope"}, 10);
    tree.addPppd(400, "Spät", 9000);
    tree.addPppd(300, "Früh", 5000);
    tree.addPppd(350, "Gleichzeitig", 9000);
    Backend backend(tree);

    EXPECT_EQ(connectionsOf(backend.dialUp),
              (std::vector<DialUpConnection>{{300, "Früh"}, {350, "Gleichzeitig"}, {400, "Spät"}}));
    std::int32_t handle = 0;
    EXPECT_EQ(getActiveConnection(backend.dialUp, handle), "Früh");
    EXPECT_EQ(handle, 300);

    hangUpConnection(backend.dialUp);
    EXPECT_EQ(backend.signals, (Signals{{300, SIGTERM}}));
}

TEST(PppdConnections, NoPppdMeansNoConnection)
{
    FakeTree tree;
    tree.addProcess(1, "systemd", {"/sbin/init"});
    Backend backend(tree);
    std::int32_t handle = 12;
    EXPECT_EQ(getActiveConnection(backend.dialUp, handle), "");
    EXPECT_EQ(handle, 0);
    hangUpConnection(backend.dialUp);
    EXPECT_TRUE(backend.signals.empty());
}

TEST(PppdConnections, EntryNameFromCallThenLinknameThenInterface)
{
    FakeTree tree;
    tree.addProcess(10, "pppd", {"/usr/sbin/pppd", "call", "Anbieter", "linkname", "ln"}, 1);
    tree.addProcess(11, "pppd", {"pppd", "/dev/ttyS0", "linkname", "Verbindung"}, 2);
    tree.addProcess(12, "pppd", {"pppd", "/dev/ttyS1"}, 3);
    tree.addInterface("ppp2", true);
    tree.addPidFile("ppp2", 12);
    tree.addProcess(13, "pppd", {"pppd", "/dev/ttyS2"}, 4);
    tree.addInterface("ppp3", true);
    tree.write("run/ppp-ausDatei.pid", "13\nppp3\n");
    tree.addProcess(14, "pppd", {"pppd", "call"}, 5); // dialing, nothing known yet
    // Started under another file name, but pppd by its argument vector.
    tree.addProcess(15, "stand-in", {"/usr/sbin/pppd", "call", "Ersatz"}, 6);
    Backend backend(tree);

    EXPECT_EQ(connectionsOf(backend.dialUp),
              (std::vector<DialUpConnection>{{10, "Anbieter"}, {11, "Verbindung"}, {12, "ppp2"}, {13, "ausDatei"},
                                             {14, ""}, {15, "Ersatz"}}));
    EXPECT_EQ(backend.dialUp.interfaceOf(13), "ppp3");
    EXPECT_EQ(backend.dialUp.interfaceOf(14), "");
}

TEST(PppdConnections, DirectCableByNameInOtherCaseIsReported)
{
    FakeTree tree;
    tree.addPppd(20, "direct cable connection");
    Backend backend(tree);
    std::int32_t handle = 0;
    EXPECT_EQ(getActiveConnection(backend.dialUp, handle), "direct cable connection");

    tree.addPppd(19, "Direct Cable Connection", 1);
    EXPECT_EQ(getActiveConnection(backend.dialUp, handle), "");
    EXPECT_EQ(handle, 19);
}

TEST(PppdState, ConnectedConnectingDisconnectedOrUnknown)
{
    FakeTree tree;
    tree.addPppd(100, "up");
    tree.addInterface("ppp0", true);
    tree.addPidFile("ppp0", 100);

    tree.addPppd(101, "dialing"); // no pid file yet

    tree.addPppd(102, "negotiating");
    tree.addInterface("ppp1", false);
    tree.addPidFile("ppp1", 102);

    tree.addPppd(103, "pidfile but interface gone");
    tree.addPidFile("ppp7", 103);

    tree.addProcess(104, "pppd", {}, 1000, 'Z');
    tree.addProcess(105, "pppd", {}, 1000, 'X');
    tree.addProcess(106, "sshd", {"sshd"});

    // Up by operstate alone when the flags cannot be read.
    tree.addPppd(107, "operstate");
    tree.write("sys/class/net/ppp4/operstate", "unknown\n");
    tree.write("run/ppp-operstate.pid", "107\nppp4\n");

    Backend backend(tree);
    PppdDialUp& d = backend.dialUp;
    EXPECT_EQ(d.connectionState(100), kStateConnected);
    EXPECT_EQ(d.connectionState(101), kStateConnecting);
    EXPECT_EQ(d.connectionState(102), kStateConnecting);
    EXPECT_EQ(d.connectionState(103), kStateConnecting);
    EXPECT_EQ(d.connectionState(104), kStateDisconnected);
    EXPECT_EQ(d.connectionState(105), kStateDisconnected);
    EXPECT_EQ(d.connectionState(106), 0);
    EXPECT_EQ(d.connectionState(107), kStateConnected);
    EXPECT_EQ(d.connectionState(999), 0);
    EXPECT_EQ(d.connectionState(0), 0);
    EXPECT_EQ(d.connectionState(-1), 0);

    // A pid file of another process does not make a link of this one.
    tree.addPidFile("ppp0", 101);
    EXPECT_EQ(d.connectionState(100), kStateConnecting);
    EXPECT_EQ(d.connectionState(101), kStateConnected);
}

TEST(PppdState, ExitingPppdIsNoLongerListedNorSignalled)
{
    FakeTree tree;
    tree.addProcess(30, "pppd", {}, 1, 'Z');
    tree.addPppd(31, "lebt", 2);
    Backend backend(tree);
    EXPECT_EQ(connectionsOf(backend.dialUp), (std::vector<DialUpConnection>{{31, "lebt"}}));
    backend.dialUp.hangUp(30);
    backend.dialUp.hangUp(31);
    EXPECT_EQ(backend.signals, (Signals{{31, SIGTERM}}));
}

TEST(PppdState, ListedButUnreadablePppdIsDisconnected)
{
    FakeTree tree;
    tree.addPppd(40, "weg");
    tree.addProcess(41, "bash", {"bash"});
    Backend backend(tree);
    ASSERT_EQ(connectionsOf(backend.dialUp).size(), 1u);

    // The kernel tears the process down: its files fail while the folder stays.
    for (const char* file : {"stat", "comm", "cmdline"}) {
        tree.remove("proc/40/" + std::string(file));
        tree.remove("proc/41/" + std::string(file));
    }
    EXPECT_EQ(backend.dialUp.connectionState(40), kStateDisconnected);
    EXPECT_EQ(backend.dialUp.connectionState(41), 0);
    EXPECT_TRUE(connectionsOf(backend.dialUp).empty());
}

TEST(PppdHangUp, OnlyLivePppdGetsSigterm)
{
    FakeTree tree;
    tree.addPppd(50, "x");
    tree.addProcess(51, "bash", {"bash"});
    Backend backend(tree);
    for (const std::int32_t pid : {0, -3, 51, 52, 50})
        backend.dialUp.hangUp(pid);
    EXPECT_EQ(backend.signals, (Signals{{50, SIGTERM}}));
}

TEST(PppdRobustness, MalformedProcEntriesAreSkipped)
{
    FakeTree tree;
    tree.addPppd(60, "gut", 50);
    tree.write("proc/61/comm", "pppd\n");
    tree.write("proc/61/stat", "61 (pppd) S 1 2 3"); // cut short
    tree.write("proc/62/comm", "pppd\n");
    tree.write("proc/62/stat", "garbage without parentheses");
    tree.write("proc/63/comm", "pppd\n");
    tree.write("proc/63/stat", "63 (pppd) S 1 1 1 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 notanumber 0\n");
    tree.write("proc/64/comm", "pppd\n"); // no stat at all
    tree.addProcess(65, "pp) S 1 (pppd", {"x"}, 1); // a name that mimics a stat line
    tree.write("proc/66/cmdline", std::string("\xff\xfe\0\0\0call", 10));
    tree.write("proc/66/comm", "\x01\x02");
    tree.write("proc/0123/comm", "pppd\n");
    tree.write("proc/99999999999/comm", "pppd\n");
    tree.write("proc/12abc/comm", "pppd\n");
    tree.write("proc/self", "not a folder");
    tree.write("proc/67", "a file where a folder should be");
    tree.addProcess(68, "pppd", {"pppd", "call", "mit ) Klammer ( und  Blanks"}, 60);
    Backend backend(tree);

    EXPECT_EQ(connectionsOf(backend.dialUp),
              (std::vector<DialUpConnection>{{60, "gut"}, {68, "mit ) Klammer ( und  Blanks"}}));
    for (const std::int32_t pid : {61, 62, 63, 65, 66, 67})
        EXPECT_EQ(backend.dialUp.connectionState(pid), 0) << pid;
}

TEST(PppdRobustness, GarbagePidFilesAreIgnored)
{
    FakeTree tree;
    tree.addPppd(70, "x");
    tree.addInterface("ppp0", true);
    tree.addInterface("ppp1", true);
    tree.addInterface("ppp2", true);
    tree.addInterface("ppp3", true);
    tree.write("run/ppp0.pid", "seventy\n");
    tree.write("run/ppp1.pid", "70abc\n");
    tree.write("run/ppp2.pid", "-70\n");
    tree.write("run/ppp3.pid", "");
    tree.write("run/ppp-a.pid", "70\n../../etc\n");
    tree.write("run/ppp-b.pid", "99999999999999999999\nppp0\n");
    tree.write("run/ppp-.pid", "70\nppp1\n");
    Backend backend(tree);
    EXPECT_EQ(backend.dialUp.interfaceOf(70), "");
    EXPECT_EQ(backend.dialUp.connectionState(70), kStateConnecting);

    // A pid file with blanks and a CRLF line end still counts.
    tree.write("run/ppp3.pid", " 70 \r\n");
    EXPECT_EQ(backend.dialUp.interfaceOf(70), "ppp3");
    EXPECT_EQ(backend.dialUp.connectionState(70), kStateConnected);
}

TEST(PppdRobustness, VanishingProcessesDropOut)
{
    FakeTree tree;
    tree.addPppd(80, "erst");
    tree.addPppd(81, "dann", 2000);
    Backend backend(tree);
    EXPECT_EQ(connectionsOf(backend.dialUp).size(), 2u);
    tree.removeProcess(80);
    EXPECT_EQ(connectionsOf(backend.dialUp), (std::vector<DialUpConnection>{{81, "dann"}}));
    EXPECT_EQ(backend.dialUp.connectionState(80), 0);
    tree.removeProcess(81);
    EXPECT_TRUE(connectionsOf(backend.dialUp).empty());
}

TEST(PppdRobustness, ProcessThatBecomesPppdIsFound)
{
    FakeTree tree;
    // pon runs pppd in its own pid with exec.
    tree.addProcess(90, "pon", {"/bin/sh", "/usr/bin/pon", "isp"});
    Backend backend(tree);
    EXPECT_TRUE(connectionsOf(backend.dialUp).empty());
    tree.addPppd(90, "isp");
    EXPECT_EQ(connectionsOf(backend.dialUp), (std::vector<DialUpConnection>{{90, "isp"}}));

    // A long-known process that does the same is found a few scans later.
    tree.addProcess(91, "wrapper", {"wrapper"});
    for (int i = 0; i < 40; ++i)
        connectionsOf(backend.dialUp);
    tree.addPppd(91, "spät", 1);
    bool found = false;
    for (int i = 0; i < 128 && !found; ++i)
        found = connectionsOf(backend.dialUp).front().handle == 91;
    EXPECT_TRUE(found);
}

} // namespace
} // namespace zumi
