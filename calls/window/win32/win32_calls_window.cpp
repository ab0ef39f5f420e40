#include "calls/window/win32/win32_calls_window.h"

#include "calls/window/calls_window_model.h"
#include "calls/window/win32/call_list_rows.h"
#include "calls/window/win32/calls_window_resources.h"
#include "calls/window/win32/cell_editor.h"
#include "calls/window/win32/csv_export_file.h"
#include "calls/window/win32/dialog_anchors.h"
#include "calls/window/win32/month_chart_view.h"
#include "platform/win32/program_icon.h"
#include "platform/win32/wide_text.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <optional>
#include <utility>

namespace zumi {
namespace {

using win32::wideFromUtf8;

constexpr UINT kPageMessage = WM_APP + 1;     // the next page of the reads
constexpr UINT kRefreshMessage = WM_APP + 2;  // the month again, after a price was typed
constexpr UINT kEditDoneMessage = WM_APP + 3; // wParam: 1 keeps the typed price
constexpr UINT kFontsMessage = WM_APP + 4;    // the dialog font changed with the DPI
constexpr UINT_PTR kPageTimer = 1;
constexpr int kPriceColumn = 6;
constexpr int kTotalsColumns = 7;

// The chart takes 40 % of what the window grows in height, the calls the rest.
const std::vector<win32::Anchor> kAnchors = {
    {IDC_CALLS_MONTH, 0, 1, 0, 0},
    {IDC_CALLS_NEXT_MONTH, 1, 1, 0, 0},
    {IDC_CALLS_PROBLEM, 0, 1, 0, 0},
    {IDC_CALLS_WHOLE_MONTH, 1, 1, 0, 0},
    {IDC_CALLS_CHART, 0, 1, 0, 0.4f},
    {IDC_CALLS_LIST, 0, 1, 0.4f, 1},
    {IDC_CALLS_TOTALS_LABEL, 0, 1, 1, 1},
    {IDC_CALLS_TOTALS, 0, 1, 1, 1},
    {IDC_CALLS_FORECAST, 0, 1, 1, 1},
    {IDC_CALLS_BUDGET_GROUP, 0, 1, 1, 1},
    {IDC_CALLS_BUDGET_KIND, 0, 0, 1, 1},
    {IDC_CALLS_BUDGET_AMOUNT, 0, 0, 1, 1},
    {IDC_CALLS_BILLING_DAY_LABEL, 0, 0, 1, 1},
    {IDC_CALLS_BILLING_DAY, 0, 0, 1, 1},
    {IDC_CALLS_BILLING_DAY_SPIN, 0, 0, 1, 1},
    {IDC_CALLS_CUT_OFF, 0, 0, 1, 1},
    {IDC_CALLS_BUDGET_SAVE, 0, 0, 1, 1},
    {IDC_CALLS_BUDGET_USE, 0, 1, 1, 1},
    {IDC_CALLS_EXPORT, 0, 0, 1, 1},
    {IDCANCEL, 1, 1, 1, 1},
};
constexpr SIZE kShrink = {80, 80}; // dialog units the window may lose: the chart and the calls give them

// A screen lower than the window at its scale (a laptop at 125 %, say): the
// window gives up height, as far as its chart and list allow, and stays
// inside the work area with its buttons in reach.
void fitIntoWorkArea(HWND window)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT frame{};
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)
        || !GetWindowRect(window, &frame))
        return;
    const RECT& work = monitor.rcWork;
    const LONG width = std::min(frame.right - frame.left, work.right - work.left);
    const LONG height = std::min(frame.bottom - frame.top, work.bottom - work.top);
    SetWindowPos(window, nullptr, std::clamp(frame.left, work.left, work.right - width),
                 std::clamp(frame.top, work.top, work.bottom - height), width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Widths of the calls' columns in dialog units; the entry takes what they leave.
constexpr std::array<double, CallRows::kColumns> kCallColumns = {50, 0, 38, 38, 42, 42, 50, 56};
constexpr double kEntryMinimum = 60;

const char* const kMeasureHint
    = "Kosten erst, wenn jeder Eintrag des Monats einen Preis in derselben W\xC3\xA4hrung hat";

const char* const kTotalsTitles[kTotalsColumns]
    = {"Eintrag", "Verbindungen", "Dauer", "Einheiten", "Kosten", "Bytes", "Preis je Einheit"};

void copyText(const std::string& utf8, wchar_t* to, int room)
{
    if (!to || room <= 0)
        return;
    const std::wstring wide = wideFromUtf8(utf8);
    const std::size_t n = std::min(wide.size(), static_cast<std::size_t>(room - 1));
    std::wmemcpy(to, wide.data(), n);
    to[n] = L'\0';
}

std::string windowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return win32::utf8FromWide(text);
}

