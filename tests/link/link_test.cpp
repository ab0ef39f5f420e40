#include "bytes_total.h"
#include "connection_queries.h"
#include "link_bytes.h"
#include "platform_backend.h"
#include "pppd_dialup.h"
#include "stand_in_link.h"
#include "win_version.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <thread>

namespace zumi {
namespace {

using namespace std::chrono_literals;
using test::StandInLink;

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!StandInLink::canRun())
            GTEST_SKIP() << StandInLink::whyNot();
        const ConnectionList before = dialUp.enumConnections();
        ASSERT_TRUE(before.ok);
        if (!before.connections.empty())
            GTEST_SKIP() << "another pppd runs here (pid " << before.connections.front().handle
                         << "); these tests need to be the only link";
    }

    PppdDialUp dialUp{"/"};
};

// Waits until the process has exited, leaving it a zombie (not reaped).
bool waitUntilZombie(std::int32_t pid)
{
    for (int i = 0; i < 500; ++i) {
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid)
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

TEST_F(LinkTest, BackendFollowsALinkFromUpToHangUp)
{
    auto link = StandInLink::start("zumi link test");
    ASSERT_TRUE(link) << "the stand-in pppd did not come up";
    PlatformBackend backend = makePlatformBackend("/");

    std::int32_t handle = 0;
    EXPECT_EQ(getActiveConnection(*backend.dialUp, handle), "zumi link test");
    EXPECT_EQ(handle, link->pid());
    EXPECT_EQ(getConnectState(*backend.dialUp, handle), kStateConnected);
    EXPECT_EQ(dialUp.interfaceOf(handle), link->interfaceName());

    // The counter the monitor reads on this platform.
    BytesTotal bytes(getWinVersion(), ByteSources{nullptr, nullptr, nullptr, backend.linkBytes.get()});
    const std::uint32_t start = bytes.getBytesTotal(handle);
    ASSERT_TRUE(link->rx(20000));
    const std::uint32_t afterRx = bytes.getBytesTotal(handle);
    EXPECT_GE(static_cast<std::uint32_t>(afterRx - start), 20000u);
    ASSERT_TRUE(link->tx(30000));
    const std::uint32_t afterTx = bytes.getBytesTotal(handle);
    EXPECT_GE(static_cast<std::uint32_t>(afterTx - afterRx), 30000u);
    EXPECT_LT(static_cast<std::uint32_t>(afterTx - start), 60000u) << "traffic counted that the test did not send";

    hangUpConnection(*backend.dialUp);
    ASSERT_TRUE(waitUntilZombie(link->pid())) << "the stand-in did not end on the hang-up";
    EXPECT_EQ(getConnectState(*backend.dialUp, handle), kStateDisconnected);
    EXPECT_EQ(getActiveConnection(*backend.dialUp, handle), "");
    EXPECT_EQ(handle, 0);

    ASSERT_TRUE(link->waitForExit(5s));
    EXPECT_TRUE(link->gotSigterm());
    EXPECT_EQ(getConnectState(*backend.dialUp, link->pid()), 0);
    EXPECT_EQ(backend.linkBytes->bytesTotal(link->pid()), 0u);
    EXPECT_FALSE(std::filesystem::exists("/run/" + link->interfaceName() + ".pid"));
    EXPECT_FALSE(std::filesystem::exists("/sys/class/net/" + link->interfaceName()));
}

TEST_F(LinkTest, SteadyTrafficKeepsTheCounterGrowing)
{
    auto link = StandInLink::start("rate", 7);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->interfaceName(), "ppp7");
    LinkBytes bytes("/");
    ASSERT_TRUE(link->rate(100000));
    std::uint32_t last = bytes.bytesTotal(link->pid());
    for (int i = 0; i < 3; ++i) {
        std::this_thread::sleep_for(300ms);
        const std::uint32_t now = bytes.bytesTotal(link->pid());
        EXPECT_GT(now, last);
        last = now;
    }
    ASSERT_TRUE(link->rate(0));
    EXPECT_TRUE(link->stop());
    EXPECT_TRUE(link->gotSigterm());
}

TEST_F(LinkTest, TheLongestRunningLinkIsTheConnection)
{
    auto first = StandInLink::start("erste");
    ASSERT_TRUE(first);
    std::this_thread::sleep_for(30ms); // start times count in clock ticks
    auto second = StandInLink::start("zweite");
    ASSERT_TRUE(second);

    const ConnectionList list = dialUp.enumConnections();
    ASSERT_EQ(list.connections.size(), 2u);
    EXPECT_EQ(list.connections[0].handle, first->pid());
    EXPECT_EQ(list.connections[0].entryName, "erste");
    EXPECT_EQ(list.connections[1].entryName, "zweite");
    EXPECT_EQ(dialUp.connectionState(second->pid()), kStateConnected);

    hangUpConnection(dialUp);
    ASSERT_TRUE(first->waitForExit(5s));
    EXPECT_TRUE(first->gotSigterm());
    std::int32_t handle = 0;
    EXPECT_EQ(getActiveConnection(dialUp, handle), "zweite");
    EXPECT_EQ(handle, second->pid());
}

} // namespace
} // namespace zumi
