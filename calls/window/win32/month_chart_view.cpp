#include "calls/window/win32/month_chart_view.h"

#include "calls/window/win32/win32_month_chart.h"
#include "platform/win32/wide_text.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace zumi::win32 {

void MonthChartView::attach(HWND chart, Source source, std::function<void(int day)> dayClicked)
{
    chart_ = chart;
    source_ = std::move(source);
    dayClicked_ = std::move(dayClicked);
    const HWND dialog = GetParent(chart);
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE)), nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(chart_);
    tool.lpszText = tipText_.data();
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    RECT wide{0, 0, 300, 0};
    MapDialogRect(dialog, &wide);
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, wide.right);
    SetWindowSubclass(chart_, &MonthChartView::chartProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

void MonthChartView::draw(const DRAWITEMSTRUCT& draw)
{
    const RECT& area = draw.rcItem;
    const int width = area.right - area.left, height = area.bottom - area.top;
    // Drawn aside and copied at once: no flicker as the bars grow.
    const HDC dc = CreateCompatibleDC(draw.hDC);
    const HBITMAP bitmap = CreateCompatibleBitmap(draw.hDC, std::max(width, 1), std::max(height, 1));
    const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    const HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(chart_, WM_GETFONT, 0, 0)));
    picture_ = source_ ? source_(width, height, chartFont(dc)) : ChartPicture{};
    paintMonthChart(dc, {0, 0, width, height}, picture_, chosen_);
    BitBlt(draw.hDC, area.left, area.top, width, height, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

void MonthChartView::setChosenDay(int day)
{
    chosen_ = day;
    update();
}

void MonthChartView::update() const
{
    if (chart_)
        InvalidateRect(chart_, nullptr, FALSE);
}

LRESULT CALLBACK MonthChartView::chartProc(HWND chart, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR self)
{
    auto& view = *reinterpret_cast<MonthChartView*>(self);
    const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
    switch (message) {
    case WM_LBUTTONDOWN:
        if (const auto day = view.picture_.dayAt(x, y); day && view.dayClicked_)
            view.dayClicked_(*day);
        break;
    case WM_MOUSEMOVE:
        view.showTip(x, y);
        break;
    case WM_ERASEBKGND:
        return 1; // the drawing covers it all
    case WM_NCDESTROY:
        RemoveWindowSubclass(chart, &MonthChartView::chartProc, 1);
        view.chart_ = nullptr;
        break;
    default:
        break;
    }
    return DefSubclassProc(chart, message, wParam, lParam);
}

void MonthChartView::showTip(int x, int y)
{
    std::string tip;
    if (const ChartPicture::LegendItem* legend = picture_.legendAt(x, y))
        tip = legend->entry;
    else if (const auto day = picture_.dayAt(x, y))
        if (const ChartPicture::Bar* bar = picture_.barOf(*day))
            tip = bar->tip;
    std::wstring text = wideFromUtf8(tip);
    if (text == tipText_)
        return;
    tipText_ = std::move(text);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = GetParent(chart_);
    tool.uId = reinterpret_cast<UINT_PTR>(chart_);
    tool.lpszText = tipText_.data();
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    if (tipText_.empty())
        SendMessageW(tip_, TTM_POP, 0, 0);
}

} // namespace zumi::win32
