#include "calls/window/win32/win32_month_chart.h"

#include "platform/win32/wide_text.h"

#include <algorithm>
#include <cmath>

namespace zumi::win32 {
namespace {

COLORREF colour(Rgb c)
{
    return RGB(c.r, c.g, c.b);
}

// `over` laid on `under` at alpha/255, as a translucent brush would.
COLORREF blend(COLORREF over, COLORREF under, int alpha)
{
    const auto mix = [alpha](int a, int b) { return static_cast<BYTE>((a * alpha + b * (255 - alpha)) / 255); };
    return RGB(mix(GetRValue(over), GetRValue(under)), mix(GetGValue(over), GetGValue(under)),
               mix(GetBValue(over), GetBValue(under)));
}

RECT toRect(const ChartRect& r)
{
    return {static_cast<LONG>(std::lround(r.x)), static_cast<LONG>(std::lround(r.y)),
            static_cast<LONG>(std::lround(r.x + r.w)), static_cast<LONG>(std::lround(r.y + r.h))};
}

void fill(HDC dc, const RECT& r, COLORREF c)
{
    SetDCBrushColor(dc, c);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void line(HDC dc, double x0, double y0, double x1, double y1)
{
    MoveToEx(dc, static_cast<int>(std::lround(x0)), static_cast<int>(std::lround(y0)), nullptr);
    LineTo(dc, static_cast<int>(std::lround(x1)), static_cast<int>(std::lround(y1)));
}

void text(HDC dc, RECT r, const std::string& utf8, UINT format)
{
    std::wstring wide = wideFromUtf8(utf8);
    DrawTextW(dc, wide.data(), static_cast<int>(wide.size()), &r, format | DT_NOPREFIX);
}

} // namespace

ChartFont chartFont(HDC dc)
{
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return {[dc](const std::string& utf8) {
                const std::wstring wide = wideFromUtf8(utf8);
                SIZE size{};
                GetTextExtentPoint32W(dc, wide.data(), static_cast<int>(wide.size()), &size);
                return static_cast<double>(size.cx);
            },
            static_cast<double>(metrics.tmHeight)};
}

void paintMonthChart(HDC dc, const RECT& area, const ChartPicture& p, int chosenDay)
{
    const COLORREF base = GetSysColor(COLOR_WINDOW);
    const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    fill(dc, area, base);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ink);
    if (!p.message.empty()) {
        text(dc, area, p.message, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        return;
    }
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const double lineHeight = metrics.tmHeight;
    const double slot = p.plot.w / std::max(1, p.dayCount);
    if (p.today)
        fill(dc, toRect(*p.today), blend(highlight, base, 50));

    const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, blend(ink, base, 40));
    for (const ChartPicture::Label& tick : p.ticks)
        line(dc, p.plot.x, tick.y, p.plot.x + p.plot.w, tick.y);
    for (const ChartPicture::Label& tick : p.ticks)
        text(dc, toRect({0, tick.y - lineHeight / 2, tick.x, lineHeight}), tick.text,
             DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    for (const ChartPicture::Label& day : p.days)
        text(dc, toRect({day.x - 2 * lineHeight, day.y - lineHeight / 2, 4 * lineHeight, lineHeight}), day.text,
             DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetDCPenColor(dc, ink);
    line(dc, p.plot.x, p.plot.y, p.plot.x, p.plot.y + p.plot.h);
    line(dc, p.plot.x, p.plot.y + p.plot.h, p.plot.x + p.plot.w, p.plot.y + p.plot.h);

    for (const ChartPicture::Bar& bar : p.bars)
        for (const ChartPicture::Segment& segment : bar.segments)
            fill(dc, toRect(segment.rect), colour(segment.colour));

    // A cosmetic pen draws dashes only one pixel wide; the budget's line is two.
    LOGBRUSH red{BS_SOLID, RGB(0xa0, 0, 0), 0};
    const HPEN dashed = ExtCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT, 2, &red, 0, nullptr);
    SelectObject(dc, dashed);
    for (const ChartPicture::Line& share : p.budget)
        line(dc, share.x0, share.y, share.x1, share.y);

    if (chosenDay > 0) {
        const HPEN frame = CreatePen(PS_INSIDEFRAME, 2, highlight);
        SelectObject(dc, frame);
        const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        const RECT r = toRect({p.plot.x + (chosenDay - 1) * slot, p.plot.y, slot, p.plot.h});
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(frame);
    }
    SelectObject(dc, oldPen);
    DeleteObject(dashed);

    for (const ChartPicture::LegendItem& item : p.legend) {
        fill(dc, toRect(item.swatch), colour(item.colour));
        text(dc, toRect(item.text), item.entry, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
}

} // namespace zumi::win32
