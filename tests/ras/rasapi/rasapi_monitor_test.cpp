// The real monitor over the RAS backend and the stand-in rasapi32.dll, on a
// fake clock with fake views.
#include "fake_clock.h"
#include "metered_monitor.h"
#include "ras/rasapi/ras_bytes.h"
#include "ras/rasapi/rasapi_dialup.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

namespace zumi {
namespace {

TEST(RasApiMonitor, MetersAcrossAUnitAndTheCounterWrapAndHangsUpAfterTheUnit)
{
    test::FakeClock clock;
    RasApiDialUp dialUp;
    RasBytes bytes(dialUp.handles());
    test::CallLog log;
    test::MeteredMonitor metered(clock, dialUp, bytes, &log);
    metered.settings.options.Vorlauf = 0;
    metered.taktAllDay("10");
    metered.names = {"Net1"};
    // The second's tick, with RAS listing Net1 while it has not hung up: 2048
    // bytes sent a second, the counter passing 2^32 in the third.
    std::uint32_t second = 0;
    const auto tick = [&](std::uint32_t until) {
        for (; second <= until; ++second) {
            const std::wstring line = L"9 8192 " + std::to_wstring(4294965000u + 2048 * second) + L" 100 Net1";
            if (second == 0 || GetEnvironmentVariableW(L"ZUMI_RAS", nullptr, 0) > 1)
                SetEnvironmentVariableW(L"ZUMI_RAS", line.c_str());
            clock.advance(1);
            metered.monitor.Timer_Timer();
        }
        return GetEnvironmentVariableW(L"ZUMI_RAS", nullptr, 0) > 1;
    };

    tick(5);
    EXPECT_EQ(metered.info.speedText(), "2,0 KB/s") << "a wrapped counter is traffic, not a new count";
    tick(11); // into the second unit, counted down from its full length again
    EXPECT_EQ(metered.info.timeText() + " " + metered.info.taktText(), "0:11 0:09");

    metered.autoHangup.arm(0); // "Nach laufender Einheit": in the unit's last seconds, not before
    EXPECT_TRUE(tick(16));
    EXPECT_FALSE(tick(17)) << "RasHangUpW never came";
    tick(18);
    EXPECT_FALSE(metered.monitor.metering());
    EXPECT_EQ(std::count(log.begin(), log.end(), "hangup.done Net1 2 17 s 2 units"), 1);
}

} // namespace
} // namespace zumi
