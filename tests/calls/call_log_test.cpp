#include "calls/budget_guard.h"
#include "calls/call_recorder.h"
#include "calls/money.h"
#include "calls/month_report.h"
#include "fake_call_store.h"
#include "fake_clock.h"
#include "fake_dialup.h"
#include "metered_monitor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace zumi {
namespace {

using namespace std::chrono;

// A whole monitor on fakes with the call log behind it. Net1's weekdays: 120 s
// units from midnight, 60 s from 23:00.
struct LogRig {
    explicit LogRig(year_month_day day, double secondsOfDay)
        : clock(day, secondsOfDay)
    {
        metered.names = {"Net1", "Net2"};
        metered.settings.tariffs.setStart(0, 0, "0");
        metered.settings.tariffs.setTakt(0, 0, "120");
        metered.settings.tariffs.setStart(0, 1, "23");
        metered.settings.tariffs.setTakt(0, 1, "60");
    }
    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            bytes.total += 1000;
            bytes.sent += 100;
            clock.advance(1);
            metered.monitor.Timer_Timer();
        }
    }
    std::vector<std::int64_t> writtenUnits() const
    {
        std::vector<std::int64_t> units;
        for (const CallRecord& row : store.writes)
            units.push_back(row.units);
        return units;
    }

    test::FakeClock clock;
    test::FakeDialUp dialUp;
    test::FakeByteCounter bytes;
    test::FakeCallStore store;
    std::vector<std::string> told;
    CallRecorder recorder{clock, store, [this](const std::string& text) { told.push_back(text); }};
    test::MeteredMonitor metered{clock, dialUp, bytes, nullptr, &recorder};
};

// A call from 23:58 on the last day of March into April, with the lead time:
// a row at the start, one write per unit begun (the band change at midnight
// lengthens the unit in progress and begins none), and the month of its start.
TEST(CallLog, RowsOfACallAcrossABandChangeAndMidnightAtAMonthsEnd)
{
    LogRig rig(year{2026} / 3 / 31, 23 * 3600 + 58 * 60 - 1);
    rig.metered.settings.options.Vorlauf = 2; // the units count from 1.728 s after the detecting tick
    rig.dialUp.connect(7, "Net1");
    rig.tick(); // detects it at 23:58:00
    ASSERT_EQ(rig.store.rows.size(), 1u);
    const CallRecord& first = rig.store.writes.front();
    EXPECT_EQ(first.entry, "Net1");
    EXPECT_EQ(first.startLocal, "2026-03-31 23:58:00");
    EXPECT_EQ(first.startUtc, "2026-03-31T22:58:00Z");
    EXPECT_EQ(first.units, 1);
    EXPECT_EQ(first.endedBy, "");

    rig.tick(61);
    EXPECT_EQ(rig.writtenUnits(), (std::vector<std::int64_t>{1}));
    rig.tick(); // 60 s units: the second begins at 23:59:02
    EXPECT_EQ(rig.writtenUnits(), (std::vector<std::int64_t>{1, 2}));
    EXPECT_EQ(rig.store.rows[0].onlineSeconds, 62);
    rig.tick(58); // midnight: 120 s units from now on, the second unit runs on
    EXPECT_EQ(rig.writtenUnits(), (std::vector<std::int64_t>{1, 2}));
    rig.tick(2); // 00:00:02: 120 s after the count's start
    rig.tick(120);
    EXPECT_EQ(rig.writtenUnits(), (std::vector<std::int64_t>{1, 2, 3, 4}));

    // Armed after the unit in progress: hung up in its last three seconds, then gone.
    rig.metered.autoHangup.arm(0);
    rig.tick(116);
    EXPECT_TRUE(rig.dialUp.hangUps.empty());
    rig.tick();
    EXPECT_EQ(rig.dialUp.hangUps.size(), 1u);
    rig.dialUp.disconnectAll();
    rig.tick();
    const CallRecord& row = rig.store.rows[0];
    EXPECT_EQ(row.units, 4);
    EXPECT_EQ(row.endedBy, "after-units");
    EXPECT_EQ(row.endLocal, "2026-04-01 00:04:00");
    EXPECT_EQ(row.endUtc, "2026-03-31T23:04:00Z");
    EXPECT_EQ(row.onlineSeconds, 360);
    EXPECT_EQ(row.bytes, 359 * 1000) << "up to the last reading while the link was up";
    EXPECT_EQ(row.bytesSent, 359 * 100);
    EXPECT_EQ(row.bytesReceived, 359 * 900);
    EXPECT_EQ(rig.store.calls(year{2026} / 3).size(), 1u);
    EXPECT_TRUE(rig.store.calls(year{2026} / 4).empty());
    EXPECT_TRUE(rig.told.empty());
}

