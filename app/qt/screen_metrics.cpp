#include "app/qt/screen_metrics.h"

#include <QScreen>

namespace zumi {

ScreenMetrics screenMetrics(int widthPx, int heightPx, double dpiX, double dpiY)
{
    ScreenMetrics metrics;
    metrics.twipsPerPixelX = 1440.0 / (dpiX > 0 ? dpiX : 96.0);
    metrics.twipsPerPixelY = 1440.0 / (dpiY > 0 ? dpiY : 96.0);
    metrics.screenWidth = widthPx * metrics.twipsPerPixelX;
    metrics.screenHeight = heightPx * metrics.twipsPerPixelY;
    metrics.infoWidth = kInfoLoadedWidthPx * metrics.twipsPerPixelX;
    return metrics;
}

ScreenMetrics screenMetrics(const QScreen* screen)
{
    if (!screen)
        return screenMetrics(1024, 768, 96, 96);
    const QRect geometry = screen->geometry();
    return screenMetrics(geometry.width(), geometry.height(), screen->logicalDotsPerInchX(),
                         screen->logicalDotsPerInchY());
}

FindKolpRect kolpRectFinder(WindowQueries& windows)
{
    return [&windows]() -> std::optional<PixelRect> {
        const WindowId kolp = windows.findKolpWindow();
        if (kolp == 0)
            return std::nullopt;
        const auto rect = windows.windowRect(kolp);
        if (!rect)
            return std::nullopt;
        return *rect;
    };
}

} // namespace zumi
