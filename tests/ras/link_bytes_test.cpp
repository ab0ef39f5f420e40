#include "fake_tree.h"
#include "link_bytes.h"
#include "platform_backend.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

using test::FakeTree;

TEST(LinkBytes, SumsSentAndReceivedModulo2To32)
{
    FakeTree tree;
    tree.addPppd(100, "isp");
    tree.addInterface("ppp0", true, "4294967280", "32");
    tree.addPidFile("ppp0", 100);
    LinkBytes bytes(tree.root());
    EXPECT_EQ(bytes.bytesTotal(100), 16u);

    // The kernel's counters are 64-bit.
    tree.addInterface("ppp0", true, "4294967301", "7");
    EXPECT_EQ(bytes.bytesTotal(100), 12u);
    tree.addInterface("ppp0", true, "1500", "250000");
    EXPECT_EQ(bytes.bytesTotal(100), 251500u);
}

TEST(LinkBytes, ZeroWhenNothingCanBeRead)
{
    FakeTree tree;
    tree.addPppd(100, "isp");
    tree.addInterface("ppp0", true, "1", "2");
    LinkBytes bytes(tree.root());
    EXPECT_EQ(bytes.bytesTotal(100), 0u); // no pid file: the link is not up
    tree.addPidFile("ppp0", 100);
    EXPECT_EQ(bytes.bytesTotal(100), 3u);
    EXPECT_EQ(bytes.bytesTotal(0), 0u);
    EXPECT_EQ(bytes.bytesTotal(101), 0u);

    for (const char* garbage : {"abc", "", "-1", "12 34", "0x10", "99999999999999999999999"}) {
        tree.write("sys/class/net/ppp0/statistics/rx_bytes", garbage);
        EXPECT_EQ(bytes.bytesTotal(100), 0u) << '"' << garbage << '"';
    }
    tree.write("sys/class/net/ppp0/statistics/rx_bytes", "2\n");
    tree.remove("sys/class/net/ppp0/statistics/tx_bytes");
    EXPECT_EQ(bytes.bytesTotal(100), 0u);

    tree.remove("sys/class/net/ppp0"); // the interface went with its pppd
    EXPECT_EQ(bytes.bytesTotal(100), 0u);
}

TEST(PlatformBackend, ReadsTheLinkOfTheActiveConnection)
{
    FakeTree tree;
    tree.addPeer("isp");
    tree.addPppd(100, "isp");
    tree.addInterface("ppp0", true, "10", "20");
    tree.addPidFile("ppp0", 100);
    PlatformBackend backend = makePlatformBackend(tree.root());
    ASSERT_TRUE(backend.dialUp && backend.linkBytes);
    const ConnectionList list = backend.dialUp->enumConnections();
    ASSERT_EQ(list.connections.size(), 1u);
    EXPECT_EQ(list.connections[0].entryName, "isp");
    EXPECT_EQ(backend.dialUp->connectionState(list.connections[0].handle), kStateConnected);
    EXPECT_EQ(backend.linkBytes->bytesTotal(list.connections[0].handle), 30u);
    EXPECT_EQ(backend.dialUp->phonebookEntries(), std::vector<std::string>{"isp"});
}

} // namespace
} // namespace zumi
