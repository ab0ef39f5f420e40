#pragma once
#include "calls/call_store.h"
#include "calls/month_report.h"
#include "calls/window/calls_model.h"
#include "calls/window/paged_call_read.h"
#include "platform/clock.h"

#include <QString>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Ui {
class frmCalls;
}

namespace zumi {

struct CallsWindowDeps {
    CallStore& store;
    const Clock& clock;
    std::function<std::vector<std::string>()> phonebook;           // entries that may get a price
    std::function<QString(const QString& suggested)> saveFileName; // "" when cancelled
    std::function<void(const QString& text)> warn;                 // a "Zumi" box
    std::function<void()> closed;                                  // after the window let go of the month
};

// The "Verbindungen" window: the calls of one month, the totals per entry and
// overall with each entry's unit price (editable), and the month as CSV. The
// month is read in pages beside the tick and let go of when the window closes.
class CallsWindow final : public QWidget {
    Q_OBJECT
public:
    explicit CallsWindow(CallsWindowDeps deps, QWidget* parent = nullptr);
    ~CallsWindow() override;

    // Shows the current month (or keeps the shown one when open) and brings the window up.
    void showWindow();
    void showMonth(std::chrono::year_month month);
    std::chrono::year_month month() const { return month_; }
    // The shown month as CSV, into a file the user chooses; done when the last page is written.
    void exportCsv();

    Ui::frmCalls& ui() { return *ui_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // keepPlace: the same month again, scrolled to where it was.
    void refresh(bool keepPlace = false);
    void showProblem(const std::string& problem);
    void showTotals();
    void priceEdited(int row, int column);
    void showBudget();
    void saveBudget();

    CallsWindowDeps d_;
    std::unique_ptr<Ui::frmCalls> ui_;
    std::chrono::year_month month_;
    CallsModel calls_;
    MonthSums sums_;
    Prices prices_;
    PagedCallRead monthRead_;
    PagedCallRead budgetRead_;
    PagedCallRead exportRead_; // goes on when the window closes
    std::int64_t budgetUsed_ = 0;
    bool filling_ = false;
};

QString germanMonth(std::chrono::year_month month); // "März 2026"

} // namespace zumi
