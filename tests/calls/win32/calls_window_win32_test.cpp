#include "calls/month_report.h"
#include "calls/window/win32/calls_window_resources.h"
#include "calls/window/win32/win32_calls_window.h"
#include "fake_call_store.h"
#include "fake_clock.h"
#include "temp_folder.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

namespace zumi {
namespace {

using namespace std::chrono;

std::string stamp(int day, int minute)
{
    char text[32];
    std::snprintf(text, sizeof text, "2026-03-%02d %02d:%02d:00", day, minute / 60, minute % 60);
    return text;
}

// A month of one-minute calls of two entries, 1,000 a day.
void fillMarch(test::FakeCallStore& store, int calls)
{
    for (int i = 0; i < calls; ++i) {
        const int day = 1 + i / 1000, minute = i % 1000;
        CallRecord call{0, i % 2 ? "Net2" : "Net1", stamp(day, minute), "", stamp(day, minute + 1), "", 60, 1, 1000,
                        "menu"};
        store.add(call);
    }
    CallRecord february{0, "Net1", "2026-02-27 09:00:00", "", "2026-02-27 09:05:00", "", 300, 5, 0, "menu"};
    store.add(february);
}

std::string cell(HWND list, int row, int column)
{
    wchar_t text[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    char utf8[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

std::string text(HWND window)
{
    wchar_t wide[512] = {};
    GetWindowTextW(window, wide, 512);
    char utf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

int count(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

// The message loop of the program, until `done` or 20 s.
template <class Done>
bool pumpUntil(HWND dialog, Done done)
{
    const DWORD until = GetTickCount() + 20000;
    while (!done()) {
        if (GetTickCount() > until)
            return false;
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        if (!IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

void click(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The tick's stand-in: a thread timer that notes how many calls were listed when it ran.
std::vector<int> ticksSeen;
HWND ticksList = nullptr;
void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD)
{
    ticksSeen.push_back(count(ticksList));
}

// A month of 40,000 calls read a page per pass (a timer runs between the
// pages), listed, summed against the budget, a price and the budget typed
// and stored, the month exported as the model writes it, the running call
// shown in place, other months, and the month let go of at the close.
TEST(Win32CallsWindow, ShowsPagesPricesBudgetsAndExportsAMonth)
{
    test::FakeClock clock(year{2026} / 3 / 20, 36000);
    test::FakeCallStore store;
    constexpr int kCalls = 40000;
    fillMarch(store, kCalls);
    store.priceTable = {{"Net1", {1200, "\xE2\x82\xAC"}}};
    store.budgetSettings = {BudgetSettings::Kind::Units, 100000, 1, true};
    test::TempFolder folder;
    const std::wstring csv = (folder.path / L"m\u00e4rz.csv").wstring();
    std::vector<std::wstring> suggested;
    std::vector<std::string> warnings;
    int closed = 0;
    Win32CallsWindow window({GetModuleHandleW(nullptr), store, clock, [] { return std::vector<std::string>{"Net3"}; },
                             [&] { ++closed; },
                             [&](const std::wstring& name) {
                                 suggested.push_back(name);
                                 return csv;
                             },
                             [&](const std::string& text) { warnings.push_back(text); }});
    const HWND dialog = window.window();
    ASSERT_TRUE(dialog);
    const HWND list = GetDlgItem(dialog, IDC_CALLS_LIST), totals = GetDlgItem(dialog, IDC_CALLS_TOTALS);
    ticksList = list;
    const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &tick);

    window.showWindow();
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(text(GetDlgItem(dialog, IDC_CALLS_MONTH)), "M\xC3\xA4rz 2026");
    EXPECT_LT(count(list), kCalls) << "a page at a time";
    ASSERT_TRUE(pumpUntil(dialog, [&] { return count(totals) > 0; }));
    KillTimer(nullptr, timer);
    EXPECT_TRUE(std::any_of(ticksSeen.begin(), ticksSeen.end(), [](int n) { return n > 0 && n < kCalls; }))
        << "the loop ran timers between the pages";
    ASSERT_EQ(count(list), kCalls);
    EXPECT_EQ(cell(list, 1, 0), "01.03.2026");
    EXPECT_EQ(cell(list, 1, 1), "Net2");
    EXPECT_EQ(cell(list, 1, 2), "00:01:00");
    EXPECT_EQ(cell(list, 0, 6), "0,12 \xE2\x82\xAC");
    ASSERT_EQ(count(totals), 4); // Net1, Net2, Net3 (from the phonebook) and the whole
    EXPECT_EQ(cell(totals, 0, 1), "20000");
    EXPECT_EQ(cell(totals, 0, 4), "2400,00 \xE2\x82\xAC");
    EXPECT_EQ(cell(totals, 3, 0), "Gesamt");
    EXPECT_EQ(cell(totals, 3, 3), "40000");
    ASSERT_TRUE(pumpUntil(dialog, [&] { return !text(GetDlgItem(dialog, IDC_CALLS_BUDGET_USE)).empty(); }));
    EXPECT_EQ(text(GetDlgItem(dialog, IDC_CALLS_BUDGET_USE)), "seit 01.03.2026: 40000 von 100000 Einheiten");

    // A price typed into the totals, for an entry without calls.
    NMITEMACTIVATE activate{};
    activate.hdr = {totals, static_cast<UINT_PTR>(IDC_CALLS_TOTALS), NM_DBLCLK};
    activate.iItem = 2;
    SendMessageW(dialog, WM_NOTIFY, IDC_CALLS_TOTALS, reinterpret_cast<LPARAM>(&activate));
    const HWND editor = GetDlgItem(totals, IDC_CALLS_PRICE_EDIT);
    ASSERT_TRUE(editor);
    SetWindowTextW(editor, L"0,05 DM");
    SendMessageW(editor, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(pumpUntil(dialog, [&] { return cell(totals, 2, 6) == "0,05 DM"; })) << "the month shown again";
    EXPECT_EQ(store.priceTable["Net3"], (UnitPrice{500, "DM"}));
    EXPECT_FALSE(IsWindow(editor));

    // The budget: a wrong amount said, then money from a day typed past 28.
    SendDlgItemMessageW(dialog, IDC_CALLS_BUDGET_KIND, CB_SETCURSEL, 2, 0);
    SetDlgItemTextW(dialog, IDC_CALLS_BUDGET_AMOUNT, L"nichts");
    click(dialog, IDC_CALLS_BUDGET_SAVE);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], "Das Budget in Geld ist ein Betrag gr\xC3\xB6\xC3\x9F"
                           "er als 0, etwa 20,00.");
    SetDlgItemTextW(dialog, IDC_CALLS_BUDGET_AMOUNT, L" 20,50 ");
    SetDlgItemTextW(dialog, IDC_CALLS_BILLING_DAY, L"40");
    CheckDlgButton(dialog, IDC_CALLS_CUT_OFF, BST_UNCHECKED);
    click(dialog, IDC_CALLS_BUDGET_SAVE);
    EXPECT_EQ(store.budgetSettings, (BudgetSettings{BudgetSettings::Kind::Money, 205000, 28, false}));
    EXPECT_EQ(text(GetDlgItem(dialog, IDC_CALLS_BILLING_DAY)), "28");

    // The export, in pages too, is the model's CSV of the month.
    click(dialog, IDC_CALLS_EXPORT);
    ASSERT_EQ(suggested, std::vector<std::wstring>{L"Verbindungen-2026-03.csv"});
    ASSERT_TRUE(pumpUntil(dialog, [&] { return std::filesystem::exists(csv); }));
    EXPECT_EQ(test::readText(csv), monthCsv(store.calls(year{2026} / 3), store.prices()));
    EXPECT_EQ(warnings.size(), 1u);

    // The running call: its row and the sums grow in place.
    CallRecord running{0, "Net1", "2026-03-20 09:59:00", "", "", "", 60, 1, 0, ""};
    store.add(running);
    running.onlineSeconds = 120;
    running.units = 2;
    window.runningCall(running);
    ASSERT_EQ(count(list), kCalls + 1);
    EXPECT_EQ(cell(list, kCalls, 3), "l\xC3\xA4uft");
    EXPECT_EQ(cell(totals, 3, 0), "Gesamt (l\xC3\xA4uft)");
    EXPECT_EQ(cell(totals, 3, 3), "40002");

    click(dialog, IDC_CALLS_NEXT_MONTH);
    ASSERT_TRUE(pumpUntil(dialog, [&] { return count(totals) > 0; }));
    EXPECT_EQ(text(GetDlgItem(dialog, IDC_CALLS_MONTH)), "April 2026");
    EXPECT_EQ(count(list), 0);
    click(dialog, IDC_CALLS_PREV_MONTH);
    click(dialog, IDC_CALLS_PREV_MONTH);
    ASSERT_TRUE(pumpUntil(dialog, [&] { return count(totals) > 0; }));
    EXPECT_EQ(text(GetDlgItem(dialog, IDC_CALLS_MONTH)), "Februar 2026");
    EXPECT_EQ(cell(list, 0, 4), "0:05:00");

    click(dialog, IDCANCEL);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ(count(list), 0) << "the month is let go of";
    EXPECT_EQ(count(totals), 0);
}

} // namespace
} // namespace zumi
