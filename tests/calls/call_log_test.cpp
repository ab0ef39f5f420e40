#include "calls/budget_guard.h"
#include "calls/call_recorder.h"
#include "calls/money.h"
#include "calls/month_report.h"
#include "calls/sqlite/sqlite_call_store.h"
#include "fake_call_store.h"
#include "fake_clock.h"
#include "fake_dialup.h"
#include "metered_monitor.h"
#include "platform/utf8_path.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace zumi {
namespace {

using namespace std::chrono;
using std::to_string;

// A row as one line: entry, start, end (local and UTC), seconds, units, bytes = sent + received, ended by.
std::string rowText(const CallRecord& r)
{
    return r.entry + " " + r.startLocal + " " + r.startUtc + " - " + r.endLocal + " " + r.endUtc + " "
        + to_string(r.onlineSeconds) + "s " + to_string(r.units) + "u " + to_string(r.bytes) + "="
        + to_string(r.bytesSent) + "+" + to_string(r.bytesReceived) + " " + r.endedBy;
}

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
    void hangUp() // and the tick that notices it
    {
        dialUp.disconnectAll();
        tick();
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
    std::vector<std::string> told, notes;
    CallRecorder recorder{clock, store, [this](const std::string& text) { told.push_back(text); }};
    BudgetGuard guard{clock, store, recorder,
                      [this](const std::string& summary, const std::string& body) { notes.push_back(summary + body); }};
    test::MeteredMonitor metered{clock, dialUp, bytes, nullptr, &guard, &guard};
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
    EXPECT_EQ(rowText(rig.store.writes.front()), "Net1 2026-03-31 23:58:00 2026-03-31T22:58:00Z -   0s 1u 0=0+0 ");
    rig.tick(61);
    EXPECT_EQ(rig.writtenUnits(), (std::vector<std::int64_t>{1}));
    rig.tick(); // 60 s units: the second begins at 23:59:02
    EXPECT_EQ(rig.writtenUnits(), (std::vector<std::int64_t>{1, 2}));
    EXPECT_EQ(rig.store.rows[0].onlineSeconds, 62);
    rig.tick(58); // midnight: 120 s units from now on, the second unit runs on
    EXPECT_EQ(rig.writtenUnits(), (std::vector<std::int64_t>{1, 2}));
    rig.tick(2 + 120); // 00:00:02: 120 s after the count's start, and the next
    EXPECT_EQ(rig.writtenUnits(), (std::vector<std::int64_t>{1, 2, 3, 4}));

    // Armed after the unit in progress: hung up in its last three seconds, then gone.
    rig.metered.autoHangup.arm(0);
    rig.tick(117);
    rig.hangUp();
    // The bytes up to the last reading while the link was up.
    EXPECT_EQ(rowText(rig.store.rows[0]),
              "Net1 2026-03-31 23:58:00 2026-03-31T22:58:00Z - 2026-04-01 00:04:00 "
              "2026-03-31T23:04:00Z 360s 4u 359000=35900+323100 after-units");
    EXPECT_EQ(rig.store.calls(year{2026} / 3).size(), 1u);
    EXPECT_TRUE(rig.told.empty() && rig.notes.empty());
}

// Who ended a call: the menu's request, nobody (from outside); a failing
// store is told once and the metering goes on. The unit grid starts again
// every 24 hours; that restart begins a unit too.
TEST(CallLog, HowCallsEndedAStoreThatFailsAndADayLongCall)
{
    LogRig rig(year{2026} / 3 / 10, 36000);
    rig.dialUp.connect(7, "Net1");
    rig.tick(5);
    rig.metered.hangups.requested({7, "Net1", HangupCause::Menu, 0});
    rig.hangUp();
    rig.dialUp.connect(7, "Net2"); // the same handle again: the menu's request was for the old call
    rig.tick(130);
    rig.hangUp();
    ASSERT_EQ(rig.store.rows.size(), 2u);
    EXPECT_EQ(rig.store.rows[0].endedBy, "menu");
    EXPECT_EQ(rig.store.rows[1].endedBy, "outside");
    EXPECT_EQ(rig.store.rows[1].units, 3) << "60 s without tariff: units at 0, 60 and 120 s";

    rig.metered.settings.options.Vorlauf = 0;
    rig.dialUp.connect(9, "Net2");
    for (const auto& [ticks, units] : {std::pair{1 + 86399, 1440}, {1, 1441}, {60, 1442}}) {
        rig.tick(ticks);
        EXPECT_EQ(rig.store.rows[2].units, units);
    }
    rig.hangUp();

    rig.store.failing = true;
    const std::size_t shown = rig.metered.info.taktTexts.size();
    rig.dialUp.connect(8, "Net1");
    rig.tick(300);
    EXPECT_EQ(rig.metered.info.taktTexts.size() - shown, 300u) << "metering goes on";
    rig.hangUp();
    EXPECT_GT(rig.store.refused, 2);
    ASSERT_EQ(rig.told.size(), 1u);
    EXPECT_NE(rig.told[0].find("the disk is full"), std::string::npos);
    EXPECT_NE(rig.told[0].find("tr\xC3\xA4gt die Verbindung nach"), std::string::npos) << "not lost: owed";

    // Only the end's write fails (a lock held that moment); with no speed shown
    // the counters are still read each tick. Both ended calls are written
    // later without a new call, with the bytes of the last tick the link was up.
    rig.metered.settings.options.ShowSpeed = false;
    rig.store.failing = false;
    rig.dialUp.connect(6, "Net1");
    rig.tick(6);
    rig.store.failing = true;
    rig.hangUp();
    rig.store.failing = false;
    rig.tick(10);
    ASSERT_EQ(rig.store.rows.size(), 5u);
    EXPECT_EQ(rig.store.rows[3].endedBy, "outside") << "the call that never got its row";
    EXPECT_EQ(rowText(rig.store.rows[4]),
              "Net1 2026-03-11 10:08:21 2026-03-11T09:08:21Z - 2026-03-11 10:08:27 "
              "2026-03-11T09:08:27Z 6s 1u 5000=500+4500 outside");
}

CallRecord call(std::string entry, std::string start, std::string end, std::int64_t seconds, std::int64_t units,
                std::int64_t bytes, std::string endedBy = "menu")
{
    return {0, std::move(entry), std::move(start), "", std::move(end), "", seconds, units, bytes, std::move(endedBy)};
}

TEST(CallLog, MonthAsCsvItsTotalsAndPricesAsTyped)
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

