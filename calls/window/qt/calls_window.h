#pragma once
#include "calls/call_store.h"
#include "calls/window/calls_window_model.h"
#include "calls/window/qt/calls_model.h"
#include "platform/clock.h"

#include <QSortFilterProxyModel>
#include <QString>
#include <QTimer>
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

// The "Verbindungen" window over its model. The month is read a page per
// pass of the event loop, beside the tick, and let go of when the window closes.
class CallsWindow final : public QWidget {
    Q_OBJECT
public:
    explicit CallsWindow(CallsWindowDeps deps, QWidget* parent = nullptr);
    ~CallsWindow() override;

    // Shows the current month (or keeps the shown one when open) and brings the window up.
    void showWindow();
    void showMonth(std::chrono::year_month month);
    std::chrono::year_month month() const { return model_.month(); }
    // The shown month as CSV, into a file the user chooses; done when the last page is written.
    void exportCsv();
    // The call being metered, as the call log wrote it; shown in place.
    void runningCall(const CallRecord& call) { model_.runningCall(call); }

    Ui::frmCalls& ui() { return *ui_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // keepPlace: the same month again, scrolled to where it was.
    void refresh(bool keepPlace);
    // What the model holds once it was set to a month; the reads begin.
    void shown();
    void readPages();
    void showProblem();
    void showBudget();
    void showTotals();
    void showRunning();
    void showForecast();
    void priceEdited(int row, int column);
    void saveBudget();
    void warn(const std::string& text);
    // The chart over the table: its measure, and a day's calls alone in the table.
    void setUpChart();
    void showChart();
    // 0, or the day shown again: the whole month.
    void chooseDay(int day);

    CallsWindowDeps d_;
    std::unique_ptr<Ui::frmCalls> ui_;
    CallsModel calls_;
    CallsWindowModel model_;
    QTimer pages_; // the next page, in a pass of its own
    int top_ = -1; // the row to scroll back to once the month is in
    bool filling_ = false;
    QSortFilterProxyModel dayCalls_; // the calls of the chosen day
    int day_ = 0;
};

} // namespace zumi
