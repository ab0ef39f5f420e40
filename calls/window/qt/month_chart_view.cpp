#include "calls/window/qt/month_chart_view.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <utility>

namespace zumi {
namespace {

QColor colour(Rgb c)
{
    return QColor(c.r, c.g, c.b);
}

QRectF toRect(const ChartRect& r)
{
    return {r.x, r.y, r.w, r.h};
}

} // namespace

MonthChartView::MonthChartView(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MonthChartView::setSource(Source source)
{
    source_ = std::move(source);
    update();
}

void MonthChartView::setChosenDay(int day)
{
    chosen_ = day;
    update();
}

void MonthChartView::layOut()
{
    const QFontMetricsF metrics(font());
    const ChartFont measure{
        [&metrics](const std::string& text) { return metrics.horizontalAdvance(QString::fromStdString(text)); },
        metrics.height()};
    picture_ = source_ ? source_(width(), height(), measure) : ChartPicture{};
}

void MonthChartView::paintEvent(QPaintEvent*)
{
    layOut();
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().text().color());
    if (!picture_.message.empty()) {
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, QString::fromStdString(picture_.message));
        return;
    }
    const ChartPicture& p = picture_;
    const double line = QFontMetricsF(font()).height();
    const double slot = p.plot.w / std::max(1, p.dayCount);
    QColor mark = palette().highlight().color();
    mark.setAlpha(50);
    if (p.today)
        painter.fillRect(toRect(*p.today), mark);
    if (chosen_ > 0) {
        painter.setPen(QPen(palette().highlight().color(), 2));
        painter.drawRect(QRectF(p.plot.x + (chosen_ - 1) * slot, p.plot.y, slot, p.plot.h));
    }

    QColor grid = palette().text().color();
    grid.setAlpha(40);
    for (const ChartPicture::Label& tick : p.ticks) {
        painter.setPen(grid);
        painter.drawLine(QPointF(p.plot.x, tick.y), QPointF(p.plot.x + p.plot.w, tick.y));
        painter.setPen(palette().text().color());
        painter.drawText(QRectF(0, tick.y - line / 2, tick.x, line), Qt::AlignRight | Qt::AlignVCenter,
                         QString::fromStdString(tick.text));
    }
    for (const ChartPicture::Label& day : p.days)
        painter.drawText(QRectF(day.x - 2 * line, day.y - line / 2, 4 * line, line), Qt::AlignCenter,
                         QString::fromStdString(day.text));
    painter.drawLine(QPointF(p.plot.x, p.plot.y), QPointF(p.plot.x, p.plot.y + p.plot.h));
    painter.drawLine(QPointF(p.plot.x, p.plot.y + p.plot.h), QPointF(p.plot.x + p.plot.w, p.plot.y + p.plot.h));

    for (const ChartPicture::Bar& bar : p.bars)
        for (const ChartPicture::Segment& segment : bar.segments)
            painter.fillRect(toRect(segment.rect), colour(segment.colour));

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0xa0, 0, 0), 2, Qt::DashLine));
    for (const ChartPicture::Line& share : p.budget)
        painter.drawLine(QPointF(share.x0, share.y), QPointF(share.x1, share.y));

    painter.setPen(palette().text().color());
    const QFontMetricsF metrics(font());
    for (const ChartPicture::LegendItem& item : p.legend) {
        painter.fillRect(toRect(item.swatch), colour(item.colour));
        painter.drawText(toRect(item.text), Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(QString::fromStdString(item.entry), Qt::ElideRight, item.text.w));
    }
}

bool MonthChartView::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const QPointF at = static_cast<QHelpEvent*>(event)->pos();
    QString tip;
    if (const ChartPicture::LegendItem* item = picture_.legendAt(at.x(), at.y()))
        tip = QString::fromStdString(item->entry);
    else if (const auto day = picture_.dayAt(at.x(), at.y()))
        if (const ChartPicture::Bar* bar = picture_.barOf(*day))
            tip = QString::fromStdString(bar->tip);
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, this);
    return true;
}

void MonthChartView::mousePressEvent(QMouseEvent* event)
{
    const auto day = picture_.dayAt(event->position().x(), event->position().y());
    if (event->button() == Qt::LeftButton && day)
        emit dayClicked(*day);
    QWidget::mousePressEvent(event);
}

} // namespace zumi
