// The "Verbindungen" window over a real call log holding a month of N calls,
// with the program's kind of tick (1000 ms, precise) running: how late the
// tick came while the month was shown and shown again, how long until all of
// it was in, and resident memory before the window, with the month shown and
// after it closed. The floor: the same tick with no window.
// Usage: bench_calls_window [CALLS...]  (default 1000 11597 44640 525000)
#include "calls/sqlite/sqlite_call_store.h"
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

// March 2026 with `count` calls spread evenly over it, of three entries.
void fillLog(const std::filesystem::path& path, int count)
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
    const char* const entries[] = {"Net1", "Net2", "T-Online"};
    for (int i = 0; i < count; ++i) {
        const long long at = 31LL * 86400 * i / count;
        char start[32], end[32];
        std::snprintf(start, sizeof start, "2026-03-%02lld %02lld:%02lld:%02lld", at / 86400 + 1, at / 3600 % 24,
                      at / 60 % 60, at % 60);
        std::snprintf(end, sizeof end, "2026-03-%02lld %02lld:%02lld:%02lld", at / 86400 + 1, at / 3600 % 24,
                      at / 60 % 60 == 59 ? 59 : at / 60 % 60 + 1, at % 60);
        sqlite3_bind_text(insert, 1, entries[i % 3], -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 2, start, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, end, -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
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
    for (const char* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(path.string() + suffix);
    return 0;
}
