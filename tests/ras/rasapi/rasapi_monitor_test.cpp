// A whole connection metered by the real monitor over the RAS backend and the
// stand-in rasapi32.dll: fake clock and views, real RAS calls.
#include "metered_monitor.h"
#include "fake_clock.h"
#include "ras/rasapi/ras_bytes.h"
#include "ras/rasapi/rasapi_dialup.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace zumi {
namespace {

using Texts = std::vector<std::string>;

// The one connection as RAS lists it, with its byte counters.
void connection(unsigned long long sent, unsigned received = 0)
{
    const std::wstring line = L"9 8192 " + std::to_wstring(sent) + L" " + std::to_wstring(received) + L" Net1";
    SetEnvironmentVariableW(L"ZUMI_RAS", line.c_str());
    SetEnvironmentVariableW(L"ZUMI_RAS_SIZE", nullptr);
    SetEnvironmentVariableW(L"ZUMI_RAS_REFUSE", nullptr);
}

std::wstring listed()
{
    wchar_t value[256] = {};
    GetEnvironmentVariableW(L"ZUMI_RAS", value, 256);
    return value;
}

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
    const auto tick = [&] {
        clock.advance(1);
        metered.monitor.Timer_Timer();
    };

    connection(4294965000u);
    tick();
    ASSERT_TRUE(metered.monitor.metering());
    // 2048 bytes a second, the sent counter passing 2^32 on the third second.
    for (unsigned long long second = 1; second <= 5; ++second) {
        connection((4294965000u + 2048 * second) % 4294967296u, 100);
        tick();
    }
    EXPECT_EQ(metered.info.speedText(), "2,0 KB/s") << "a wrapped counter is traffic, not a new count";
    EXPECT_EQ(metered.info.timeText(), "0:05");

    // Into the second unit: its time counts down from the full unit again.
    for (int i = 0; i < 6; ++i)
        tick();
    EXPECT_EQ(metered.info.timeText(), "0:11");
    EXPECT_EQ(metered.info.taktText(), "0:09");
    EXPECT_EQ(listed(), L"9 8192 " + std::to_wstring((4294965000u + 2048ull * 5) % 4294967296u) + L" 100 Net1");

    // "Nach laufender Einheit": RAS hangs up in the last seconds of this unit, not before.
    metered.autoHangup.arm(0);
    for (int i = 0; i < 5; ++i)
        tick();
    EXPECT_FALSE(listed().empty()) << "hung up before the unit's end";
    tick();
    EXPECT_TRUE(listed().empty()) << "RasHangUpW never came";
    tick();
    EXPECT_FALSE(metered.monitor.metering());
    Texts hangups;
    for (const std::string& line : log)
        if (line.rfind("hangup.", 0) == 0)
            hangups.push_back(line);
    EXPECT_EQ(hangups, Texts{"hangup.done Net1 2 17 s 2 units"});
}

} // namespace
} // namespace zumi
