#include "platform/win_version.h"
#include "ras/bytes_total.h"
#include "ras/connection_queries.h"
#include "ras/platform_backend.h"
#include "stand_in_link.h"

#include <gtest/gtest.h>

#include <thread>

namespace zumi {
namespace {

using namespace std::chrono_literals;
using test::StandInLink;

TEST(LinkTest, BackendFollowsALinkFromUpToHangUp)
{
    if (!StandInLink::canRun())
        GTEST_SKIP() << StandInLink::whyNot();
    PlatformBackend backend = makePlatformBackend("/");
    if (const ConnectionList before = backend.dialUp->enumConnections(); !before.connections.empty())
        GTEST_SKIP() << "another pppd runs here (pid " << before.connections.front().handle
                     << "); this test needs to be the only link";
    auto link = StandInLink::start("zumi link test");
    ASSERT_TRUE(link) << "the stand-in pppd did not come up";

    std::int32_t handle = 0;
    EXPECT_EQ(getActiveConnection(*backend.dialUp, handle), "zumi link test");
    EXPECT_EQ(handle, link->pid());
    EXPECT_EQ(getConnectState(*backend.dialUp, handle), kStateConnected);

    // The counter the monitor reads on this platform.
    BytesTotal bytes(*backend.linkBytes);
    const std::uint32_t start = bytes.getBytesTotal(handle);
    ASSERT_TRUE(link->rx(20000));
    const std::uint32_t afterRx = bytes.getBytesTotal(handle);
    EXPECT_GE(afterRx - start, 20000u);
    EXPECT_LT(afterRx - start, 30000u) << "traffic counted that the test did not send";

    // Exited but not yet reaped, it is still in /proc, but no longer a connection.
    hangUpConnection(*backend.dialUp);
    for (int i = 0; i < 500 && getConnectState(*backend.dialUp, handle) != kStateDisconnected; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(getConnectState(*backend.dialUp, handle), kStateDisconnected);
    EXPECT_EQ(getActiveConnection(*backend.dialUp, handle), "");
    EXPECT_EQ(handle, 0);

    ASSERT_TRUE(link->waitForExit(5s));
    EXPECT_TRUE(link->gotSigterm());
    EXPECT_EQ(getConnectState(*backend.dialUp, link->pid()), 0);
}

} // namespace
} // namespace zumi