// Who ended a call: the menu's request, nobody (from outside); a failing
// store is told once and the metering goes on.
TEST(CallLog, HowCallsEndedAndAStoreThatFails)
{
    LogRig rig(year{2026} / 3 / 10, 36000);
    rig.dialUp.connect(7, "Net1");
    rig.tick(5);
    rig.metered.hangups.requested({7, "Net1", HangupCause::Menu, 0});
    rig.dialUp.disconnectAll();
    rig.tick();
    rig.dialUp.connect(7, "Net2"); // the same handle again: the menu's request was for the old call
    rig.tick(130);
    rig.dialUp.disconnectAll();
    rig.tick();
    ASSERT_EQ(rig.store.rows.size(), 2u);
    EXPECT_EQ(rig.store.rows[0].endedBy, "menu");
    EXPECT_EQ(rig.store.rows[1].endedBy, "outside");
    EXPECT_EQ(rig.store.rows[1].units, 3) << "60 s without tariff: units at 0, 60 and 120 s";

    rig.store.failing = true;
    const std::size_t shown = rig.metered.info.taktTexts.size();
    rig.dialUp.connect(8, "Net1");
    rig.tick(300);
    EXPECT_TRUE(rig.metered.monitor.metering());
    EXPECT_EQ(rig.metered.info.taktTexts.size() - shown, 300u) << "metering goes on";
    rig.dialUp.disconnectAll();
    rig.tick();
    EXPECT_GT(rig.store.refused, 2);
    ASSERT_EQ(rig.told.size(), 1u);
    EXPECT_NE(rig.told[0].find("the disk is full"), std::string::npos);
}

// The unit grid starts again every 24 hours; that restart begins a unit too.
TEST(CallLog, ADayLongCallLosesNoUnitAtTheGridsRestart)
{
    LogRig rig(year{2026} / 3 / 10, 36000);
    rig.metered.settings.options.Vorlauf = 0;
    rig.dialUp.connect(7, "Net2"); // no tariff: 60 s units
    rig.tick(1 + 86399);
    EXPECT_EQ(rig.store.rows[0].units, 1440);
    rig.tick();
    EXPECT_EQ(rig.store.rows[0].units, 1441);
    rig.tick(60);
    EXPECT_EQ(rig.store.rows[0].units, 1442);
}

CallRecord call(std::string entry, std::string start, std::string end, std::int64_t seconds, std::int64_t units,
                std::int64_t bytes, std::string endedBy = "menu")
{
    return {0, std::move(entry), std::move(start), "", std::move(end), "", seconds, units, bytes, std::move(endedBy)};
}

TEST(CallLog, MonthAsCsvAndItsTotals)
{
    const std::vector<CallRecord> calls{
        call("Net1", "2026-03-02 09:15:00", "2026-03-02 09:20:30", 330, 6, 123456),
        call("Net;2 \"Nacht\"", "2026-03-03 23:58:00", "2026-03-04 00:01:00", 180, 2, 99),
        call("Net1", "2026-03-31 23:59:00", "", 61, 2, 7, ""), // cut off by a crash
    };
    Prices prices{{"Net1", {486, "\xE2\x82\xAC"}}};
    EXPECT_EQ(monthCsv(calls, prices),
              "\xEF\xBB\xBF"
              "Datum;Eintrag;Von;Bis;Dauer;Einheiten;Kosten;W\xC3\xA4hrung;Bytes\r\n"
              "02.03.2026;Net1;09:15:00;09:20:30;0:05:30;6;0,29;\xE2\x82\xAC;123456\r\n"
              "03.03.2026;\"Net;2 \"\"Nacht\"\"\";23:58:00;00:01:00;0:03:00;2;;;99\r\n"
              "31.03.2026;Net1;23:59:00;;0:01:01;2;0,10;\xE2\x82\xAC;7\r\n");

    auto totals = monthTotals(calls, prices);
    ASSERT_EQ(totals.size(), 3u);
    EXPECT_EQ(totals[0].entry, "Net1");
    EXPECT_EQ(totals[0].units, 8);
    EXPECT_EQ(totals[0].cost, 8 * 486);
    EXPECT_EQ(totals[1].cost, std::nullopt);
    EXPECT_EQ(totals[2].calls, 3);
    EXPECT_EQ(totals[2].seconds, 571);
    EXPECT_EQ(totals[2].cost, std::nullopt) << "one entry has no price: no overall cost";
    prices["Net;2 \"Nacht\""] = {1200, "\xE2\x82\xAC"};
    totals = monthTotals(calls, prices);
    EXPECT_EQ(totals[2].cost, 8 * 486 + 2 * 1200);
    EXPECT_EQ(moneyText(*totals[2].cost), "0,63");
    prices["Net1"].currency = "DM";
    EXPECT_EQ(monthTotals(calls, prices)[2].cost, std::nullopt) << "no sum across currencies";
}

