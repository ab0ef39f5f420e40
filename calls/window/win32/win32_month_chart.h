#pragma once
#include "calls/window/month_chart.h"

#include <windows.h>

namespace zumi::win32 {

// How the chart's texts measure in a device context's font.
ChartFont chartFont(HDC dc);

// The chart picture drawn with GDI into `dc` over `area`; `chosenDay` (0:
// none) framed. Colours from the system's, as the window's others.
void paintMonthChart(HDC dc, const RECT& area, const ChartPicture& picture, int chosenDay);

} // namespace zumi::win32
