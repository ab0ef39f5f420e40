#include "calls/window/calls_window.h"

#include "calls/budget.h"
#include "calls/money.h"
#include "calls/time_text.h"
#include "ui_frm_calls.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QSaveFile>
#include <QStyle>
#include <QTableWidgetItem>

#include <algorithm>
#include <set>

namespace zumi {
namespace {

constexpr int kPriceColumn = 6;
// Rows read in one pass of the event loop: a few milliseconds' worth.
constexpr std::size_t kPageSize = 4000;

QTableWidgetItem* cell(const std::string& text, bool number = false)
{
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

std::string costText(const std::optional<std::int64_t>& cost, const std::string& currency)
{
    return cost ? moneyText(*cost) + " " + currency : std::string{};
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
    header.setSectionResizeMode(CallsModel::kEntryColumn, QHeaderView::Stretch);
    const int margin = 2 * table.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &table)
        + table.fontMetrics().averageCharWidth();
    for (int c = 0; c < header.count(); ++c)
        if (c != CallsModel::kEntryColumn)
            header.resizeSection(
                c,
                std::max(header.sectionSizeHint(c),
                         table.fontMetrics().horizontalAdvance(QString::fromUtf8(kWidest[c])) + margin));
}

std::string monthStart(std::chrono::year_month month)
{
    return localStamp({month / std::chrono::day{1}, 0});
}

} // namespace

QString germanMonth(std::chrono::year_month month)
{
    static const char* const kNames[12] = {"Januar", "Februar", "M\xC3\xA4rz", "April",   "Mai",      "Juni",
                                           "Juli",   "August",  "September",   "Oktober", "November", "Dezember"};
    const unsigned m = static_cast<unsigned>(month.month());
    return QString::fromUtf8(kNames[(m >= 1 && m <= 12 ? m : 1) - 1]) + QLatin1Char(' ')
        + QString::number(static_cast<int>(month.year()));
}

CallsWindow::CallsWindow(CallsWindowDeps deps, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , d_(std::move(deps))
    , ui_(std::make_unique<Ui::frmCalls>())
    , monthRead_(d_.store, kPageSize)
    , budgetRead_(d_.store, kPageSize)
    , exportRead_(d_.store, kPageSize)
{
    ui_->setupUi(this);
    const auto today = d_.clock.localNow().date;
    month_ = today.year() / today.month();
    ui_->tblCalls->setModel(&calls_);
    sizeCallColumns(*ui_->tblCalls);
    ui_->tblTotals->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    connect(ui_->cmdPrevMonth, &QPushButton::clicked, this, [this] { showMonth(month_ - std::chrono::months{1}); });
    connect(ui_->cmdNextMonth, &QPushButton::clicked, this, [this] { showMonth(month_ + std::chrono::months{1}); });
    connect(ui_->cmdExport, &QPushButton::clicked, this, &CallsWindow::exportCsv);
    connect(ui_->cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(ui_->tblTotals, &QTableWidget::cellChanged, this, &CallsWindow::priceEdited);
    connect(ui_->cmdBudget, &QPushButton::clicked, this, &CallsWindow::saveBudget);
}

CallsWindow::~CallsWindow() = default;

void CallsWindow::showWindow()
{
    const bool shown = isVisible();
    if (!shown) {
        const auto today = d_.clock.localNow().date;
        month_ = today.year() / today.month();
    }
    refresh(shown);
    show();
    raise();
    activateWindow();
}

void CallsWindow::showMonth(std::chrono::year_month month)
{
    month_ = month;
    refresh();
}

void CallsWindow::refresh(bool keepPlace)
{
    const int top = keepPlace ? ui_->tblCalls->rowAt(0) : -1;
    prices_ = d_.store.prices();
    showProblem(d_.store.problem());
    ui_->lblMonth->setText(germanMonth(month_));
    calls_.clear();
    calls_.setPrices(prices_);
    sums_ = {};
    ui_->tblTotals->setRowCount(0);
    monthRead_.start(
        monthStart(month_), monthStart(month_ + std::chrono::months{1}),
        [this](const std::vector<CallRecord>& page) {
            calls_.append(page);
            for (const CallRecord& call : page)
                sums_.add(call);
        },
        [this, top](const std::string& problem) {
            if (!problem.empty())
                showProblem(problem);
            showTotals();
            if (top > 0)
                ui_->tblCalls->scrollTo(calls_.index(top, 0), QAbstractItemView::PositionAtTop);
        });
    showBudget();
}

void CallsWindow::showProblem(const std::string& problem)
{
    ui_->lblProblem->setVisible(!problem.empty());
    ui_->lblProblem->setText(problem.empty() ? QString()
                                             : QStringLiteral("Das Verbindungsprotokoll kann nicht gelesen werden: %1")
                                                   .arg(QString::fromStdString(problem)));
}

void CallsWindow::showTotals()
{
    // Every phonebook entry can be given a price, also before its first call.
    std::vector<MonthTotal> totals = sums_.totals(prices_);
    MonthTotal overall = totals.back();
    totals.pop_back();
    std::set<std::string> listed;
    for (const MonthTotal& t : totals)
        listed.insert(t.entry);
    for (const std::string& entry : d_.phonebook ? d_.phonebook() : std::vector<std::string>{})
        if (listed.insert(entry).second) {
            MonthTotal none;
            none.entry = entry;
            totals.push_back(none);
        }
    std::sort(totals.begin(), totals.end(), [](const auto& a, const auto& b) { return a.entry < b.entry; });
    overall.entry = "Gesamt";
    totals.push_back(overall);

    filling_ = true;
    QTableWidget& sums = *ui_->tblTotals;
    sums.setRowCount(static_cast<int>(totals.size()));
    for (int r = 0; r < static_cast<int>(totals.size()); ++r) {
        const MonthTotal& t = totals[static_cast<std::size_t>(r)];
        const bool last = r + 1 == static_cast<int>(totals.size());
        QTableWidgetItem* entryCell = cell(t.entry);
        entryCell->setToolTip(entryCell->text()); // a long name is cut short in its column
        sums.setItem(r, 0, entryCell);
        sums.setItem(r, 1, cell(std::to_string(t.calls), true));
        sums.setItem(r, 2, cell(durationText(t.seconds), true));
        sums.setItem(r, 3, cell(std::to_string(t.units), true));
        sums.setItem(r, 4, cell(costText(t.cost, t.currency), true));
        sums.setItem(r, 5, cell(std::to_string(t.bytes), true));
        const auto price = prices_.find(t.entry);
        QTableWidgetItem* priceCell = cell(!last && price != prices_.end() ? priceText(price->second) : "", true);
        if (!last)
            priceCell->setFlags(priceCell->flags() | Qt::ItemIsEditable);
        priceCell->setData(Qt::UserRole, QString::fromStdString(t.entry));
        sums.setItem(r, kPriceColumn, priceCell);
    }
    QFont bold = sums.font();
    bold.setBold(true);
    for (int c = 0; c < sums.columnCount(); ++c)
        if (QTableWidgetItem* item = sums.item(sums.rowCount() - 1, c))
            item->setFont(bold);
    // Once, now that all rows are in: a row per entry, so this stays cheap.
    for (int c = 1; c < sums.columnCount(); ++c)
        sums.resizeColumnToContents(c);
    filling_ = false;
}

void CallsWindow::showBudget()
{
    const BudgetSettings budget = d_.store.budget();
    ui_->cboBudget->setCurrentIndex(static_cast<int>(budget.kind));
    ui_->spnBillingDay->setValue(budget.billingDay);
    ui_->chkCutOff->setChecked(budget.cutOff);
    const std::string amount = budget.kind == BudgetSettings::Kind::Money ? moneyText(budget.amount)
        : budget.kind == BudgetSettings::Kind::Units                      ? std::to_string(budget.amount)
                                                                          : std::string{};
    ui_->txtBudget->setText(QString::fromStdString(amount));
    ui_->lblBudgetUse->clear();
    budgetRead_.stop();
    if (budget.kind == BudgetSettings::Kind::None)
        return;
    const auto from = periodStart(d_.clock.localNow().date, budget.billingDay);
    const auto to = (from.year() / from.month() + std::chrono::months{1}) / from.day();
    budgetUsed_ = 0;
    budgetRead_.start(
        localStamp({from, 0}), localStamp({to, 0}),
        [this, budget](const std::vector<CallRecord>& page) { budgetUsed_ += spent(budget, page, prices_); },
        [this, budget, from](const std::string& problem) {
            // What only part of the calls add up to is not shown as the use.
            if (problem.empty())
                ui_->lblBudgetUse->setText(QString::fromStdString("seit " + germanDate(localStamp({from, 0})) + ": "
                                                                  + budgetUseText(budget, budgetUsed_, prices_)));
        });
}

void CallsWindow::saveBudget()
{
    BudgetSettings budget;
    budget.kind = static_cast<BudgetSettings::Kind>(std::clamp(ui_->cboBudget->currentIndex(), 0, 2));
    budget.billingDay = ui_->spnBillingDay->value();
    budget.cutOff = ui_->chkCutOff->isChecked();
    const std::string text = ui_->txtBudget->text().trimmed().toStdString();
    if (budget.kind == BudgetSettings::Kind::Units) {
        const PriceInput units = parsePrice(text);
        if (!units.ok || !units.price || units.price->tenThousandths % 10000 != 0 || units.price->tenThousandths == 0) {
            if (d_.warn)
                d_.warn(
                    QStringLiteral("Das Budget in Einheiten ist eine ganze Zahl gr\u00f6\u00dfer als 0, etwa 100."));
            return;
        }
        budget.amount = units.price->tenThousandths / 10000;
    } else if (budget.kind == BudgetSettings::Kind::Money) {
        const PriceInput money = parsePrice(text);
        if (!money.ok || !money.price || money.price->tenThousandths == 0) {
            if (d_.warn)
                d_.warn(QStringLiteral("Das Budget in Geld ist ein Betrag gr\u00f6\u00dfer als 0, etwa 20,00."));
            return;
        }
        budget.amount = money.price->tenThousandths;
    }
    if (!d_.store.setBudget(budget) && d_.warn)
        d_.warn(QStringLiteral("Das Budget kann nicht gespeichert werden: %1")
                    .arg(QString::fromStdString(d_.store.problem())));
    showBudget();
}

void CallsWindow::priceEdited(int row, int column)
{
    if (filling_ || column != kPriceColumn)
        return;
    QTableWidgetItem* item = ui_->tblTotals->item(row, column);
    if (!item)
        return;
    const std::string entry = item->data(Qt::UserRole).toString().toStdString();
    const PriceInput input = parsePrice(item->text().toStdString());
    if (!input.ok) {
        if (d_.warn)
            d_.warn(QString::fromStdString(input.error));
    } else if (!d_.store.setPrice(entry, input.price) && d_.warn) {
        d_.warn(QStringLiteral("Der Preis kann nicht gespeichert werden: %1")
                    .arg(QString::fromStdString(d_.store.problem())));
    }
    // Deferred: the table is in the middle of committing the edit.
    QMetaObject::invokeMethod(
        this, [this] { refresh(true); }, Qt::QueuedConnection);
}

void CallsWindow::closeEvent(QCloseEvent* event)
{
    monthRead_.stop();
    budgetRead_.stop();
    calls_.clear();
    // The row header keeps room for as many rows as it last had.
    auto* rows = new QHeaderView(Qt::Vertical, ui_->tblCalls);
    rows->hide();
    ui_->tblCalls->setVerticalHeader(rows);
    sums_ = {};
    ui_->tblTotals->setRowCount(0);
    QWidget::closeEvent(event);
    if (d_.closed)
        d_.closed();
}

void CallsWindow::exportCsv()
{
    char suggested[32];
    std::snprintf(suggested, sizeof suggested, "Verbindungen-%04d-%02u.csv", static_cast<int>(month_.year()),
                  static_cast<unsigned>(month_.month()));
    const QString path = d_.saveFileName ? d_.saveFileName(QString::fromLatin1(suggested)) : QString();
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
    // A page's lines are what follows the header; a failed write is kept by the file until commit().
    const Prices prices = d_.store.prices();
    const std::string header = monthCsv({}, prices);
    file->write(header.data(), static_cast<qint64>(header.size()));
    exportRead_.start(
        monthStart(month_), monthStart(month_ + std::chrono::months{1}),
        [file, prices, skip = header.size()](const std::vector<CallRecord>& page) {
            const std::string csv = monthCsv(page, prices);
            file->write(csv.data() + skip, static_cast<qint64>(csv.size() - skip));
        },
        [file, failed](const std::string& problem) {
            if (!problem.empty()) {
                file->cancelWriting();
                failed(QString::fromStdString(problem));
            } else if (!file->commit()) {
                failed(file->errorString());
            }
        });
}

} // namespace zumi
