#include "infowindow/info_window.h"
#include "paint_counter.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace zumi {
namespace {

const QColor kBlue(0, 0, 255);
const QColor kLightGreen(128, 255, 128);

class InfoWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        window.move(500, 100);
        window.show();
        settle();
    }
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
    QWidget* child(const char* name) const { return window.findChild<QWidget*>(name); }
    QLabel* rest() const { return window.findChild<QLabel*>("lblAutoDiscRest"); }
    QColor pixelOf(const char* name, QPoint at)
    {
        return window.grab().toImage().pixelColor(child(name)->mapTo(&window, at));
    }
    // The bar's inner area is 60 x 7 px from 1,1.
    QColor barPixel(int innerX) { return pixelOf("picBack", QPoint(1 + innerX, 2)); }
    // Where neither the unit time nor the bar cover picRight.
    QColor faceColour() { return pixelOf("picRight", QPoint(25, 6)); }
    int barPaints(const std::function<void()>& action)
    {
        settle();
        test::PaintCounter counter;
        child("picBack")->installEventFilter(&counter);
        action();
        settle();
        child("picBack")->removeEventFilter(&counter);
        return counter.paints;
    }

    InfoPosition position;
    AutoHangupState autoHangup;
    InfoWindowMemory memory;
    InfoWindow window{position, autoHangup, memory, [] {}};
};

TEST_F(InfoWindowTest, BarIsClampedAndDrawnOnlyWhenItsPixelWidthChanges)
{
    window.setProgressValue(250);
    for (int x : {0, 30, 59})
        EXPECT_EQ(barPixel(x), kBlue) << "inner x " << x;
    EXPECT_EQ(barPaints([&] { window.setProgressValue(100); }), 0);
    window.setProgressValue(-5);
    for (int x : {0, 30, 59})
        EXPECT_EQ(barPixel(x), faceColour()) << "inner x " << x;
    window.setProgressValue(7.5); // 4.5 px, rounded half to even
    EXPECT_EQ(memory.lastBlueWidth, 4);

    window.setProgressValue(50); // 30 px
    // The after-N rule is armed meanwhile, but 50.5 % is still 30 px: nothing drawn, no number.
    autoHangup = {3, 1};
    EXPECT_EQ(barPaints([&] { window.setProgressValue(50.5); }), 0);
    EXPECT_FALSE(rest()->isVisible());
    EXPECT_EQ(barPixel(29), kBlue);
    EXPECT_EQ(barPixel(30), faceColour());
    window.setProgressValue(52); // 31 px: drawn, and the number follows
    EXPECT_EQ(rest()->text(), "2");
    EXPECT_EQ(barPixel(30), kBlue);
    EXPECT_EQ(barPixel(31), kLightGreen);
}

TEST_F(InfoWindowTest, RemainingUnitsShowOnLightGreenWhileTheRuleIsArmed)
{
    autoHangup = {3, 1};
    window.setProgressValue(50);
    EXPECT_TRUE(rest()->isVisible());
    EXPECT_EQ(rest()->text(), "2");
    EXPECT_EQ(barPixel(33), kLightGreen);

    // A new unit (below 0.1 %) repaints the whole remainder, blue part included.
    window.setProgressValue(0.05);
    EXPECT_EQ(barPixel(0), kLightGreen);
    EXPECT_EQ(barPixel(20), kLightGreen);

    autoHangup = {-1, 0};
    window.setProgressValue(30);
    EXPECT_FALSE(rest()->isVisible());
    EXPECT_EQ(barPixel(17), kBlue);
    EXPECT_EQ(barPixel(18), faceColour());
}

TEST_F(InfoWindowTest, LayoutFollowsTheDisplayOptionsAndKeepsTheRightEdge)
{
    struct Case {
        bool speed, time, rest;
        int width, timeLeft, restLeft; // hidden fields keep their place from the step before
    };
    const Case cases[] = {
        {true, true, true, 189, 57, 96}, {false, true, true, 137, 5, 44},  {true, false, true, 149, 5, 56},
        {true, true, false, 96, 57, 56}, {true, false, false, 56, 57, 56}, {false, true, false, 44, 5, 56},
        {false, false, true, 97, 5, 4},  {false, false, false, 4, 5, 4},
    };
    // The position rules place the window by its width as loaded.
    EXPECT_EQ(window.width(), kInfoLoadedWidthPx);
    const int rightEdge = window.x() + window.width();
    for (const Case& c : cases) {
        Options options;
        options.ShowSpeed = c.speed;
        options.ShowOnlineTime = c.time;
        options.ShowRest = c.rest;
        window.SetOption(options);
        SCOPED_TRACE(testing::Message() << c.speed << c.time << c.rest);
        EXPECT_EQ(window.size(), QSize(c.width, 21));
        EXPECT_EQ(window.x() + window.width(), rightEdge);
        EXPECT_EQ(child("lblSpeed")->isVisibleTo(&window), c.speed);
        EXPECT_EQ(child("lblTime")->isVisibleTo(&window), c.time);
        EXPECT_EQ(child("picRight")->isVisibleTo(&window), c.rest);
        EXPECT_EQ(child("lblTime")->x(), c.timeLeft);
        EXPECT_EQ(child("picRight")->x(), c.restLeft);
    }
}

TEST_F(InfoWindowTest, WidestCaptionsFitTheirLabels)
{
    const std::pair<const char*, const char*> widest[]
        = {{"lblSpeed", "99,9 KB/s"}, {"lblSpeed", "9999 KB/s"}, {"lblTime", "9:59:59"}, {"lblTakt", "59:59"}};
    for (const auto& [name, text] : widest) {
        const QWidget* label = child(name);
        EXPECT_LE(QFontMetricsF(label->font()).horizontalAdvance(QString::fromLatin1(text)), label->width())
            << name << " \"" << text << "\" in " << label->font().family().toStdString();
        EXPECT_GE(label->font().pixelSize(), 9) << name;
    }
}

} // namespace
} // namespace zumi
