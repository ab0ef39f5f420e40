// The monitor with the real backend, byte counter and clock over a stand-in
// pppd link: the low-traffic rule hangs up an idle link in the last seconds of
// a unit and leaves a busy one alone.
#include "metered_monitor.h"
#include "platform/system_clock.h"
#include "platform/win_version.h"
#include "ras/platform_backend.h"
#include "stand_in_link.h"

#include <gtest/gtest.h>

#include <thread>

namespace zumi {
namespace {

using namespace std::chrono;

// Meters the link on 10 s units with the low-traffic rule at 512 bytes a unit.
// Its name is in no phonebook slot, so it takes the first free one, 0.
struct LinkRun {
    LinkRun()
    {
        metered.taktAllDay("10");
        metered.settings.options.AutoHangup = true;
        // A tick a second until the monitor noticed the end, for at most 24 ticks.
        const auto first = steady_clock::now();
        for (int tick = 0; tick < 24 && info.unloads == 0; ++tick) {
            std::this_thread::sleep_until(first + seconds{tick});
            monitor.Timer_Timer();
        }
    }

    PlatformBackend backend = makePlatformBackend("/");
    SystemClock clock;
    test::MeteredMonitor metered{clock, *backend.dialUp, *backend.linkBytes};
    test::FakeInfoView& info = metered.info;
    Monitor& monitor = metered.monitor;
};

TEST(MonitorOnALink, TheLowTrafficRuleHangsUpAnIdleLinkButNotABusyOne)
{
    if (!test::StandInLink::canRun())
        GTEST_SKIP() << test::StandInLink::whyNot();
    for (const bool busy : {false, true}) {
        SCOPED_TRACE(busy ? "busy link" : "idle link");
        auto link = test::StandInLink::start("zumitariff");
        ASSERT_TRUE(link) << "the stand-in link did not start";
        link->rate(busy ? 2000 : 0); // bytes a second, far above 512 a unit

        LinkRun run;
        EXPECT_EQ(link->waitForExit(3s), !busy);
        EXPECT_EQ(link->gotSigterm(), !busy);
        EXPECT_EQ(run.monitor.metering(), busy);
        if (busy) {
            EXPECT_NE(run.info.speedText(), "0,0 KB/s") << "the byte counter saw no traffic";
        } else {
            EXPECT_GT(run.info.taktTexts.size(), 11u) << "hung up before the first unit was complete";
            const std::string& takt = run.info.taktText(); // the last one shown before the end
            EXPECT_TRUE(takt == "0:03" || takt == "0:02" || takt == "0:01") << takt;
        }
    }
}

} // namespace
} // namespace zumi