    // Names a spreadsheet would run as formulas are text.
    const std::string csv = monthCsv({call("=1+2", "2026-03-02 09:15:00", "", 1, 1, 5), call("@A;1", "", "", 0, 0, 0),
                                      call("-x", "", "", 0, 0, 0), call("+x", "", "", 0, 0, 0)},
                                     {});
    EXPECT_EQ(csv.substr(csv.find('\n') + 1),
              "02.03.2026;'=1+2;09:15:00;;0:00:01;1;;;5\r\n;\"'@A;1\";;;0:00:00;0;;;0\r\n;'-x;;;0:00:00;0;;;0\r\n"
              ";'+x;;;0:00:00;0;;;0\r\n");

    // Per entry, then overall (no name): calls/seconds/units/bytes, cost and currency ("-": none).
    const auto totals = [&] {
        std::string out;
        for (const MonthTotal& t : monthTotals(calls, prices))
            out += t.entry + " " + to_string(t.calls) + "/" + to_string(t.seconds) + "/" + to_string(t.units) + "/"
                + to_string(t.bytes) + " " + (t.cost ? to_string(*t.cost) + t.currency : "-") + "; ";
        return out;
    };
    // One entry has no price: no overall cost.
    EXPECT_EQ(totals(), "Net1 2/391/8/123463 3888\xE2\x82\xAC; Net;2 \"Nacht\" 1/180/2/99 -;  3/571/10/123562 -; ");
    prices["Net;2 \"Nacht\""] = {1200, "\xE2\x82\xAC"};
    EXPECT_EQ(totals(),
              "Net1 2/391/8/123463 3888\xE2\x82\xAC; Net;2 \"Nacht\" 1/180/2/99 2400\xE2\x82\xAC; "
              " 3/571/10/123562 6288\xE2\x82\xAC; ");
    prices["Net1"].currency = "DM";
    EXPECT_EQ(totals(), "Net1 2/391/8/123463 3888DM; Net;2 \"Nacht\" 1/180/2/99 2400\xE2\x82\xAC;  3/571/10/123562 -; ")
        << "no sum across currencies";

    EXPECT_EQ(parsePrice(" 0.0486 DM ").price, (UnitPrice{486, "DM"}));
    EXPECT_TRUE(parsePrice("").ok && !parsePrice("").price);
    for (const char* refused : {"0,00001", "zwölf", "1,2 3"})
        EXPECT_FALSE(parsePrice(refused).ok) << refused;
    EXPECT_EQ(priceText({486, "\xE2\x82\xAC"}), "0,0486 \xE2\x82\xAC");
    EXPECT_EQ(priceText({12000, "DM"}), "1,20 DM");
    EXPECT_EQ(moneyText(4850), "0,49"); // halves up
}