void setText(HWND window, const std::string& utf8)
{
    SetWindowTextW(window, wideFromUtf8(utf8).c_str());
}

std::string trimmed(std::string text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.back()))
        text.pop_back();
    return text.substr(static_cast<std::size_t>(std::find_if_not(text.begin(), text.end(), blank) - text.begin()));
}

void addColumn(HWND list, int index, const char* title, int width, bool number)
{
    std::wstring text = wideFromUtf8(title);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = number ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.cx = width;
    column.pszText = text.data();
    column.iSubItem = index;
    ListView_InsertColumn(list, index, &column);
}

int clientWidth(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    return r.right;
}

std::wstring askFileName(HWND owner, const std::wstring& suggested)
{
    std::wstring name(32768, L'\0');
    std::wmemcpy(name.data(), suggested.data(), std::min(suggested.size(), name.size() - 1));
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = L"CSV-Dateien (*.csv)\0*.csv\0";
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrTitle = L"Verbindungen speichern";
    ofn.lpstrDefExt = L"csv";
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&ofn))
        return {};
    name.resize(std::wcslen(name.c_str()));
    return name;
}

} // namespace

class Win32CallsWindow::Dialog final {
public:
    explicit Dialog(Win32CallsWindowDeps deps);
    ~Dialog();

    void showWindow();
    void runningCall(const CallRecord& call) { model_.runningCall(call); }
    void close();
    HWND window() const { return dialog_; }

private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    void setUp();
    void makeFonts();
    void command(int id, int code);
    LRESULT notify(const NMHDR& header);
    void reply(LRESULT result) const { SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, result); }
    HWND item(int id) const { return GetDlgItem(dialog_, id); }

    // The month of the window, as the Qt window does it.
    void showMonth(std::chrono::year_month month);
    void refresh(bool keepPlace);
    void shown();
    void readPages();
    void schedulePage();
    void showProblem();
    void showTotals();
    void showRunning();
    void showForecast();
    void showBudget();
    void saveBudget();
    void sizeColumns();
    void warn(const std::string& text);
    void exportCsv();

    // The chart over the calls: its measure, a day's calls alone in the list.
    void showChart();
    void chooseDay(int day);
    void placeMeasureTip() const;

    // A unit price typed into the totals.
    void editPrice(int row);
    void editDone(bool keep);

    Win32CallsWindowDeps d_;
    win32::CallListRows rows_;
    CallsWindowModel model_;
    HWND dialog_ = nullptr, list_ = nullptr, totals_ = nullptr;
    win32::DialogAnchors anchors_;
    HFONT bold_ = nullptr;
    win32::MonthChartView chart_;
    HWND measureTip_ = nullptr; // why money cannot be chosen yet
    int day_ = 0;
    int top_ = -1; // the row to scroll back to once the month is in
    bool pagePending_ = false;
    win32::CellEditor editor_;
    std::string editedEntry_, editedText_;
};

