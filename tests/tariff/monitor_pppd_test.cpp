#include "monitor_rig.h"
#include "ras/pppd/link_bytes.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace zumi {
namespace {

using test::Rig;
using Texts = test::Rig::Texts;

// A pppd link (pid 7, as the rig dials) on a fake /sys tree, carrying 1000
// bytes a second (tx), metered on 10 s units with the low-traffic rule.
struct TreeLink {
    static constexpr const char* kTx = "sys/class/net/ppp0/statistics/tx_bytes";
    static constexpr const char* kRx = "sys/class/net/ppp0/statistics/rx_bytes";
    explicit TreeLink(std::uint64_t startTotal)
        : tx(startTotal)
    {
        write("run/ppp0.pid", "7\n");
        write("sys/class/net/ppp0/ifindex", "5\n");
        write(kRx, "0\n");
        write(kTx, std::to_string(tx) + "\n");
        rig.connect();
    }
    void write(const std::string& path, const std::string& text) const { test::writeText(tree.path / path, text); }
    // Ticks with 1000 more bytes before each; returns the hang-ups so far.
    std::size_t run(int count)
    {
        for (int i = 0; i < count; ++i) {
            tx += 1000;
            write(kTx, std::to_string(tx) + "\n");
            rig.tick();
        }
        return rig.dialUp.hangUps.size();
    }

    const test::TempFolder tree;
    std::uint64_t tx;
    LinkBytes source{tree.path};
    Rig rig{"10", 1, &source};
};

TEST(ByteHistory, ARestartedOrUnreadableCounterIsNoTrafficAWrapIs)
{
    constexpr std::uint64_t kGiB = 1ull << 30;
    TreeLink recreated(3 * kGiB / 2);
    recreated.run(16);
    std::filesystem::remove(recreated.tree.path / TreeLink::kTx); // unreadable at unit 2's check
    recreated.rig.tick();
    EXPECT_EQ(recreated.run(13), 0u);
    recreated.write("sys/class/net/ppp0/ifindex", "6\n"); // pppd made its unit anew, count not below
    recreated.tx = 2 * kGiB;
    EXPECT_EQ(recreated.run(10), 0u);
    recreated.tx = 0; // the same unit's count fell
    EXPECT_EQ(recreated.run(20), 0u);
    for (const std::string& speed : recreated.rig.info.speedTexts)
        EXPECT_TRUE(speed == "0,0 KB/s" || speed == "0,5 KB/s" || speed == "1,0 KB/s") << speed;

    TreeLink missing(3 * kGiB); // above 2 GiB a fall to 0 looked like 1 GiB in one tick
    missing.run(4);
    std::filesystem::remove(missing.tree.path / TreeLink::kRx);
    missing.rig.tick();
    missing.write(TreeLink::kRx, "0\n");
    missing.run(2);
    EXPECT_EQ(missing.rig.info.speedTexts,
              (Texts{"0,5 KB/s", "1,0 KB/s", "1,0 KB/s", "1,0 KB/s", "0,0 KB/s", "0,5 KB/s", "1,0 KB/s"}));

    TreeLink wraps((1ull << 32) - 4500); // the 32-bit total wraps at the 5th tick
    EXPECT_EQ(wraps.run(30), 0u);
    EXPECT_EQ(std::count(wraps.rig.info.speedTexts.begin(), wraps.rig.info.speedTexts.end(), "1,0 KB/s"), 29);
}

} // namespace
} // namespace zumi
