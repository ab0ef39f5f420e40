#pragma once
#include "calls/window/month_chart.h"

#include <QWidget>

#include <functional>

namespace zumi {

// Draws the month's chart as its model lays it out for the widget's size,
// in logical coordinates, so it stays sharp and whole at any screen scaling.
// A click on a day says which; a pointer resting on a bar or a name of the
// legend shows the day's sums or the whole name.
class MonthChartView final : public QWidget {
    Q_OBJECT
public:
    using Source = std::function<ChartPicture(double width, double height, const ChartFont& font)>;

    explicit MonthChartView(QWidget* parent = nullptr);

    void setSource(Source source);
    // The day whose calls the table shows; 0 for the whole month.
    void setChosenDay(int day);
    // As last drawn.
    const ChartPicture& picture() const { return picture_; }

signals:
    void dayClicked(int day);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void layOut();

    Source source_;
    ChartPicture picture_;
    int chosen_ = 0;
};

} // namespace zumi
