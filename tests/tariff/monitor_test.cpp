#include "monitor_rig.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

using test::CallLog;
using Rig = test::MonitorRig;

TEST(MonitorTick, StartAndEndOfAConnectionInOrder)
{
    Rig rig;
    rig.settings.options.HangupSnd = true;
    rig.tick(2);   // idle ticks touch nothing
    rig.connect(); // shows "0:00" twice and meters nothing yet
    EXPECT_EQ(rig.log, (CallLog{"tray.online Connected: Net1", "menu.disconnectShown 1", "info.progress 0.000000",
                                "info.show", "info.time 0:00", "info.takt 0:00"}));
    rig.log.clear();
    rig.dialUp.states[7] = kStateDisconnected; // still listed, but gone
    rig.tick();
    EXPECT_EQ(rig.log, (CallLog{"tray.offline  Zumi ", "menu.disconnectShown 0", "info.unload",
                                "sound.play hangup.wav wait", "menu.metering 0"}));
}

TEST(UnitAccounting, SixtySecondGridWithAndWithoutLeadTime)
{
    Rig rig;
    rig.settings.options.Vorlauf = 2; // the count starts 1.728 s after the detecting tick
    rig.connect();
    rig.tick(4);
    EXPECT_EQ(rig.info.timeTexts, (std::vector<std::string>{"0:00", "0:01", "0:00", "0:01", "0:02"}));
    EXPECT_EQ(rig.info.taktTexts, (std::vector<std::string>{"0:00", "0:59", "1:00", "0:59", "0:58"}));

    Rig plain;
    plain.connect();
    plain.tick(61); // the texts [k] are those of the k-th second
    EXPECT_EQ(plain.info.taktTexts[59], "0:01");
    EXPECT_NEAR(plain.info.progressValues[59], 98.333, 0.001);
    EXPECT_EQ(plain.info.taktTexts[60], "1:00");
    EXPECT_EQ(plain.info.taktTexts[61], "0:59");
    plain.tick(1, 35999 - 61);
    EXPECT_EQ(plain.info.timeText(), "9:59:59");
    plain.tick();
    EXPECT_EQ(plain.info.timeText(), "0:00"); // hours from 10 on are not shown
}

TEST(UnitAccounting, DataRateOverTheLastTwoTicks)
{
    Rig rig;
    rig.connect(); // the start reading is 0; rates are always over the last two ticks
    for (std::uint32_t total : {10000, 15000, 15000, 15000 + 204800, 500}) {
        rig.bytes.total = total;
        rig.tick();
    }
    // Nothing since the previous tick and a restarted counter both show no traffic.
    EXPECT_EQ(rig.info.speedTexts,
              (std::vector<std::string>{"4,9 KB/s", "7,3 KB/s", "0,0 KB/s", "100 KB/s", "0,0 KB/s"}));
}

// On 10 s units, unit k is checked in its last three seconds at tick 10k - 3;
// fewer than 512 bytes (the default) hang up.
TEST(LowTrafficRule, ComparesTheSamplesHangupTakteUnitsApart)
{
    Rig one("10", 1);
    one.connect();
    EXPECT_EQ(one.run(7), 0u); // no traffic, but the first unit is not complete
    EXPECT_EQ(one.run(10, 511), 1u);
    EXPECT_EQ(one.run(2), 1u); // once per unit
    EXPECT_EQ(one.run(8, 5000), 1u);
    EXPECT_EQ(one.run(10, 512), 1u);
    EXPECT_EQ(one.run(10), 2u); // the line stayed up: it asks again

    Rig three("10", 3);
    three.connect();
    three.run(7);
    EXPECT_EQ(three.run(30, 600), 0u); // the samples at 7 and 37 differ by 600 bytes
    EXPECT_EQ(three.run(10), 1u);      // those at 17 and 47 do not
}

// Armed in the third second of the first 10 s unit.
struct AfterUnits : Rig {
    explicit AfterUnits(int units)
        : Rig("10")
    {
        connect();
        tick(2);
        autoHangup.AutoHangupUnitsToWait = units;
        autoHangup.AutoHangupPastUnits = 0;
    }
};

TEST(AfterUnitsRule, HangsUpAtTheEndOfTheUnitInProgressOrOfLaterOnes)
{
    AfterUnits now(0); // "Nach laufender Einheit"
    EXPECT_EQ(now.run(4), 0u);
    EXPECT_EQ(now.run(1), 1u); // 3 s left
    EXPECT_EQ(now.menu.unchecks, 1);
    EXPECT_EQ(now.run(20), 1u);

    AfterUnits one(1); // "Nach 1 weiteren Einheit"
    EXPECT_EQ(one.run(14), 0u);
    EXPECT_EQ(one.run(1), 1u);

    AfterUnits skipped(1);
    skipped.tick(7);    // 9 s
    skipped.tick(1, 2); // 11 s: the first second of unit 2 is skipped and counts no unit
    EXPECT_EQ(skipped.run(15), 0u);
    EXPECT_EQ(skipped.run(1), 1u);
}

TEST(MonitorTick, RenamesDirectCablesAndUnknownNames)
{
    Rig renamed;
    renamed.connect("Net1");
    renamed.tick(5);
    renamed.dialUp.connections[0].entryName = "Net2"; // no empty tick between: the same run
    renamed.tick(2);
    EXPECT_EQ(renamed.tray.calls.size(), 1u);
    EXPECT_EQ(renamed.monitor.activeConn(), 0);
    EXPECT_EQ(renamed.info.timeText(), "0:07");

    Rig cable;
    cable.connect("Direct Cable Connection");
    EXPECT_TRUE(cable.log.empty());

    Rig full("10"); // every slot named, none of them this one
    for (int i = 0; i < kMaxConnections; ++i)
        full.names[i] = "Net" + std::to_string(i);
    full.connect("Elsewhere");
    full.tick();
    EXPECT_EQ(full.monitor.activeConn(), kNoConnectionSlot);
    EXPECT_EQ(full.info.taktText(), "0:59");
}

TEST(MonitorTick, DaylightSavingMovesNeitherOnlineTimeNorGrid)
{
    Rig rig; // from 10:00
    rig.settings.tariffs.setStart(0, 1, "11");
    rig.settings.tariffs.setTakt(0, 1, "150");
    rig.connect();
    rig.tick(30);
    rig.clock.jumpLocal(3600); // 11:00:31: the later band is found by the wall clock
    rig.tick();
    EXPECT_EQ(rig.info.timeText(), "0:31");
    EXPECT_EQ(rig.info.taktText(), "1:59"); // 150 s units, still anchored at the start
}

TEST(UnitAccounting, WarningSoundTenSecondsBeforeTheEndAndBeepWhenItFails)
{
    Rig rig("20");
    rig.settings.options.WarnSnd = true;
    rig.connect();
    rig.tick(10); // 10 s of the 20 s unit left
    ASSERT_EQ(rig.sound.plays.size(), 1u);
    EXPECT_EQ(rig.sound.plays[0].fileName, "pop.wav");
    EXPECT_TRUE(rig.sound.plays[0].noWait);
    EXPECT_EQ(rig.sound.beeps, 0);
    rig.sound.playSucceeds = false;
    rig.tick(20); // the next unit's warning cannot play
    EXPECT_EQ(rig.sound.plays.size(), 2u);
    EXPECT_EQ(rig.sound.beeps, 1);
}

} // namespace
} // namespace zumi
