// The "Verbindungen" window over a real call log holding a month of N calls,
// with the program's kind of tick (1000 ms, precise) running: how late the
// tick came while the month was shown and shown again, how long until all of
// it was in, and resident memory before the window, with the month shown and
// after it closed. The floor: the same tick with no window.
// Then a year of one-minute calls: the window opened on its month and drawn,
// beside the same over an empty log, and what a unit of the running call
// costs the tick once the month is shown.
// Usage: bench_calls_window [CALLS...]  (default 1000 11597 44640 525000)
#include "calls/sqlite/sqlite_call_store.h"
#include "calls/time_text.h"
#include "calls/window/qt/calls_window.h"
#include "fake_clock.h"
#include "ui_frm_calls.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <string>
#include <unistd.h>

namespace {

using namespace zumi;

long residentKb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

// Writes a log with the prices and budget the window shows, then the calls
// `each` hands to its `add` (entry, local start, local end), in one transaction.
using AddCall = std::function<void(const char* entry, const std::string& start, const std::string& end)>;
void writeLog(const std::filesystem::path& path, const std::function<void(const AddCall& add)>& each)
{
    {
        SqliteCallStore store(path); // lays out the tables
        store.setPrice("Net1", UnitPrice{486});
        store.setBudget({BudgetSettings::Kind::Units, 100000, 1, true});
    }
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO calls (entry, start_local, start_utc, end_local, end_utc, online_seconds, units, "
                       "bytes, ended_by, bytes_sent, bytes_received) VALUES (?, ?, '', ?, '', 60, 1, 123456, "
                       "'menu', 23456, 100000)",
                       -1, &insert, nullptr);
    each([insert](const char* entry, const std::string& start, const std::string& end) {
        sqlite3_bind_text(insert, 1, entry, -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 2, start.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, end.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    });
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

const char* const kEntries[] = {"Net1", "Net2", "T-Online"};

// March 2026 with `count` calls spread evenly over it, of three entries.
void fillLog(const std::filesystem::path& path, int count)
{
    writeLog(path, [count](const AddCall& add) {
        for (int i = 0; i < count; ++i) {
            const long long at = 31LL * 86400 * i / count;
            char start[32], end[32];
            std::snprintf(start, sizeof start, "2026-03-%02lld %02lld:%02lld:%02lld", at / 86400 + 1,
                          at / 3600 % 24, at / 60 % 60, at % 60);
            std::snprintf(end, sizeof end, "2026-03-%02lld %02lld:%02lld:%02lld", at / 86400 + 1, at / 3600 % 24,
                          at / 60 % 60 == 59 ? 59 : at / 60 % 60 + 1, at % 60);
            add(kEntries[i % 3], start, end);
        }
    });
}

// All of 2026, a call starting every minute and lasting it.
void fillYear(const std::filesystem::path& path)
{
    writeLog(path, [](const AddCall& add) {
        int i = 0;
        for (auto day = std::chrono::sys_days{std::chrono::year{2026} / 1 / 1};
             day < std::chrono::sys_days{std::chrono::year{2027} / 1 / 1}; day += std::chrono::days{1}) {
            const std::chrono::year_month_day date{day};
            for (int minute = 0; minute < 1440; ++minute, ++i)
                add(kEntries[i % 3], localStamp({date, minute * 60.0}), localStamp({date, minute * 60.0 + 59}));
        }
    });
}

// The latest any tick came, as the program's timer runs.
struct TickWatch {
    TickWatch()
    {
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            const qint64 now = clock.elapsed();
            if (previous >= 0)
                latest = std::max(latest, now - previous - 1000);
            previous = now;
            ++ticks;
        });
        clock.start();
        timer.start(1000);
    }
    // Runs the event loop until `done` holds and a tick came after it; the
    // milliseconds from `since` until it held.
    qint64 runUntil(const std::function<bool()>& done, const QElapsedTimer& since)
    {
        while (!done())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const qint64 took = since.elapsed();
        for (const int seen = ticks; ticks == seen;)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return took;
    }
    QTimer timer;
    QElapsedTimer clock;
    qint64 previous = -1, latest = 0;
    int ticks = 0;
};

// Milliseconds from asking for the window until its month, totals, budget
// and forecast are in and it was drawn; then the longest a unit of the
// running call held up the event loop, in microseconds.
struct Opening {
    qint64 drawnMs = 0, unitUs = 0;
    std::size_t rows = 0;
};
Opening openMarch(const std::filesystem::path& path)
{
    SqliteCallStore store(path);
    test::FakeClock clock(std::chrono::year{2026} / 3 / 20, 43200);
    CallsWindow window({store, clock, [] { return std::vector<std::string>{"Net1", "Net2"}; }, {}, {}, {}});
    Ui::frmCalls& ui = window.ui();
    // What showing any window costs once (fonts, style) is no part of the month's.
    window.showMonth(std::chrono::year{2026} / 2);
    window.show();
    QCoreApplication::processEvents();
    window.close();
    QCoreApplication::processEvents();

    Opening o;
    QElapsedTimer wall;
    wall.start();
    window.showWindow();
    while (ui.tblTotals->rowCount() == 0 || ui.lblBudgetUse->text().isEmpty() || ui.lblForecast->text().isEmpty())
        QCoreApplication::processEvents();
    window.repaint();
    o.drawnMs = wall.elapsed();
    o.rows = static_cast<std::size_t>(ui.tblCalls->model()->rowCount());

    CallRecord call{0, "Net1", "2026-03-20 12:00:00", "2026-03-20T11:00:00Z", "", "", 0, 1, 0, ""};
    store.add(call);
    for (int unit = 1; unit <= 20; ++unit) {
        call.units = unit;
        call.onlineSeconds = 60 * unit;
        wall.start();
        window.runningCall(call);
        QCoreApplication::processEvents(); // the repaint it asked for
        o.unitUs = std::max(o.unitUs, wall.nsecsElapsed() / 1000);
    }
    window.close();
    return o;
}

void yearOfCalls(const std::filesystem::path& path)
{
    for (const char* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(path.string() + suffix);
    SqliteCallStore(path).setBudget({BudgetSettings::Kind::Units, 100000, 1, true});
    const Opening floor = openMarch(path);
    for (const char* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(path.string() + suffix);
    QElapsedTimer wall;
    wall.start();
    fillYear(path);
    const qint64 filled = wall.elapsed();
    const Opening year = openMarch(path);
    std::printf("a year of one-minute calls (written in %lld ms): March (%zu rows) open and drawn in %lld ms, "
                "an empty log in %lld ms (ratio %.1f); a unit of the running call %lld us at most\n",
                static_cast<long long>(filled), year.rows, static_cast<long long>(year.drawnMs),
                static_cast<long long>(floor.drawnMs),
                static_cast<double>(year.drawnMs) / static_cast<double>(std::max<qint64>(floor.drawnMs, 1)),
                static_cast<long long>(year.unitUs));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::max(1, std::atoi(argv[i])));
    if (counts.empty())
        counts = {1000, 11597, 44640, 525000};

    {
        TickWatch idle;
        QElapsedTimer wall;
        wall.start();
        idle.runUntil([&] { return wall.elapsed() >= 3000; }, wall);
        std::printf("floor: no window, latest tick %lld ms late\n", static_cast<long long>(idle.latest));
    }
    const auto path
        = std::filesystem::temp_directory_path() / ("zumi-bench-window-" + std::to_string(::getpid()) + ".sqlite");
    for (const int count : counts) {
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(path.string() + suffix);
        fillLog(path, count);
        SqliteCallStore store(path);
        test::FakeClock clock(std::chrono::year{2026} / 3 / 20);
        const QString csv = QString::fromStdString(path.string() + ".csv");
        const auto phonebook = [] { return std::vector<std::string>{"Net1", "Net2"}; };
        CallsWindow window(
            {store, clock, phonebook, [&](const QString&) { return csv; }, {}, [] { ::malloc_trim(0); }});
        Ui::frmCalls& ui = window.ui();
        const auto allIn = [&] { return ui.tblTotals->rowCount() > 0 && !ui.lblBudgetUse->text().isEmpty(); };
        TickWatch ticks;
        // What showing any window costs once (fonts, style) is no part of the month's.
        window.showMonth(std::chrono::year{2026} / 2);
        window.show();
        QCoreApplication::processEvents();
        window.close();
        QCoreApplication::processEvents();
        const long before = residentKb();

        QElapsedTimer wall;
        wall.start();
        window.showWindow();
        const qint64 shown = ticks.runUntil(allIn, wall);
        wall.start();
        window.showWindow(); // again while shown, as a price edit or the menu does
        const qint64 again = ticks.runUntil(allIn, wall);
        const long withMonth = residentKb();
        wall.start();
        window.exportCsv();
        const qint64 exported = ticks.runUntil([&] { return std::filesystem::exists(csv.toStdString()); }, wall);
        std::filesystem::remove(csv.toStdString());
        window.close();
        QCoreApplication::processEvents();
        const long closed = residentKb();
        std::printf("%d calls: all in after %lld ms, again %lld ms, exported in %lld ms; latest tick %lld ms late; "
                    "resident %ld kB, "
                    "%ld kB with the month, %ld kB closed (closed/before %.3f)\n",
                    count, static_cast<long long>(shown), static_cast<long long>(again),
                    static_cast<long long>(exported), static_cast<long long>(ticks.latest), before, withMonth, closed,
                    static_cast<double>(closed) / static_cast<double>(before));
    }
    yearOfCalls(path);
    for (const char* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(path.string() + suffix);
    return 0;
}
