#include "monitor_rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <iterator>
#include <tuple>

namespace zumi {
namespace {

using test::CallLog;
using test::Rig;
using Texts = test::Rig::Texts;

TEST(MonitorTick, StartAndEndOfAConnectionInOrder)
{
    Rig rig;
    rig.settings.options.HangupSnd = true;
    rig.tick(2); // idle ticks touch nothing
    rig.metered.autoHangup.arm(3);
    rig.connect(); // shows "0:00" twice and meters nothing yet
    EXPECT_FALSE(rig.metered.autoHangup.armed());
    EXPECT_EQ(rig.metered.autoHangup.chosen(), 3); // the menu's mark stays
    EXPECT_EQ(rig.log,
              (CallLog{"tray.online Connected: Net1", "menu.disconnectShown 1", "info.progress 0.000000", "info.show",
                       "info.time 0:00", "info.takt 0:00"}));
    rig.log.clear();
    rig.dialUp.states[7] = kStateDisconnected; // still listed, but gone
    rig.metered.autoHangup.arm(1);
    rig.tick();
    EXPECT_FALSE(rig.metered.autoHangup.armed());
    EXPECT_EQ(rig.metered.autoHangup.chosen(), 1);
    EXPECT_EQ(rig.log,
              (CallLog{"tray.offline  Zumi ", "menu.disconnectShown 0", "info.unload", "sound.play hangup.wav wait",
                       "menu.metering 0"}));
}

TEST(UnitAccounting, TheGridWithLeadTimesLongUnitsAndTheDayWrap)
{
    // Unit, lead time, seconds to the tick after the detecting one; the texts then and a second later.
    for (const auto& [takt, vorlauf, step, first, second] :
         {std::tuple{"60", 1000, 1.0, "14:23 0:37", "14:22 0:38"}, // the count starts 864 s after the detecting tick
          {"60", 0, 35999.0, "9:59:59 0:01", "0:00 1:00"},         // hours from 10 on are not shown
          {"5400", 0, 1.0, "0:01 89:59", "0:02 89:58"},            // unit times from an hour on show all their minutes
          {"7", 0, 86399.6, "0:00 0:07", "0:01 0:06"}}) {          // 86400 is no multiple of 7: the grid starts again
        Rig rig(takt);
        rig.settings.options.Vorlauf = vorlauf;
        rig.connect();
        rig.tick(1, step);
        EXPECT_EQ(rig.info.timeText() + " " + rig.info.taktText(), first) << takt;
        rig.tick();
        EXPECT_EQ(rig.info.timeText() + " " + rig.info.taktText(), second) << takt;
    }
}

// Rates over the last two ticks; the warning ten seconds before a unit's end, a beep when it fails.
TEST(UnitAccounting, DataRateAndTheWarningSound)
{
    Rig rig("20");
    rig.settings.options.WarnSnd = true;
    rig.connect(); // the start reading is 0
    for (std::uint32_t total : {10000, 15000, 15000, 15000 + 204800, 500}) {
        rig.bytes.total = total;
        rig.tick();
    }
    // Nothing since the previous tick and a restarted counter both show no traffic.
    EXPECT_EQ(rig.info.speedTexts, (Texts{"4,9 KB/s", "7,3 KB/s", "0,0 KB/s", "100 KB/s", "0,0 KB/s"}));
    EXPECT_EQ(rig.info.progressValues.back(), 25); // 15 s of the unit left
    rig.tick(4);
    EXPECT_TRUE(rig.logged("sound.").empty());
    rig.tick(); // 10 s of the 20 s unit left
    EXPECT_EQ(rig.logged("sound."), Texts{"sound.play pop.wav nowait"});
    rig.metered.sound.playSucceeds = false;
    rig.tick(20); // the next unit's warning cannot play
    EXPECT_EQ(rig.logged("sound."), (Texts{"sound.play pop.wav nowait", "sound.play pop.wav nowait", "sound.beep"}));
}

// On 10 s units, unit k is checked in its last three seconds at tick 10k - 3;
// fewer than 512 bytes (the default) hang up.
TEST(LowTrafficRule, ComparesTheSamplesHangupTakteUnitsApart)
{
    Rig one("10", 1);
    one.connect();
    EXPECT_EQ(one.run(7), 0u);      // no traffic, but the first unit is not complete
    EXPECT_EQ(one.run(9, 511), 0u); // 4 s left: not yet
    EXPECT_EQ(one.run(1), 1u);
    EXPECT_EQ(one.info.taktText(), "0:03"); // in the last three seconds, not before
    EXPECT_EQ(one.run(2), 1u);              // once per unit
    EXPECT_EQ(one.run(8, 5000), 1u);
    EXPECT_EQ(one.run(10, 512), 1u);
    EXPECT_EQ(one.run(10), 2u); // the line stayed up: it asks again
    // With the first unit's last seconds skipped, a second connection's first
    // check compares with the total at its own start, not the last one's.
    one.dialUp.disconnectAll();
    one.tick();
    one.bytes.total += 70000; // while idle
    one.connect();
    one.run(1, 205);
    EXPECT_EQ(one.info.speedText(), "0,1 KB/s");
    one.tick(4);
    one.tick(1, 5); // 10 s
    EXPECT_EQ(one.run(7), 3u);

    Rig three("10", 3);
    three.connect();
    three.run(7);
    EXPECT_EQ(three.run(30, 600), 0u); // the samples at 7 and 37 differ by 600 bytes
    EXPECT_EQ(three.run(10), 1u);      // those at 17 and 47 do not

    Rig late("10", 1); // a late timer: the one tick in the second unit's last seconds has one left
    late.connect();
    late.run(16);
    late.tick(1, 3);
    EXPECT_EQ(late.dialUp.hangUps.size(), 1u);
}

// What the user is told of a rule's hang-up: a refusal once however often the
// rule asks again, a link still up 3 s after the request, an end as done.
TEST(HangupOutcome, RefusedIneffectiveAndDoneHangUpsOfTheLowTrafficRule)
{
    // 17 ticks into a connection without traffic: the rule has asked once.
    const auto asked = [](Rig& rig) {
        rig.connect();
        return rig.run(17);
    };
    Rig refused("10", 1);
    refused.dialUp.hangUpError = EPERM;
    EXPECT_EQ(asked(refused), 1u);
    EXPECT_EQ(refused.logged("hangup."), (Texts{"hangup.failed Net1 1 " + std::to_string(EPERM)}));
    EXPECT_EQ(refused.run(20), 3u); // the rule asks again in the next units; the user knows already
    EXPECT_EQ(refused.logged("hangup.").size(), 1u);

    Rig stillUp("10", 1);
    asked(stillUp);
    stillUp.tick(2);
    EXPECT_TRUE(stillUp.logged("hangup.").empty());
    stillUp.tick();
    EXPECT_EQ(stillUp.logged("hangup."), (Texts{"hangup.failed Net1 1 0"}));

    // Turned down after the request returned (as NetworkManager answers): told
    // once, with the reason, and not again when the grace time is over.
    Rig refusedLater("10", 1);
    asked(refusedLater);
    refusedLater.metered.hangups.refusedLater(
        {LateRefusal::Request::HangUp, refusedLater.dialUp.connections[0].handle, "Net1", "PermissionDenied", ""});
    refusedLater.tick(4);
    EXPECT_EQ(refusedLater.logged("hangup."), (Texts{"hangup.failed Net1 1 0 PermissionDenied"}));

    Rig done("10", 1);
    done.dialUp.hangUpDrops = true;
    asked(done);
    done.tick();
    EXPECT_EQ(done.logged("hangup."), (Texts{"hangup.done Net1 1 17 s 2 units"}));
}

// Armed in the third second of the first 10 s unit: "Nach laufender Einheit" (0)
// or "Nach 1 weiteren Einheit" hang up once, in the last three seconds.
TEST(AfterUnitsRule, HangsUpAtTheEndOfTheUnitInProgressOrOfLaterOnes)
{
    // Units to wait, a late tick that skips the first second of unit 2 (it counts no unit), ticks before the hang-up.
    for (const auto& [units, skipped, quiet] : {std::tuple{0, false, 4}, {1, false, 14}, {1, true, 15}}) {
        SCOPED_TRACE(std::to_string(units) + (skipped ? " skipped" : ""));
        Rig rig("10");
        rig.connect();
        rig.tick(2);
        rig.metered.autoHangup.arm(units);
        if (skipped) {
            rig.tick(7);    // 9 s
            rig.tick(1, 2); // 11 s
        }
        EXPECT_EQ(rig.run(quiet), 0u);
        EXPECT_EQ(rig.run(1), 1u);
        EXPECT_FALSE(rig.metered.autoHangup.chosen()); // the menu's mark goes with it
        EXPECT_EQ(rig.run(20), 1u);
    }
}

// A renamed connection is the same run; one of no phonebook slot is metered
// without tariff. Daylight saving moves neither the online time nor the grid.
TEST(MonitorTick, RenamedAndUnknownNamesAndDaylightSaving)
{
    Rig renamed;
    renamed.connect("Net1");
    renamed.tick(5);
    renamed.dialUp.connections[0].entryName = "Net2"; // no empty tick between: the same run
    renamed.tick(2);
    EXPECT_EQ(renamed.metered.monitor.activeConn(), 0);
    EXPECT_EQ(renamed.info.timeText(), "0:07");

    Rig full("10"); // every slot named, none of them this one
    for (int i = 0; i < kMaxConnections; ++i)
        full.metered.names[i] = "Net" + std::to_string(i);
    full.connect("Elsewhere");
    full.tick();
    EXPECT_EQ(full.metered.monitor.activeConn(), kNoConnectionSlot);
    EXPECT_EQ(full.info.taktText(), "0:59");

    Rig summer; // from 10:00
    summer.settings.tariffs.setStart(0, 1, "11");
    summer.settings.tariffs.setTakt(0, 1, "150");
    summer.connect();
    summer.tick(30);
    summer.clock.jumpLocal(3600); // 11:00:31: the later band is found by the wall clock
    summer.tick();
    EXPECT_EQ(summer.info.timeText(), "0:31");
    EXPECT_EQ(summer.info.taktText(), "1:59"); // 150 s units, still anchored at the start
}

} // namespace
} // namespace zumi
