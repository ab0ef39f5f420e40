#include "about/qt/center_form.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace zumi {

QPoint centeredTopLeft(const QRect& screen, const QSize& window)
{
    return {screen.x() + (screen.width() - window.width()) / 2, screen.y() + (screen.height() - window.height()) / 2};
}

void centerForm(QWidget& form)
{
    QScreen* screen = form.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return; // no screen at all: leave the window where the system puts it
    form.move(centeredTopLeft(screen->geometry(), form.frameGeometry().size()));
}

} // namespace zumi