// A budget of 5 units from the 15th: February's call from the 20th on counts
// (2 units), the one of the 10th does not. The call's first unit makes 3, the
// second 4 (80 %: told once), the third 5: hung up in its last three seconds,
// and the log says "budget". With the cut-off off the call runs on.
TEST(CallLog, TheBudgetRunsOutAndTheCallEndsInTheLastSecondsOfThatUnit)
{
    for (bool cutOff : {true, false}) {
        LogRig rig(year{2026} / 3 / 10, 36000 - 1);
        rig.store.budgetSettings = {BudgetSettings::Kind::Units, 5, 15, cutOff};
        for (CallRecord earlier :
             {call("Net1", "2026-02-10 09:00:00", "", 60, 9, 0), call("Net1", "2026-02-20 09:00:00", "", 60, 2, 0)})
            rig.store.add(earlier);
        rig.metered.taktAllDay("60");
        rig.metered.settings.options.Vorlauf = 0;
        rig.dialUp.connect(7, "Net1");
        rig.tick(1 + 60); // detected at 10:00:00; the second unit begins at 60 s
        EXPECT_EQ(rig.notes,
                  std::vector<std::string>{"Zumi: Monatsbudget zu 80 % verbrauchtSeit dem 15.02.2026: 4 von "
                                           "5 Einheiten"
                                           + std::string(cutOff ? ". Ist es verbraucht, trennt Zumi am Ende "
                                                                  "der Einheit."
                                                                : ".")});
        rig.tick(116); // 176 s: four seconds left of the third unit
        EXPECT_TRUE(rig.dialUp.hangUps.empty());
        rig.tick();
        EXPECT_EQ(rig.dialUp.hangUps.size(), cutOff ? 1u : 0u);
        rig.tick(2);
        EXPECT_EQ(rig.dialUp.hangUps.size(), cutOff ? 1u : 0u) << "asked once in the unit";
        rig.hangUp();
        EXPECT_EQ(rig.store.rows.back().units, 3);
        EXPECT_EQ(rig.store.rows.back().endedBy, cutOff ? "budget" : "outside");
        const std::string tail = cutOff ? ". Zumi trennt am Ende " : ".";
        ASSERT_EQ(rig.notes.size(), 2u);
        EXPECT_EQ(rig.notes[1],
                  "Zumi: Monatsbudget verbrauchtSeit dem 15.02.2026: 5 von 5 Einheiten" + tail
                      + (cutOff ? "dieser Einheit." : ""));

        // A call after the budget ran out is told at its start, not at 80 %.
        rig.dialUp.connect(8, "Net1");
        rig.tick(1 + 57); // three seconds left of its first unit
        EXPECT_EQ(rig.notes.back(),
                  "Zumi: Monatsbudget bereits verbrauchtSeit dem 15.02.2026: 6 von 5 Einheiten" + tail
                      + (cutOff ? "der ersten Einheit." : ""));
        EXPECT_EQ(rig.dialUp.hangUps.size(), cutOff ? 2u : 0u);
        EXPECT_EQ(rig.notes.size(), 3u);
    }
}

CallRecord running(std::string entry, std::string start)
{
    CallRecord row = call(std::move(entry), std::move(start), "", 0, 1, 0, "");
    row.startUtc = "2026-03-31T21:58:00Z";
    return row;
}