Win32CallsWindow::Dialog::Dialog(Win32CallsWindowDeps deps)
    : d_(std::move(deps))
    , model_(d_.store, d_.clock, rows_, d_.phonebook,
             {[this] {
                  showProblem();
                  showTotals();
                  if (top_ > 0 && list_) {
                      // Past the end first, so the row comes to the top and not to the bottom.
                      ListView_EnsureVisible(list_, static_cast<int>(rows_.listed()) - 1, FALSE);
                      ListView_EnsureVisible(list_, top_, FALSE);
                  }
              },
              [this] { setText(item(IDC_CALLS_BUDGET_USE), model_.budgetUse()); }, [this] { showRunning(); },
              [this] { showForecast(); }})
{
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CreateDialogParamW(d_.instance, MAKEINTRESOURCEW(IDD_CALLS_WINDOW), nullptr, &Dialog::dialogProc,
                       reinterpret_cast<LPARAM>(this));
}

Win32CallsWindow::Dialog::~Dialog()
{
    if (dialog_)
        DestroyWindow(dialog_);
    if (bold_)
        DeleteObject(bold_);
}

INT_PTR CALLBACK Win32CallsWindow::Dialog::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        self->dialog_ = dialog;
        win32::showProgramIcon(dialog);
        self->setUp();
        return TRUE;
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self)
        return FALSE;
    if (message == WM_NCDESTROY) {
        self->dialog_ = nullptr;
        return FALSE;
    }
    return self->handle(message, wParam, lParam);
}

void Win32CallsWindow::Dialog::setUp()
{
    list_ = item(IDC_CALLS_LIST);
    totals_ = item(IDC_CALLS_TOTALS);
    rows_.attach(list_);
    for (HWND list : {list_, totals_})
        ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
    for (const wchar_t* text : {L"Einheiten", L"Kosten"})
        SendMessageW(item(IDC_CALLS_CHART_MEASURE), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    for (const wchar_t* text : {L"kein Budget", L"Einheiten", L"Geld"})
        SendMessageW(item(IDC_CALLS_BUDGET_KIND), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageW(item(IDC_CALLS_CHART_MEASURE), CB_SETCURSEL, 0, 0);
    SendMessageW(item(IDC_CALLS_BILLING_DAY_SPIN), UDM_SETRANGE32, 1, 28);
    SendMessageW(item(IDC_CALLS_BUDGET_AMOUNT), EM_SETLIMITTEXT, 40, 0);
    SendMessageW(item(IDC_CALLS_BILLING_DAY), EM_SETLIMITTEXT, 2, 0);

    anchors_.take(dialog_, kAnchors, kShrink);
    for (int c = 0; c < CallRows::kColumns; ++c)
        addColumn(list_, c, CallRows::title(c), anchors_.pixelsX(kCallColumns[static_cast<std::size_t>(c)]),
                  CallRows::isNumber(c));
    for (int c = 0; c < kTotalsColumns; ++c) {
        const std::wstring title = wideFromUtf8(kTotalsTitles[c]);
        addColumn(
            totals_, c, kTotalsTitles[c],
            std::max(anchors_.pixelsX(40), ListView_GetStringWidth(totals_, title.c_str()) + anchors_.pixelsX(12)),
            c > 0);
    }
    makeFonts();
    fitIntoWorkArea(dialog_);

    // A disabled control gets no mouse messages: the tip is the dialog's, over the control's place.
    measureTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog_, nullptr,
                                  d_.instance, nullptr);
    std::wstring why = wideFromUtf8(kMeasureHint);
    TTTOOLINFOW tool{sizeof tool, TTF_SUBCLASS, dialog_, IDC_CALLS_CHART_MEASURE, {}, nullptr, why.data(), 0, nullptr};
    SendMessageW(measureTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    placeMeasureTip();
    chart_.attach(
        item(IDC_CALLS_CHART),
        [this](double width, double height, const ChartFont& font) { return model_.chartPicture(width, height, font); },
        [this](int day) { chooseDay(day); });
}

void Win32CallsWindow::Dialog::makeFonts()
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog_, WM_GETFONT, 0, 0)), sizeof font, &font);
    font.lfWeight = FW_BOLD;
    const HFONT old = std::exchange(bold_, CreateFontIndirectW(&font));
    SendMessageW(item(IDC_CALLS_MONTH), WM_SETFONT, reinterpret_cast<WPARAM>(bold_), TRUE);
    if (old)
        DeleteObject(old);
    for (int c = 0; c < CallRows::kColumns; ++c)
        if (c != CallRows::kEntryColumn) {
            const std::wstring title = wideFromUtf8(CallRows::title(c));
            const int header = ListView_GetStringWidth(list_, title.c_str()) + anchors_.pixelsX(12);
            ListView_SetColumnWidth(list_, c,
                                    std::max(header, anchors_.pixelsX(kCallColumns[static_cast<std::size_t>(c)])));
        }
    sizeColumns();
}

