#include "infowindow/qt/screen_layout.h"

#include <QGuiApplication>
#include <QScreen>

namespace zumi {

ScreenLayout screenLayout()
{
    const auto rect = [](const QRect& r) {
        return PixelRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    };
    ScreenLayout layout;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        layout.primary = rect(primary->geometry());
    for (const QScreen* screen : QGuiApplication::screens())
        layout.screens.push_back(rect(screen->geometry()));
    return layout;
}

} // namespace zumi
