#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace zumi {

// Top-left corner that puts a window of the given size in the middle of the screen area.
QPoint centeredTopLeft(const QRect& screen, const QSize& window);

// CenterForm: moves the window to the middle of its screen.
void centerForm(QWidget& form);

} // namespace zumi