INT_PTR Win32CallsWindow::Dialog::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        reply(notify(*reinterpret_cast<const NMHDR*>(lParam)));
        return TRUE;
    case WM_CLOSE:
        close();
        return TRUE;
    case WM_SIZE:
        anchors_.layOut();
        sizeColumns();
        placeMeasureTip();
        return TRUE;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = anchors_.minimumTrackSize();
        return TRUE;
    case WM_DPICHANGED:
        PostMessageW(dialog_, kFontsMessage, 0, 0); // once the dialog took its new font
        return FALSE;
    case WM_DRAWITEM:
        if (wParam != IDC_CALLS_CHART)
            return FALSE;
        chart_.draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) != item(IDC_CALLS_PROBLEM))
            return FALSE;
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0xa0, 0, 0));
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_TIMER:
        if (wParam != kPageTimer)
            return FALSE;
        KillTimer(dialog_, kPageTimer);
        [[fallthrough]];
    case kPageMessage:
        pagePending_ = false;
        readPages();
        return TRUE;
    case kRefreshMessage:
        if (IsWindowVisible(dialog_)) // not once closed: the month was let go of
            refresh(true);
        return TRUE;
    case kEditDoneMessage:
        // The edit that lost the focus to a newer one already ended.
        if (editor_.isCurrent(lParam))
            editDone(wParam != 0);
        return TRUE;
    case kFontsMessage:
        makeFonts();
        anchors_.layOut();
        return TRUE;
    default:
        return FALSE;
    }
}

void Win32CallsWindow::Dialog::command(int id, int code)
{
    switch (id) {
    case IDC_CALLS_PREV_MONTH:
        return showMonth(model_.month() - std::chrono::months{1});
    case IDC_CALLS_NEXT_MONTH:
        return showMonth(model_.month() + std::chrono::months{1});
    case IDC_CALLS_WHOLE_MONTH:
        return chooseDay(0);
    case IDC_CALLS_CHART_MEASURE:
        if (code == CBN_SELCHANGE) {
            const auto index = SendMessageW(item(id), CB_GETCURSEL, 0, 0);
            model_.chart().choose(index == 1 ? MonthChart::Measure::Money : MonthChart::Measure::Units);
            showChart();
        }
        return;
    case IDC_CALLS_BUDGET_SAVE:
        return saveBudget();
    case IDC_CALLS_EXPORT:
        return exportCsv();
    case IDCANCEL:
        return close();
    default:
        return;
    }
}

LRESULT Win32CallsWindow::Dialog::notify(const NMHDR& header)
{
    if (header.hwndFrom == list_ && header.code == LVN_GETDISPINFOW) {
        LVITEMW& cell = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header)).item;
        if (cell.mask & LVIF_TEXT)
            copyText(rows_.text(static_cast<std::size_t>(cell.iItem), cell.iSubItem), cell.pszText, cell.cchTextMax);
        return 0;
    }
    if (header.hwndFrom != totals_)
        return 0;
    switch (header.code) {
    case NM_DBLCLK:
        editPrice(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);
        return 0;
    case LVN_KEYDOWN:
        if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_F2)
            editPrice(ListView_GetNextItem(totals_, -1, LVNI_SELECTED));
        return 0;
    case LVN_BEGINSCROLL:
        if (editor_.isOpen())
            editor_.done(true);
        return 0;
    case NM_CUSTOMDRAW: {
        // The overall row in bold, as the Qt window has it.
        const auto& draw = reinterpret_cast<const NMLVCUSTOMDRAW&>(header);
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT)
            return CDRF_NOTIFYITEMDRAW;
        if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && draw.nmcd.dwItemSpec + 1 == model_.totals().size()
            && model_.totals().back().overall) {
            SelectObject(draw.nmcd.hdc, bold_);
            return CDRF_NEWFONT;
        }
        return CDRF_DODEFAULT;
    }
    default:
        return 0;
    }
}

