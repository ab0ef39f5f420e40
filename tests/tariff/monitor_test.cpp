#include "fake_clock.h"
#include "fake_dialup.h"
#include "fake_views.h"
#include "monitor.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

using namespace std::chrono;
using test::CallLog;

// A whole monitor on fakes. Ticks come one second apart unless a test says otherwise.
struct Rig {
    CallLog log;
    test::FakeClock clock; // Tuesday 10 March 2026, 10:00:00
    test::FakeDialUp dialUp;
    test::FakeByteCounter bytes;
    test::FakeInfoView info{&log};
    test::FakeTrayView tray{&log};
    test::FakeMenuView menu{&log};
    test::FakeSoundPlayer sound{&log};
    test::FakePopupWatchdog watchdog;
    Settings settings;
    ConnNames names{"Net1", "Net2"};
    AutoHangupState autoHangup;
    Monitor monitor{{clock, dialUp, bytes, info, tray, menu, sound, watchdog, settings, names, autoHangup}};

    Rig() { settings.options.Vorlauf = 0; }
    void taktFor(int c, const char* seconds) // one band all day, every day
    {
        settings.tariffs.setStart(c, 0, "0");
        settings.tariffs.setTakt(c, 0, seconds);
        settings.tariffs.setStart(c, 4, "0");
        settings.tariffs.setTakt(c, 4, seconds);
    }
    void tick(int count = 1, double step = 1)
    {
        for (int i = 0; i < count; ++i) {
            clock.advance(step);
            monitor.Timer_Timer();
        }
    }
    void connect(const std::string& name = "Net1") // and the tick that notices it
    {
        dialUp.connect(7, name);
        tick();
    }
    std::size_t hangUps() const { return dialUp.hangUps.size(); }
};

TEST(MonitorTick, StartAndEndOfAConnectionInOrder)
{
    Rig rig;
    rig.settings.options.HangupSnd = true;
    rig.sound.playSucceeds = false;
    rig.autoHangup.AutoHangupUnitsToWait = 3;
    rig.tick(3);
    EXPECT_TRUE(rig.log.empty()); // idle ticks touch nothing
    EXPECT_EQ(rig.watchdog.runs, 3);

    rig.connect();
    EXPECT_EQ(rig.log, (CallLog{"tray.online Connected: Net1", "menu.disconnectShown 1", "info.progress 0.000000",
                                "info.show", "info.time 0:00", "info.takt 0:00"}));
    EXPECT_TRUE(rig.monitor.metering());
    EXPECT_EQ(rig.monitor.activeConn(), 0);
    EXPECT_EQ(rig.monitor.hActiveConn(), 7);
    EXPECT_EQ(rig.autoHangup.AutoHangupUnitsToWait, -1);

    rig.log.clear();
    rig.tick(); // the first metering tick
    ASSERT_FALSE(rig.log.empty());
    EXPECT_EQ(rig.log.front(), "info.keepOnTop");
    EXPECT_EQ(rig.info.timeText(), "0:01");
    EXPECT_EQ(rig.info.taktText(), "0:59");

    rig.log.clear();
    rig.autoHangup.AutoHangupUnitsToWait = 2;
    rig.dialUp.states[7] = kStateDisconnected; // still listed, but gone
    rig.tick();
    EXPECT_EQ(rig.log, (CallLog{"tray.offline  Zumi ", "menu.disconnectShown 0", "info.unload",
                                "sound.play hangup.wav wait", "menu.metering 0"}));
    EXPECT_EQ(rig.sound.beeps, 0); // a failed hang-up sound stays silent
    EXPECT_FALSE(rig.monitor.metering());
    EXPECT_EQ(rig.monitor.activeConn(), -1);
    EXPECT_EQ(rig.autoHangup.AutoHangupUnitsToWait, -1);
    rig.log.clear();
    rig.dialUp.disconnectAll();
    rig.tick(2);
    EXPECT_TRUE(rig.log.empty());
}

