#pragma once
#include "calls/window/month_chart.h"

#include <windows.h>

#include <functional>
#include <string>

namespace zumi::win32 {

// The month's chart in the window: an owner-drawn static (SS_NOTIFY) whose
// WM_DRAWITEM the dialog hands on, the day's sums or an entry's whole name
// as its tooltip, and a click on a day to choose it.
class MonthChartView final {
public:
    using Source = std::function<ChartPicture(double width, double height, const ChartFont& font)>;

    void attach(HWND chart, Source source, std::function<void(int day)> dayClicked);
    void draw(const DRAWITEMSTRUCT& draw);
    // 0: none.
    void setChosenDay(int day);
    void update() const;

private:
    static LRESULT CALLBACK chartProc(HWND chart, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
    void showTip(int x, int y);

    HWND chart_ = nullptr, tip_ = nullptr;
    Source source_;
    std::function<void(int day)> dayClicked_;
    ChartPicture picture_; // as last drawn, for the pointer
    std::wstring tipText_;
    int chosen_ = 0;
};

} // namespace zumi::win32