void Win32CallsWindow::Dialog::showWindow()
{
    if (IsWindowVisible(dialog_)) {
        refresh(true);
    } else {
        top_ = -1;
        model_.showCurrentMonth();
        shown();
    }
    ShowWindow(dialog_, IsIconic(dialog_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(dialog_);
}

void Win32CallsWindow::Dialog::showMonth(std::chrono::year_month month)
{
    top_ = -1;
    chooseDay(0);
    model_.showMonth(month);
    shown();
}

void Win32CallsWindow::Dialog::refresh(bool keepPlace)
{
    top_ = keepPlace ? ListView_GetTopIndex(list_) : -1;
    model_.refresh();
    shown();
}

void Win32CallsWindow::Dialog::shown()
{
    setText(item(IDC_CALLS_MONTH), model_.monthTitle());
    showProblem();
    if (editor_.isOpen())
        editDone(false);
    ListView_DeleteAllItems(totals_);
    showBudget();
    readPages();
}

void Win32CallsWindow::Dialog::readPages()
{
    if (model_.readMore())
        schedulePage();
    showChart(); // bars grow as pages come in
}

// A posted message comes before input, timers and painting: the next page is
// posted only while none of those wait, else it waits for a short timer
// behind them, so neither the tick nor a click waits for a month to be read.
void Win32CallsWindow::Dialog::schedulePage()
{
    if (pagePending_)
        return;
    pagePending_ = true;
    if (HIWORD(GetQueueStatus(QS_INPUT | QS_TIMER)) != 0)
        SetTimer(dialog_, kPageTimer, USER_TIMER_MINIMUM, nullptr);
    else
        PostMessageW(dialog_, kPageMessage, 0, 0);
}

void Win32CallsWindow::Dialog::showProblem()
{
    const std::string problem = model_.problem();
    setText(item(IDC_CALLS_PROBLEM), problem);
    ShowWindow(item(IDC_CALLS_PROBLEM), problem.empty() ? SW_HIDE : SW_SHOW);
}

void Win32CallsWindow::Dialog::showTotals()
{
    if (editor_.isOpen())
        editDone(false);
    const std::vector<TotalsRow>& totals = model_.totals();
    SendMessageW(totals_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(totals_);
    for (std::size_t r = 0; r < totals.size(); ++r) {
        for (int c = 0; c < kTotalsColumns; ++c) {
            std::wstring text = wideFromUtf8(totals[r].texts[static_cast<std::size_t>(c)]);
            LVITEMW cell{};
            cell.mask = LVIF_TEXT;
            cell.iItem = static_cast<int>(r);
            cell.iSubItem = c;
            cell.pszText = text.data();
            if (c == 0)
                ListView_InsertItem(totals_, &cell);
            else
                ListView_SetItem(totals_, &cell);
        }
    }
    // Once, now that all rows are in: a row per entry, so this stays cheap.
    for (int c = 1; c < kTotalsColumns; ++c) {
        int width = ListView_GetStringWidth(totals_, wideFromUtf8(kTotalsTitles[c]).c_str());
        for (const TotalsRow& row : totals)
            width = std::max(
                width, ListView_GetStringWidth(totals_, wideFromUtf8(row.texts[static_cast<std::size_t>(c)]).c_str()));
        ListView_SetColumnWidth(totals_, c, width + anchors_.pixelsX(12));
    }
    sizeColumns();
    SendMessageW(totals_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(totals_, nullptr, TRUE);
}

// Only the texts that changed, so a unit's update costs the tick next to nothing.
void Win32CallsWindow::Dialog::showRunning()
{
    showChart(); // the day's bar grows with the call
    const std::vector<TotalsRow>& totals = model_.totals();
    if (totals.empty())
        return;
    if (ListView_GetItemCount(totals_) != static_cast<int>(totals.size()))
        return showTotals();
    // In place, past the price: one being typed stays open.
    for (std::size_t r = 0; r < totals.size(); ++r)
        for (int c = 0; c < kPriceColumn; ++c) {
            std::wstring text = wideFromUtf8(totals[r].texts[static_cast<std::size_t>(c)]);
            ListView_SetItemText(totals_, static_cast<int>(r), c, text.data());
        }
    if (!model_.budgetUse().empty())
        setText(item(IDC_CALLS_BUDGET_USE), model_.budgetUse());
}

void Win32CallsWindow::Dialog::showForecast()
{
    setText(item(IDC_CALLS_FORECAST), model_.forecast());
    ShowWindow(item(IDC_CALLS_FORECAST), model_.forecast().empty() ? SW_HIDE : SW_SHOW);
}

void Win32CallsWindow::Dialog::showBudget()
{
    const BudgetSettings& budget = model_.budget();
    SendMessageW(item(IDC_CALLS_BUDGET_KIND), CB_SETCURSEL, static_cast<WPARAM>(budget.kind), 0);
    SendMessageW(item(IDC_CALLS_BILLING_DAY_SPIN), UDM_SETPOS32, 0, budget.billingDay);
    CheckDlgButton(dialog_, IDC_CALLS_CUT_OFF, budget.cutOff ? BST_CHECKED : BST_UNCHECKED);
    setText(item(IDC_CALLS_BUDGET_AMOUNT), model_.budgetAmount());
    setText(item(IDC_CALLS_BUDGET_USE), "");
}

void Win32CallsWindow::Dialog::saveBudget()
{
    // A day typed outside 1–28 is taken as the nearest, as a spin box does.
    BOOL number = FALSE;
    const int typed = static_cast<int>(GetDlgItemInt(dialog_, IDC_CALLS_BILLING_DAY, &number, FALSE));
    const int billingDay = number ? std::clamp(typed, 1, 28) : model_.budget().billingDay;
    SendMessageW(item(IDC_CALLS_BILLING_DAY_SPIN), UDM_SETPOS32, 0, billingDay);
    const auto kind = static_cast<int>(SendMessageW(item(IDC_CALLS_BUDGET_KIND), CB_GETCURSEL, 0, 0));
    const BudgetInput input
        = parseBudget(kind, billingDay, IsDlgButtonChecked(dialog_, IDC_CALLS_CUT_OFF) == BST_CHECKED,
                      trimmed(windowText(item(IDC_CALLS_BUDGET_AMOUNT))));
    if (!input.budget)
        return warn(input.error);
    warn(model_.saveBudget(*input.budget));
    showBudget();
    readPages();
}

void Win32CallsWindow::Dialog::sizeColumns()
{
    if (!list_)
        return;
    // The entry takes what the other columns leave; a longer name is cut short (whole in its tip).
    // Room is kept for a vertical scroll bar, so that its coming brings no horizontal one.
    const auto fill = [this](HWND list, int entryColumn, int columns) {
        int others = GetSystemMetrics(SM_CXVSCROLL);
        for (int c = 0; c < columns; ++c)
            if (c != entryColumn)
                others += ListView_GetColumnWidth(list, c);
        ListView_SetColumnWidth(list, entryColumn,
                                std::max(anchors_.pixelsX(kEntryMinimum), clientWidth(list) - others));
    };
    fill(list_, CallRows::kEntryColumn, CallRows::kColumns);
    fill(totals_, 0, kTotalsColumns);
}

void Win32CallsWindow::Dialog::warn(const std::string& text)
{
    if (text.empty())
        return;
    if (d_.warn)
        return d_.warn(text);
    MessageBoxW(IsWindowVisible(dialog_) ? dialog_ : nullptr, wideFromUtf8(text).c_str(), L"Zumi",
                MB_OK | MB_ICONWARNING);
}

void Win32CallsWindow::Dialog::exportCsv()
{
    const std::wstring suggested = wideFromUtf8(model_.exportName());
    const std::wstring path = d_.saveFileName ? d_.saveFileName(suggested) : askFileName(dialog_, suggested);
    if (path.empty())
        return;
    auto file = std::make_shared<win32::CsvExportFile>(path);
    const auto failed = [this, path](const std::string& why) {
        warn("Die Datei " + win32::utf8FromWide(path) + " kann nicht geschrieben werden: " + why);
    };
    if (!file->open())
        return failed(file->why());
    model_.startExport([file](const std::string& text) { file->write(text); },
                       [file, failed](const std::string& problem) {
                           if (!problem.empty()) {
                               file->cancel();
                               failed(problem);
                           } else if (!file->commit()) {
                               failed(file->why());
                           }
                       });
    readPages();
}

void Win32CallsWindow::Dialog::showChart()
{
    const MonthChart& chart = model_.chart();
    const HWND measure = item(IDC_CALLS_CHART_MEASURE);
    EnableWindow(measure, chart.moneyShown());
    SendMessageW(measureTip_, TTM_ACTIVATE, !chart.moneyShown(), 0);
    SendMessageW(measure, CB_SETCURSEL, chart.measure() == MonthChart::Measure::Money ? 1 : 0, 0);
    chart_.update();
}

void Win32CallsWindow::Dialog::placeMeasureTip() const
{
    if (!measureTip_)
        return;
    TTTOOLINFOW tool{sizeof tool, 0, dialog_, IDC_CALLS_CHART_MEASURE, {}, nullptr, nullptr, 0, nullptr};
    GetWindowRect(item(IDC_CALLS_CHART_MEASURE), &tool.rect);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&tool.rect), 2);
    SendMessageW(measureTip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32CallsWindow::Dialog::chooseDay(int day)
{
    day_ = day == day_ ? 0 : day;
    rows_.chooseDay(day_ ? model_.chart().dayTitle(day_) : std::string{});
    EnableWindow(item(IDC_CALLS_WHOLE_MONTH), day_ != 0);
    chart_.setChosenDay(day_);
}

void Win32CallsWindow::Dialog::editPrice(int row)
{
    const std::vector<TotalsRow>& totals = model_.totals();
    if (row < 0 || static_cast<std::size_t>(row) >= totals.size() || totals[static_cast<std::size_t>(row)].overall)
        return;
    if (editor_.isOpen())
        editDone(true);
    const TotalsRow& total = totals[static_cast<std::size_t>(row)];
    editedEntry_ = total.entry;
    editedText_ = total.texts[kPriceColumn];
    editor_.open(totals_, row, kPriceColumn, editedText_, anchors_.pixelsX(50), dialog_, kEditDoneMessage);
}

void Win32CallsWindow::Dialog::editDone(bool keep)
{
    const std::optional<std::string> typed = editor_.close();
    if (!typed || !keep || *typed == editedText_)
        return;
    warn(model_.setPrice(editedEntry_, *typed));
    // Either way the month is shown again, so the typed text does not stand.
    PostMessageW(dialog_, kRefreshMessage, 0, 0);
}

void Win32CallsWindow::Dialog::close()
{
    if (editor_.isOpen())
        editDone(true);
    model_.close();
    chooseDay(0);
    ListView_DeleteAllItems(totals_);
    ShowWindow(dialog_, SW_HIDE);
    if (d_.closed)
        d_.closed();
}

Win32CallsWindow::Win32CallsWindow(Win32CallsWindowDeps deps)
    : dialog_(std::make_unique<Dialog>(std::move(deps)))
{
}

Win32CallsWindow::~Win32CallsWindow() = default;

void Win32CallsWindow::showWindow()
{
    dialog_->showWindow();
}

void Win32CallsWindow::runningCall(const CallRecord& call)
{
    dialog_->runningCall(call);
}

void Win32CallsWindow::close()
{
    dialog_->close();
}

HWND Win32CallsWindow::window() const
{
    return dialog_->window();
}

} // namespace zumi