TEST(MonitorTick, AFailedQueryEndsTheRunAndHangupSoundIsOptional)
{
    Rig rig;
    rig.connect();
    rig.tick();
    rig.dialUp.enumFails = true;
    rig.tick();
    EXPECT_FALSE(rig.monitor.metering());
    EXPECT_TRUE(rig.sound.plays.empty());
}

TEST(MonitorTick, LeadTimeMakesTheFirstSecondsCountBackwards)
{
    Rig rig;
    rig.settings.options.Vorlauf = 2; // the count starts 1.728 s after the detecting tick
    rig.connect();
    rig.tick(4);
    EXPECT_EQ(rig.info.timeTexts, (std::vector<std::string>{"0:00", "0:01", "0:00", "0:01", "0:02"}));
    EXPECT_EQ(rig.info.taktTexts, (std::vector<std::string>{"0:00", "0:59", "1:00", "0:59", "0:58"}));
}

TEST(UnitAccounting, SixtySecondGrid)
{
    Rig rig;
    rig.taktFor(0, "60");
    rig.connect();
    rig.tick(59);
    EXPECT_EQ(rig.info.taktText(), "0:01");
    EXPECT_NEAR(rig.info.progress(), 98.333, 0.001);
    rig.tick();
    EXPECT_EQ(rig.info.timeText(), "1:00");
    EXPECT_EQ(rig.info.taktText(), "1:00");
    EXPECT_EQ(rig.info.progress(), 0);
    rig.tick();
    EXPECT_EQ(rig.info.taktText(), "0:59");
}

TEST(UnitAccounting, OnlineTimeHidesHoursFromTenAndWrapsDaily)
{
    Rig rig;
    rig.taktFor(0, "7");
    rig.connect();
    rig.tick(1, 3599);
    EXPECT_EQ(rig.info.timeText(), "59:59");
    rig.tick();
    EXPECT_EQ(rig.info.timeText(), "1:00:00");
    rig.tick(1, 35999 - 3600);
    EXPECT_EQ(rig.info.timeText(), "9:59:59");
    rig.tick();
    EXPECT_EQ(rig.info.timeText(), "0:00");
    rig.tick(1, 86399 - 36000);
    EXPECT_EQ(rig.info.timeText(), "59:59");
    EXPECT_EQ(rig.info.taktText(), "0:02"); // 86399 = 7 * 12342 + 5
    rig.tick();
    EXPECT_EQ(rig.info.timeText(), "0:00");
    EXPECT_EQ(rig.info.taktText(), "0:07"); // the grid starts again after 24 hours
}

TEST(UnitAccounting, DataRate)
{
    Rig rig;
    rig.settings.options.ShowSpeed = true;
    const auto tickWith = [&](std::uint32_t total) {
        rig.bytes.total = total;
        rig.tick();
        return rig.info.speedText();
    };
    tickWith(0);
    rig.connect();
    EXPECT_EQ(tickWith(10000), "4,9 KB/s"); // the start reading was 0
    EXPECT_EQ(tickWith(15000), "7,3 KB/s"); // always over the last two ticks
    EXPECT_EQ(tickWith(20000), "4,9 KB/s");
    EXPECT_EQ(tickWith(20000), "0,0 KB/s"); // nothing since the previous tick
    EXPECT_EQ(tickWith(20000 + 102400), "50,0 KB/s");
    EXPECT_EQ(tickWith(20000 + 204800), "100 KB/s");
    EXPECT_EQ(tickWith(20000 + 102400 + 2150400), "1050 KB/s");
    EXPECT_EQ(tickWith(500), "0,0 KB/s"); // a restarted counter is no negative traffic
    EXPECT_EQ(tickWith(0xFFFFFC00u), "0,0 KB/s");
    EXPECT_EQ(tickWith(0xFFFFFC00u), "0,0 KB/s");
    EXPECT_EQ(tickWith(0xFFFFFE00u), "0,3 KB/s"); // upper-half readings count; 0.25 rounds up
    EXPECT_EQ(tickWith(0x00000200u), "0,8 KB/s"); // across the wrap

    rig.settings.options.ShowSpeed = false;
    const int reads = rig.bytes.reads;
    tickWith(900000);
    EXPECT_EQ(rig.bytes.reads, reads); // no option needs the counter
}

