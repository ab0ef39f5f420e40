#include "calls/window/qt/calls_window.h"
#include "fake_call_store.h"
#include "fake_clock.h"
#include "fake_dialup.h"
#include "metered_monitor.h"
#include "platform/system_clock.h"
#include "temp_folder.h"
#include "ui_frm_calls.h"

#include <QHeaderView>
#include <QMouseEvent>
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

// A month of calls of two priced entries drawn (saved beside the test to look
// at): each bar in its entry's colours; a click on a day leaves its calls
// alone in the table, a second the whole month; the chart switches to money.
TEST(CallsWindow, DrawsTheMonthAndShowsADaysCalls)
{
    test::FakeClock clock(year{2026} / 3 / 20, 36000);
    test::FakeCallStore store;
    const std::string other = "Ein sehr langer Name eines Zugangs mit Vorwahl und Tarif";
    for (int d = 1; d <= 20; ++d) {
        const std::string start = "2026-03-" + std::string(d < 10 ? "0" : "") + std::to_string(d) + " 10:00:00";
        for (CallRecord call :
             {row(start.c_str(), 1 + d % 5), CallRecord{0, other, start, "", start, "", 60, 2, 0, ""}})
            if (d % 3 != 0 || call.entry == "Net1")
                store.add(call);
    }
    store.priceTable = {{"Net1", {1200, "\xE2\x82\xAC"}}, {other, {600, "\xE2\x82\xAC"}}};
    store.budgetSettings = {BudgetSettings::Kind::Units, 155, 1, true};
    CallsWindow window({store, clock, {}, {}, {}, {}});
    window.resize(800, 700);
    window.showWindow();
    while (QCoreApplication::processEvents(), window.ui().tblTotals->rowCount() == 0) {}
    const QImage shot = window.grab().toImage();
    shot.save(QCoreApplication::applicationDirPath() + QStringLiteral("/calls_window_chart.png"));

    MonthChartView& chart = *window.ui().chart;
    const QImage drawn = chart.grab().toImage();
    const ChartPicture::Bar* bar = chart.picture().barOf(4);
    ASSERT_TRUE(bar && bar->segments.size() == 2);
    for (const ChartPicture::Segment& segment : bar->segments) {
        const QPointF centre(segment.rect.x + segment.rect.w / 2, segment.rect.y + segment.rect.h / 2);
        EXPECT_EQ(drawn.pixelColor((centre * drawn.devicePixelRatio()).toPoint()),
                  QColor(segment.colour.r, segment.colour.g, segment.colour.b));
    }
    const ChartPicture& p = chart.picture();
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(p.plot.x + 3.5 * p.plot.w / 31, p.plot.y + 2), QPointF(),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&chart, &click);
    EXPECT_EQ(text(window.ui().tblCalls, 0, 0), QStringLiteral("04.03.2026"));
    EXPECT_EQ(window.ui().tblCalls->model()->rowCount(), 2);
    QCoreApplication::sendEvent(&chart, &click);
    EXPECT_EQ(window.ui().tblCalls->model()->rowCount(), 34);

    ASSERT_TRUE(window.ui().cboChartMeasure->isEnabled());
    window.ui().cboChartMeasure->setCurrentIndex(1);
    chart.grab();
    EXPECT_TRUE(chart.picture().ticks.back().text.ends_with("\xE2\x82\xAC"));
}

} // namespace
} // namespace zumi
