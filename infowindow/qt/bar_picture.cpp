#include "infowindow/qt/bar_picture.h"

#include <QPaintEvent>
#include <QPainter>

namespace zumi {

BarPicture::BarPicture(QWidget* parent)
    : QWidget(parent)
{
    // The image covers every pixel; nothing underneath needs painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BarPicture::clearImage(const QColor& background)
{
    image_ = QImage(size(), QImage::Format_RGB32);
    image_.fill(background);
}

void BarPicture::fillImageRect(const QRect& rect, const QColor& colour)
{
    if (rect.isEmpty())
        return;
    QPainter painter(&image_);
    painter.fillRect(rect, colour);
}

void BarPicture::refresh()
{
    update();
}

void BarPicture::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), image_, event->rect());
}

} // namespace zumi