struct LowTraffic : Rig {
    LowTraffic(int takte)
    {
        settings.options.AutoHangup = true;
        settings.options.HangupBytes = 512;
        settings.options.HangupTakte = takte;
        taktFor(0, "10");
        connect(); // byte total 0; unit k ends in its last three seconds at tick 10k - 3
    }
    // Runs to the given tick after the detecting one, adding the bytes on its first tick.
    void runTo(int target, std::uint32_t traffic = 0)
    {
        bytes.total += traffic;
        while (now < target) {
            tick();
            ++now;
        }
    }
    int now = 0;
};

TEST(LowTrafficRule, OneUnitChecksEachUnitFromTheSecondOn)
{
    LowTraffic rig(1);
    rig.runTo(7); // no traffic at all, but the first unit is not complete
    EXPECT_EQ(rig.hangUps(), 0u);
    rig.runTo(17, 511);
    EXPECT_EQ(rig.hangUps(), 1u); // 511 bytes during the second unit
    rig.runTo(19);
    EXPECT_EQ(rig.hangUps(), 1u); // once per unit
    rig.runTo(27, 5000);
    EXPECT_EQ(rig.hangUps(), 1u);
    rig.runTo(37, 512);
    EXPECT_EQ(rig.hangUps(), 1u);
    rig.runTo(47);
    EXPECT_EQ(rig.hangUps(), 2u); // the line stayed up: it asks again
}

TEST(LowTrafficRule, ThreeUnitsCompareTheEndsOfUnitsKMinusThreeAndK)
{
    LowTraffic rig(3);
    rig.runTo(7);
    rig.runTo(27, 600); // 600 bytes in unit 2 only
    EXPECT_EQ(rig.hangUps(), 0u);
    rig.runTo(37);
    EXPECT_EQ(rig.hangUps(), 0u); // units 2..4 carried 600 bytes
    rig.runTo(47);
    EXPECT_EQ(rig.hangUps(), 1u); // units 3..5 carried none
}

TEST(LowTrafficRule, OffWithoutAutoHangup)
{
    LowTraffic rig(1);
    rig.settings.options.AutoHangup = false;
    rig.runTo(60);
    EXPECT_EQ(rig.hangUps(), 0u);
}

struct AfterUnits : Rig {
    AfterUnits()
    {
        taktFor(0, "10");
        connect();
        tick(2);
    }
    void arm(int units)
    {
        autoHangup.AutoHangupUnitsToWait = units;
        autoHangup.AutoHangupPastUnits = 0;
    }
};

TEST(AfterUnitsRule, HangsUpAtTheEndOfTheUnitInProgressOrOfLaterOnes)
{
    AfterUnits now;
    now.arm(0); // "Nach laufender Einheit"
    now.tick(4);
    EXPECT_EQ(now.hangUps(), 0u);
    now.tick(); // 3 s left
    EXPECT_EQ(now.hangUps(), 1u);
    EXPECT_EQ(now.autoHangup.AutoHangupUnitsToWait, -1);
    EXPECT_EQ(now.menu.unchecks, 1);
    now.tick(20);
    EXPECT_EQ(now.hangUps(), 1u);

    AfterUnits one;
    one.arm(1); // "Nach 1 weiteren Einheit"
    one.tick(5);
    EXPECT_EQ(one.hangUps(), 0u);
    one.tick(3); // tick 10: first second of the next unit
    EXPECT_EQ(one.autoHangup.AutoHangupPastUnits, 1);
    one.tick(6);
    EXPECT_EQ(one.hangUps(), 0u);
    one.tick();
    EXPECT_EQ(one.hangUps(), 1u);
}

TEST(AfterUnitsRule, ASkippedFirstSecondCountsNoUnit)
{
    AfterUnits rig;
    rig.arm(1);
    rig.tick(7);    // tick 9
    rig.tick(1, 2); // tick 11: the first second of unit 2 is skipped
    rig.tick(15);   // tick 26
    EXPECT_EQ(rig.hangUps(), 0u);
    rig.tick();
    EXPECT_EQ(rig.hangUps(), 1u);
}