TEST(CallLog, PricesAsTyped)
{
    EXPECT_EQ(parsePrice("0,12").price, (UnitPrice{1200, "\xE2\x82\xAC"}));
    EXPECT_EQ(parsePrice(" 0.0486 DM ").price, (UnitPrice{486, "DM"}));
    EXPECT_TRUE(parsePrice("").ok);
    EXPECT_EQ(parsePrice("").price, std::nullopt);
    EXPECT_FALSE(parsePrice("0,00001").ok);
    EXPECT_FALSE(parsePrice("zwölf").ok);
    EXPECT_FALSE(parsePrice("1,2 3").ok);
    EXPECT_EQ(priceText({486, "\xE2\x82\xAC"}), "0,0486 \xE2\x82\xAC");
    EXPECT_EQ(priceText({12000, "DM"}), "1,20 DM");
    EXPECT_EQ(moneyText(4850), "0,49"); // halves up
}

} // namespace
} // namespace zumi

namespace zumi {
namespace {

// A budget of 5 units from the 15th: February's call from the 20th on counts
// (2 units), the one of the 10th does not. The call's first unit makes 3, the
// second 4 (80 %: told once), the third 5: hung up in its last three seconds,
// and the log says "budget". With the cut-off off the call runs on.
TEST(CallLog, TheBudgetRunsOutAndTheCallEndsInTheLastSecondsOfThatUnit)
{
    for (bool cutOff : {true, false}) {
        test::FakeClock clock(year{2026} / 3 / 10, 36000 - 1);
        test::FakeDialUp dialUp;
        test::FakeByteCounter bytes;
        test::FakeCallStore store;
        store.budgetSettings = {BudgetSettings::Kind::Units, 5, 15, cutOff};
        for (const auto& [start, units] : {std::pair{"2026-02-10 09:00:00", 9}, {"2026-02-20 09:00:00", 2}}) {
            CallRecord earlier = call("Net1", start, start, 60, units, 0);
            store.add(earlier);
        }
        CallRecorder recorder(clock, store, nullptr);
        std::vector<std::string> notes;
        BudgetGuard guard(clock, store, recorder, [&](const std::string& summary, const std::string& body) {
            notes.push_back(summary + body);
        });
        test::MeteredMonitor metered(clock, dialUp, bytes, nullptr, &guard, &guard);
        metered.names = {"Net1"};
        metered.taktAllDay("60");
        metered.settings.options.Vorlauf = 0;
        dialUp.connect(7, "Net1");
        auto tick = [&](int count) {
            for (int i = 0; i < count; ++i) {
                clock.advance(1);
                metered.monitor.Timer_Timer();
            }
        };
        tick(1 + 60); // detected at 10:00:00; the second unit begins at 60 s
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_EQ(notes[0],
                  "Zumi: Monatsbudget zu 80 % verbrauchtSeit dem 15.02.2026: 4 von 5 Einheiten"
                      + std::string(cutOff ? ". Ist es verbraucht, trennt Zumi am Ende der Einheit." : "."));
        tick(116); // 176 s: four seconds left of the third unit
        EXPECT_TRUE(dialUp.hangUps.empty());
        tick(1);
        EXPECT_EQ(dialUp.hangUps.size(), cutOff ? 1u : 0u);
        tick(2);
        EXPECT_EQ(dialUp.hangUps.size(), cutOff ? 1u : 0u) << "asked once in the unit";
        dialUp.disconnectAll();
        tick(1);
        EXPECT_EQ(store.rows.back().units, 3);
        EXPECT_EQ(store.rows.back().endedBy, cutOff ? "budget" : "outside");
        EXPECT_EQ(notes.size(), 1u);
    }
}

} // namespace
} // namespace zumi
