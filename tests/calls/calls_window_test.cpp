#include "calls/window/qt/calls_window.h"
#include "fake_call_store.h"
#include "fake_clock.h"
#include "fake_dialup.h"
#include "metered_monitor.h"
#include "platform/system_clock.h"
#include "temp_folder.h"
#include "ui_frm_calls.h"

#include <QHeaderView>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace zumi {
namespace {

using namespace std::chrono;

CallRecord row(const char* start, std::int64_t units)
{
    return {0, "Net1", start, "", start, "", 60 * units, units, 0, "menu"};
}

QString text(QAbstractItemView* table, int r, int c)
{
    const QModelIndex cell = table->model()->index(r, c);
    return cell.isValid() ? cell.data().toString() : QStringLiteral("<none>");
}

// "Nach laufender Einheit" armed in a metered call while a month of 9,000
// calls is shown again and exported: the hang-up still comes at the end of the
// first unit, and the month is all there, read a page at a time, the export
// in a file of the user's alone. On the real clock, since a window that holds
// up the event loop holds up the tick.
TEST(CallsWindow, AMonthShownAgainDoesNotHoldUpTheTick)
{
    SystemClock clock;
    const auto today = clock.localNow().date;
    test::FakeCallStore store;
    for (int i = 0; i < 9000; ++i) {
        char start[32];
        std::snprintf(start, sizeof start, "%04d-%02u-%02d %02d:%02d:00", static_cast<int>(today.year()),
                      static_cast<unsigned>(today.month()), 1 + i / 1440, i / 60 % 24, i % 60);
        CallRecord call = row(start, 1);
        store.add(call);
    }
    test::FakeDialUp dialUp;
    dialUp.hangUpDrops = true;
    test::FakeByteCounter bytes;
    test::CallLog log;
    test::MeteredMonitor metered(clock, dialUp, bytes, &log);
    metered.settings.options.Vorlauf = 0;
    metered.names = {"Net1"};
    metered.taktAllDay("5");
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] { metered.monitor.Timer_Timer(); });
    tick.start(1000);
    dialUp.connect(7, "Net1");
    metered.monitor.Timer_Timer();
    metered.autoHangup.arm(0);

    QTemporaryDir dir;
    const QString csvPath = dir.filePath(QStringLiteral("m.csv"));
    CallsWindow window({store, clock, {}, [&](const QString&) { return csvPath; }, {}, {}});
    window.showWindow();
    window.showWindow();
    window.exportCsv();
    const auto done = [&] {
        return std::find_if(log.begin(), log.end(), [](const auto& line) { return line.find("hangup.done") == 0; });
    };
    while (done() == log.end())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_TRUE(done()->ends_with(" 1 units")) << *done();
    EXPECT_EQ(window.ui().tblCalls->model()->rowCount(), 9000);
    EXPECT_EQ(text(window.ui().tblTotals, 1, 1), QStringLiteral("9000"));
    EXPECT_EQ(test::readText(csvPath.toStdString()), monthCsv(store.calls(today.year() / today.month()), {}));
    EXPECT_EQ(QFile::permissions(csvPath), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser)
        << "who called whom is the user's alone";
    window.close();
    EXPECT_EQ(window.ui().tblCalls->model()->rowCount(), 0) << "the month is let go of";
}

// A 200-character name is cut short in both tables (whole in its tooltip);
// the unit price and the budget's amount stay in view and usable.
TEST(CallsWindow, ALongEntryNameLeavesTheOtherColumnsInView)
{
    const std::string name(200, 'N');
    test::FakeClock clock(year{2026} / 3 / 20, 36000);
    test::FakeCallStore store;
    CallRecord call{0, name, "2026-03-02 10:00:00", "", "2026-03-02 10:01:00", "", 60, 1, 0, "menu"};
    store.add(call);
    store.budgetSettings = {BudgetSettings::Kind::Units, 100, 1, true};
    CallsWindow window({store, clock, [&] { return std::vector<std::string>{name}; }, {}, {}, {}});
    window.showWindow();
    QCoreApplication::processEvents();
    Ui::frmCalls& ui = window.ui();
    ASSERT_EQ(ui.lblBudgetUse->text(), QStringLiteral("seit 01.03.2026: 1 von 100 Einheiten"));
    for (QTableView* table : {static_cast<QTableView*>(ui.tblCalls), static_cast<QTableView*>(ui.tblTotals)}) {
        const QHeaderView& header = *table->horizontalHeader();
        const int last = header.count() - 1;
        EXPECT_LE(header.sectionViewportPosition(last) + header.sectionSize(last), table->viewport()->width());
    }
    EXPECT_EQ(ui.tblCalls->model()->index(0, 1).data(Qt::ToolTipRole).toString().size(), 200);
    EXPECT_EQ(ui.tblTotals->item(0, 0)->toolTip().size(), 200);
    EXPECT_GE(ui.txtBudget->width(), ui.txtBudget->fontMetrics().horizontalAdvance(QStringLiteral("1000,00")));
}

} // namespace
} // namespace zumi