TEST(UnitAccounting, WarningSoundTenSecondsBeforeTheUnitEnds)
{
    Rig rig;
    rig.settings.options.WarnSnd = true;
    rig.taktFor(0, "30");
    rig.connect();
    rig.tick(19);
    EXPECT_TRUE(rig.sound.plays.empty());
    rig.tick(); // 10 s left
    ASSERT_EQ(rig.sound.plays.size(), 1u);
    EXPECT_EQ(rig.sound.plays[0].fileName, "pop.wav");
    EXPECT_TRUE(rig.sound.plays[0].noWait);
    EXPECT_EQ(rig.sound.beeps, 0);

    rig.sound.playSucceeds = false;
    rig.tick(30);
    EXPECT_EQ(rig.sound.plays.size(), 2u);
    EXPECT_EQ(rig.sound.beeps, 1);

    rig.tick(29);
    rig.tick(1, 2); // the second with 10 s left is skipped
    rig.tick(10);
    EXPECT_EQ(rig.sound.plays.size(), 2u);
}

TEST(MonitorTick, ARenamedConnectionGoesOnAsTheSameRun)
{
    Rig rig;
    rig.settings.options.HangupSnd = true;
    rig.connect("Net1");
    rig.tick(5);
    rig.dialUp.connections[0].entryName = "Net2";
    rig.tick(2);
    EXPECT_EQ(rig.tray.calls.size(), 1u);
    EXPECT_EQ(rig.info.shows, 1);
    EXPECT_TRUE(rig.sound.plays.empty());
    EXPECT_EQ(rig.monitor.activeConn(), 0);
    EXPECT_EQ(rig.info.timeText(), "0:07");
}

TEST(MonitorTick, DirectCableConnectionsAreNeverMetered)
{
    Rig rig;
    rig.connect("Direct Cable Connection");
    rig.tick(3);
    EXPECT_FALSE(rig.monitor.metering());
    EXPECT_TRUE(rig.log.empty());
}

TEST(MonitorTick, UnknownNamesTakeTheFirstFreeSlotOrNone)
{
    Rig unknown;
    unknown.taktFor(2, "10"); // a slot without a phonebook name
    unknown.connect("Elsewhere");
    unknown.tick();
    EXPECT_EQ(unknown.monitor.activeConn(), 2);
    EXPECT_EQ(unknown.monitor.cycle().cycleSeconds, 10);

    Rig full;
    for (int i = 0; i < kMaxConnections; ++i) {
        full.names[i] = "Net" + std::to_string(i);
        full.taktFor(i, "10");
    }
    full.connect("Elsewhere");
    full.tick();
    EXPECT_EQ(full.monitor.activeConn(), kNoConnectionSlot);
    EXPECT_EQ(full.monitor.cycle().cycleSeconds, 60);
    EXPECT_EQ(full.info.taktText(), "0:59");
}

TEST(MonitorTick, DaylightSavingMovesNeitherOnlineTimeNorGrid)
{
    Rig rig;
    rig.settings.tariffs.setStart(0, 0, "0");
    rig.settings.tariffs.setTakt(0, 0, "60");
    rig.settings.tariffs.setStart(0, 1, "18");
    rig.settings.tariffs.setTakt(0, 1, "150");
    rig.clock.setLocal(year{2026} / March / 27, 17 * 3600);
    rig.connect();
    rig.tick(30);
    EXPECT_EQ(rig.info.taktText(), "0:30");
    rig.clock.jumpLocal(3600); // 18:00:31: the evening band is found by the wall clock
    rig.tick();
    EXPECT_EQ(rig.info.timeText(), "0:31");
    EXPECT_EQ(rig.monitor.cycle().cycleSeconds, 150);
    EXPECT_EQ(rig.info.taktText(), "1:59"); // the grid stays anchored at the start
    rig.clock.jumpLocal(-3600); // and back: 17:00:32
    rig.tick();
    EXPECT_EQ(rig.info.timeText(), "0:32");
    EXPECT_EQ(rig.info.taktText(), "1:58");
}

} // namespace
} // namespace zumi