// Rows, prices and the budget outlive the store; a call belongs to its start's
// month; the database is in WAL mode. A log kept before the two directions
// were: its rows keep their sum, new rows get both directions.
TEST(SqliteCallStore, KeepsRowsAndPricesAcrossAReopenAndTakesOnALogThatKeptOnlyTheSum)
{
    test::TempFolder folder;
    const auto path = folder.path / "sub" / "calls.sqlite";
    {
        SqliteCallStore store(path);
        CallRecord late = running("Net \"1\"", "2026-03-31 23:58:00");
        ASSERT_TRUE(store.add(late)) << store.problem();
        late = {late.id, late.entry, late.startLocal, late.startUtc, "2026-04-01 00:04:00", "",
                360,     4,          5'000'000'000,   "budget",      1'000'000'000,         4'000'000'000};
        ASSERT_TRUE(store.update(late));
        CallRecord april = running("Net2", "2026-04-01 00:00:00");
        ASSERT_TRUE(store.add(april));
        EXPECT_NE(april.id, late.id);
        ASSERT_TRUE(store.setPrice("Net2", UnitPrice{486, "DM"}));
        ASSERT_TRUE(store.setPrice("Net \"1\"", UnitPrice{1200}));
        ASSERT_TRUE(store.setPrice("Net \"1\"", std::nullopt));
        EXPECT_EQ(store.budget(), BudgetSettings{}) << "none until set";
        ASSERT_TRUE(store.setBudget({BudgetSettings::Kind::Money, 200000, 15, false}));
    }
    char header[20] = {};
    std::ifstream(path, std::ios::binary).read(header, sizeof header);
    EXPECT_EQ(header[18], 2) << "WAL mode";
    sqlite3* reader = nullptr;
    ASSERT_EQ(sqlite3_open(utf8Path(path).c_str(), &reader), SQLITE_OK);
    // Another program holding the lock is told as that; the next write gets through.
    ASSERT_EQ(sqlite3_exec(reader, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    SqliteCallStore locked(path);
    CallRecord blocked = running("Net1", "2026-03-12 10:00:00");
    EXPECT_FALSE(locked.add(blocked));
    EXPECT_NE(locked.problem().find("anderes Programm"), std::string::npos) << locked.problem();
    sqlite3_exec(reader, "ROLLBACK", nullptr, nullptr, nullptr);
    EXPECT_TRUE(locked.add(blocked)) << locked.problem();
    sqlite3_close(reader);

    SqliteCallStore again(path);
    const auto march = again.calls(year{2026} / 3);
    ASSERT_EQ(march.size(), 2u);
    EXPECT_EQ(rowText(march.back()),
              "Net \"1\" 2026-03-31 23:58:00 2026-03-31T21:58:00Z - 2026-04-01 00:04:00  360s 4u "
              "5000000000=1000000000+4000000000 budget")
        << "no end written: none read";
    EXPECT_EQ(rowText(again.calls(year{2026} / 4).at(0)),
              "Net2 2026-04-01 00:00:00 2026-03-31T21:58:00Z -   0s 1u 0=0+0 ");
    // In pages: one call at a time, the next after the last one read.
    const auto first = again.callsAfter("2026-03-13", std::nullopt, "2026-05-01", 1);
    ASSERT_EQ(first.size(), 1u);
    const auto rest = again.callsAfter(first[0].startLocal, first[0].id, "2026-05-01", 1);
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest[0].entry, "Net2");
    EXPECT_TRUE(again.callsAfter(rest[0].startLocal, rest[0].id, "2026-05-01", 1).empty());
    EXPECT_EQ(again.prices(), (std::map<std::string, UnitPrice>{{"Net2", {486, "DM"}}}));
    EXPECT_EQ(again.budget(), (BudgetSettings{BudgetSettings::Kind::Money, 200000, 15, false}));

    const auto old = folder.path / "old.sqlite";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(utf8Path(old).c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE calls (id INTEGER PRIMARY KEY, entry TEXT NOT NULL, start_local TEXT NOT "
                           "NULL, start_utc TEXT NOT NULL, end_local TEXT, end_utc TEXT, online_seconds INTEGER NOT "
                           "NULL, units INTEGER NOT NULL, bytes INTEGER NOT NULL, ended_by TEXT);"
                           "INSERT INTO calls VALUES (1, 'Old', '2026-03-01 10:00:00', '2026-03-01T09:00:00Z', "
                           "'2026-03-01 10:01:00', '2026-03-01T09:01:00Z', 60, 1, 777, 'menu');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    SqliteCallStore taken(old);
    CallRecord split{0, "New", "2026-03-02 10:00:00", "2026-03-31T21:58:00Z", "", "", 0, 1, 30, "", 10, 20};
    ASSERT_TRUE(taken.add(split)) << taken.problem();
    const auto both = taken.calls(year{2026} / 3);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(rowText(both[0]),
              "Old 2026-03-01 10:00:00 2026-03-01T09:00:00Z - 2026-03-01 10:01:00 "
              "2026-03-01T09:01:00Z 60s 1u 777=0+0 menu")
        << "the split of an old row is not made up";
    EXPECT_EQ(rowText(both[1]), "New 2026-03-02 10:00:00 2026-03-31T21:58:00Z -   0s 1u 30=10+20 ");

}

// A month of a year's log is found through the index on the start, not by
// reading the whole table, and comes in the order the pages rely on.
TEST(SqliteCallStore, ReadsASpanThroughTheIndexOnTheStart)
{
    test::TempFolder folder;
    SqliteCallStore store(folder.path / "calls.sqlite");
    const std::string plan = store.spanQueryPlan();
    EXPECT_NE(plan.find("USING INDEX calls_by_start (start_local>? AND start_local<?)"), std::string::npos) << plan;
    EXPECT_EQ(plan.find("TEMP B-TREE"), std::string::npos) << plan;
}

} // namespace
} // namespace zumi
