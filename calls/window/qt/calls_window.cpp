#include "calls/window/qt/calls_window.h"

#include "ui_frm_calls.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QSaveFile>
#include <QStyle>
#include <QTableWidgetItem>

#include <algorithm>

namespace zumi {
namespace {

constexpr int kPriceColumn = 6;

QTableWidgetItem* cell(const std::string& text, bool number)
{
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

// Each column of the calls as wide as the longest text it normally holds,
// set once: measuring the rows themselves would cost a pass over all of them.
void sizeCallColumns(QTableView& table)
{
    static const char* const kWidest[]
        = {"00.00.0000", "", "00:00:00", "00:00:00", "000:00:00", "0000000", "0000,00 \xE2\x82\xAC", "0000000000000"};
    QHeaderView& header = *table.horizontalHeader();
    header.setSectionResizeMode(QHeaderView::Interactive);
    // The entry takes what the others leave; a longer name is cut short.
    header.setSectionResizeMode(CallRows::kEntryColumn, QHeaderView::Stretch);
    const int margin = 2 * table.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &table)
        + table.fontMetrics().averageCharWidth();
    for (int c = 0; c < header.count(); ++c)
        if (c != CallRows::kEntryColumn)
            header.resizeSection(
                c,
                std::max(header.sectionSizeHint(c),
                         table.fontMetrics().horizontalAdvance(QString::fromUtf8(kWidest[c])) + margin));
}

} // namespace

CallsWindow::CallsWindow(CallsWindowDeps deps, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , d_(std::move(deps))
    , ui_(std::make_unique<Ui::frmCalls>())
    , model_(d_.store, d_.clock, calls_, d_.phonebook,
             {[this] {
                  showProblem();
                  showTotals();
                  if (top_ > 0)
                      ui_->tblCalls->scrollTo(calls_.index(top_, 0), QAbstractItemView::PositionAtTop);
              },
              [this] { ui_->lblBudgetUse->setText(QString::fromStdString(model_.budgetUse())); },
              [this] { showRunning(); }, [this] { showForecast(); }})
{
    ui_->setupUi(this);
    ui_->tblCalls->setModel(&calls_);
    sizeCallColumns(*ui_->tblCalls);
    ui_->tblTotals->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    pages_.setSingleShot(true);
    pages_.setInterval(0);
    connect(&pages_, &QTimer::timeout, this, &CallsWindow::readPages);
    connect(ui_->cmdPrevMonth, &QPushButton::clicked, this, [this] { showMonth(month() - std::chrono::months{1}); });
    connect(ui_->cmdNextMonth, &QPushButton::clicked, this, [this] { showMonth(month() + std::chrono::months{1}); });
    connect(ui_->cmdExport, &QPushButton::clicked, this, &CallsWindow::exportCsv);
    connect(ui_->cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(ui_->tblTotals, &QTableWidget::cellChanged, this, &CallsWindow::priceEdited);
    connect(ui_->cmdBudget, &QPushButton::clicked, this, &CallsWindow::saveBudget);
    setUpChart();
}

CallsWindow::~CallsWindow() = default;

void CallsWindow::showWindow()
{
    if (isVisible()) {
        refresh(true);
    } else {
        top_ = -1;
        model_.showCurrentMonth();
        shown();
    }
    show();
    raise();
    activateWindow();
}

void CallsWindow::showMonth(std::chrono::year_month month)
{
    top_ = -1;
    chooseDay(0);
    model_.showMonth(month);
    shown();
}

void CallsWindow::refresh(bool keepPlace)
{
    top_ = keepPlace ? ui_->tblCalls->rowAt(0) : -1;
    model_.refresh();
    shown();
}

void CallsWindow::shown()
{
    ui_->lblMonth->setText(QString::fromStdString(model_.monthTitle()));
    showProblem();
    ui_->tblTotals->setRowCount(0);
    showBudget();
    readPages();
}

void CallsWindow::showBudget()
{
    const BudgetSettings& budget = model_.budget();
    ui_->cboBudget->setCurrentIndex(static_cast<int>(budget.kind));
    ui_->spnBillingDay->setValue(budget.billingDay);
    ui_->chkCutOff->setChecked(budget.cutOff);
    ui_->txtBudget->setText(QString::fromStdString(model_.budgetAmount()));
    ui_->lblBudgetUse->clear();
}

void CallsWindow::readPages()
{
    if (model_.readMore())
        pages_.start();
    showChart(); // bars grow as pages come in
}

void CallsWindow::showProblem()
{
    const std::string problem = model_.problem();
    ui_->lblProblem->setVisible(!problem.empty());
    ui_->lblProblem->setText(QString::fromStdString(problem));
}

void CallsWindow::showTotals()
{
    const std::vector<TotalsRow>& totals = model_.totals();
    filling_ = true;
    QTableWidget& sums = *ui_->tblTotals;
    sums.setRowCount(static_cast<int>(totals.size()));
    QFont bold = sums.font();
    bold.setBold(true);
    for (int r = 0; r < static_cast<int>(totals.size()); ++r) {
        const TotalsRow& t = totals[static_cast<std::size_t>(r)];
        for (int c = 0; c < static_cast<int>(t.texts.size()); ++c) {
            QTableWidgetItem* item = cell(t.texts[static_cast<std::size_t>(c)], c > 0);
            if (t.overall)
                item->setFont(bold);
            sums.setItem(r, c, item);
        }
        sums.item(r, 0)->setToolTip(sums.item(r, 0)->text()); // a long name is cut short in its column
        QTableWidgetItem* price = sums.item(r, kPriceColumn);
        if (!t.overall)
            price->setFlags(price->flags() | Qt::ItemIsEditable);
        price->setData(Qt::UserRole, QString::fromStdString(t.entry));
    }
    // Once, now that all rows are in: a row per entry, so this stays cheap.
    for (int c = 1; c < sums.columnCount(); ++c)
        sums.resizeColumnToContents(c);
    filling_ = false;
}

// Only the rows that changed, so a unit's update costs the tick next to nothing.
void CallsWindow::showRunning()
{
    showChart(); // the day's bar grows with the call
    const std::vector<TotalsRow>& totals = model_.totals();
    QTableWidget& sums = *ui_->tblTotals;
    if (totals.empty())
        return;
    if (sums.rowCount() != static_cast<int>(totals.size()))
        return showTotals();
    // In place, past the price: one being typed stays open.
    filling_ = true;
    for (int r = 0; r < sums.rowCount(); ++r)
        for (int c = 0; c < kPriceColumn; ++c)
            sums.item(r, c)->setText(QString::fromStdString(totals[static_cast<std::size_t>(r)].texts[static_cast<std::size_t>(c)]));
    filling_ = false;
    if (!model_.budgetUse().empty())
        ui_->lblBudgetUse->setText(QString::fromStdString(model_.budgetUse()));
}

void CallsWindow::showForecast()
{
    ui_->lblForecast->setVisible(!model_.forecast().empty());
    ui_->lblForecast->setText(QString::fromStdString(model_.forecast()));
}

void CallsWindow::saveBudget()
{
    const BudgetInput input = parseBudget(ui_->cboBudget->currentIndex(), ui_->spnBillingDay->value(),
                                          ui_->chkCutOff->isChecked(), ui_->txtBudget->text().trimmed().toStdString());
    if (!input.budget)
        return warn(input.error);
    warn(model_.saveBudget(*input.budget));
    showBudget();
    readPages();
}

void CallsWindow::priceEdited(int row, int column)
{
    if (filling_ || column != kPriceColumn)
        return;
    QTableWidgetItem* item = ui_->tblTotals->item(row, column);
    if (!item)
        return;
    warn(model_.setPrice(item->data(Qt::UserRole).toString().toStdString(), item->text().toStdString()));
    // Deferred: the table is in the middle of committing the edit.
    QMetaObject::invokeMethod(
        this, [this] { refresh(true); }, Qt::QueuedConnection);
}

void CallsWindow::warn(const std::string& text)
{
    if (!text.empty() && d_.warn)
        d_.warn(QString::fromStdString(text));
}

void CallsWindow::setUpChart()
{
    ui_->chart->setSource([this](double width, double height, const ChartFont& font) {
        return model_.chartPicture(width, height, font);
    });
    dayCalls_.setFilterKeyColumn(0);
    connect(ui_->chart, &MonthChartView::dayClicked, this, &CallsWindow::chooseDay);
    connect(ui_->cmdWholeMonth, &QPushButton::clicked, this, [this] { chooseDay(0); });
    connect(ui_->cboChartMeasure, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (ui_->cboChartMeasure->isEnabled())
            model_.chart().choose(index == 1 ? MonthChart::Measure::Money : MonthChart::Measure::Units);
        showChart();
    });
    ui_->cmdWholeMonth->setEnabled(false);
}

void CallsWindow::showChart()
{
    const MonthChart& chart = model_.chart();
    QComboBox& measure = *ui_->cboChartMeasure;
    const QSignalBlocker quiet(measure);
    measure.setEnabled(chart.moneyShown());
    measure.setCurrentIndex(chart.measure() == MonthChart::Measure::Money ? 1 : 0);
    measure.setToolTip(chart.moneyShown() ? QString()
                                          : QStringLiteral("Kosten erst, wenn jeder Eintrag des Monats einen Preis "
                                                           "in derselben W\u00e4hrung hat"));
    ui_->chart->update();
}

void CallsWindow::chooseDay(int day)
{
    day_ = day == day_ ? 0 : day;
    QTableView& table = *ui_->tblCalls;
    QItemSelectionModel* old = table.selectionModel();
    if (day_ == 0) {
        table.setModel(&calls_);
        dayCalls_.setSourceModel(nullptr);
    } else {
        dayCalls_.setSourceModel(&calls_);
        dayCalls_.setFilterFixedString(QString::fromStdString(model_.chart().dayTitle(day_)));
        table.setModel(&dayCalls_);
    }
    if (old != table.selectionModel()) {
        delete old;
        sizeCallColumns(table);
    }
    ui_->chart->setChosenDay(day_);
    ui_->cmdWholeMonth->setEnabled(day_ != 0);
}

void CallsWindow::closeEvent(QCloseEvent* event)
{
    model_.close();
    chooseDay(0);
    // The row header keeps room for as many rows as it last had.
    auto* rows = new QHeaderView(Qt::Vertical, ui_->tblCalls);
    rows->hide();
    ui_->tblCalls->setVerticalHeader(rows);
    ui_->tblTotals->setRowCount(0);
    QWidget::closeEvent(event);
    if (d_.closed)
        d_.closed();
}

void CallsWindow::exportCsv()
{
    const QString path = d_.saveFileName ? d_.saveFileName(QString::fromStdString(model_.exportName())) : QString();
    if (path.isEmpty())
        return;
    // Written beside and renamed over: a failed export leaves an older file
    // whole. A new one is the user's alone, as the log it comes from; one
    // replaced keeps its mode.
    const bool replaces = QFileInfo::exists(path);
    auto file = std::make_shared<QSaveFile>(path);
    const auto failed = [this, path](const QString& why) {
        if (d_.warn)
            d_.warn(QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2").arg(path, why));
    };
    if (!file->open(QIODevice::WriteOnly)
        || (!replaces && !file->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))) {
        failed(file->errorString());
        return;
    }
    // A failed write is kept by the file until commit().
    model_.startExport([file](const std::string& text) { file->write(text.data(), static_cast<qint64>(text.size())); },
                       [file, failed](const std::string& problem) {
                           if (!problem.empty()) {
                               file->cancelWriting();
                               failed(QString::fromStdString(problem));
                           } else if (!file->commit()) {
                               failed(file->errorString());
                           }
                       });
    readPages();
}

} // namespace zumi
