#include "info_window.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace zumi {
namespace {

const QColor kBlue(0, 0, 255);
const QColor kLightGreen(128, 255, 128);

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

class InfoWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        window = load();
        window->move(500, 100);
        window->show();
        settle();
    }

    std::unique_ptr<InfoWindow> load()
    {
        return std::make_unique<InfoWindow>(position, autoHangup, memory, [this] { ++keepOnTopCalls; });
    }

    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    QWidget* child(const char* name) const { return window->findChild<QWidget*>(name); }
    QLabel* label(const char* name) const { return window->findChild<QLabel*>(name); }

    QColor pixelOf(QWidget* widget, QPoint at) const
    {
        return window->grab().toImage().pixelColor(widget->mapTo(window.get(), at));
    }
    // A pixel of the bar's inner area (60 x 7 from 1,1), x counted from its left.
    QColor barPixel(int innerX) const { return pixelOf(child("picBack"), QPoint(1 + innerX, 2)); }
    // The colour picRight paints where neither the unit time nor the bar cover it.
    QColor faceColour() const { return pixelOf(child("picRight"), QPoint(25, 6)); }

    int countBarPaints(const std::function<void()>& action)
    {
        settle();
        PaintCounter counter;
        child("picBack")->installEventFilter(&counter);
        action();
        settle();
        child("picBack")->removeEventFilter(&counter);
        return counter.paints;
    }

    InfoPosition position;
    AutoHangupState autoHangup;
    InfoWindowMemory memory;
    int keepOnTopCalls = 0;
    std::unique_ptr<InfoWindow> window;
};

TEST_F(InfoWindowTest, LoadLeavesAnEmptyBarAndTheDesignLayout)
{
    EXPECT_EQ(window->size(), QSize(188, 21));
    EXPECT_EQ(window->tppX(), 15);
    EXPECT_EQ(window->tppY(), 15);
    EXPECT_EQ(label("lblSpeed")->text(), "0,0 KB/s");
    EXPECT_FALSE(label("lblAutoDiscRest")->isVisible());
    EXPECT_EQ(child("lblAutoDiscRest")->geometry(), QRect(40, 0, 20, 7));

    const QColor face = faceColour();
    for (int x : {0, 1, 30, 59})
        EXPECT_EQ(barPixel(x), face) << "inner x " << x;
    // The 1-pixel frame keeps the bar's own background.
    EXPECT_EQ(pixelOf(child("picBack"), QPoint(0, 0)), QApplication::palette("QMenu").color(QPalette::WindowText));
    EXPECT_EQ(pixelOf(child("picBack"), QPoint(61, 8)), QApplication::palette("QMenu").color(QPalette::WindowText));
    EXPECT_EQ(memory.lastBlueWidth, 0);
    EXPECT_EQ(memory.lastRemainingUnits, -1);
}

TEST_F(InfoWindowTest, ValuesAreClampedIntoTheBar)
{
    window->setProgressValue(250);
    for (int x : {0, 30, 59})
        EXPECT_EQ(barPixel(x), kBlue) << "inner x " << x;
    EXPECT_EQ(memory.lastBlueWidth, 60);

    // 100 gives the same 60 pixels: nothing to draw.
    EXPECT_EQ(countBarPaints([&] { window->setProgressValue(100); }), 0);

    window->setProgressValue(-5);
    EXPECT_EQ(memory.lastBlueWidth, 0);
    for (int x : {0, 30, 59})
        EXPECT_EQ(barPixel(x), faceColour()) << "inner x " << x;
}

TEST_F(InfoWindowTest, SamePixelWidthDrawsNothingAndKeepsTheNumber)
{
    window->setProgressValue(50); // 30 px
    EXPECT_EQ(barPixel(29), kBlue);
    EXPECT_EQ(barPixel(30), faceColour());

    // The after-N rule is armed meanwhile, but 50.5 % is still 30 px.
    autoHangup = {3, 1};
    EXPECT_EQ(countBarPaints([&] { window->setProgressValue(50.5); }), 0);
    EXPECT_EQ(memory.lastRemainingUnits, -1);
    EXPECT_FALSE(label("lblAutoDiscRest")->isVisible());
    EXPECT_EQ(barPixel(30), faceColour());

    // A pixel more: drawn, and the number follows.
    EXPECT_GE(countBarPaints([&] { window->setProgressValue(52); }), 1); // 31.2 -> 31 px
    EXPECT_EQ(memory.lastRemainingUnits, 2);
    EXPECT_EQ(barPixel(30), kBlue);
    EXPECT_EQ(barPixel(31), kLightGreen);
}

TEST_F(InfoWindowTest, BlueWidthRoundsHalvesToEven)
{
    window->setProgressValue(2.5); // 1.5 px -> 2
    EXPECT_EQ(memory.lastBlueWidth, 2);
    window->setProgressValue(7.5); // 4.5 px -> 4
    EXPECT_EQ(memory.lastBlueWidth, 4);
}

TEST_F(InfoWindowTest, RemainingUnitsShowOnLightGreenWhileTheRuleIsArmed)
{
    autoHangup = {3, 1};
    window->setProgressValue(50);
    QLabel* rest = label("lblAutoDiscRest");
    EXPECT_TRUE(rest->isVisible());
    EXPECT_EQ(rest->text(), "2");
    EXPECT_EQ(barPixel(10), kBlue);
    EXPECT_EQ(barPixel(33), kLightGreen);
    // The number is drawn over the green, right-aligned at the bar's end.
    bool textDrawn = false;
    for (int x = 40; x < 60 && !textDrawn; ++x)
        for (int y = 1; y < 7 && !textDrawn; ++y)
            textDrawn = pixelOf(child("picBack"), QPoint(1 + x, y)) != kLightGreen;
    EXPECT_TRUE(textDrawn);

    // A new unit (below 0.1 %) repaints the whole remainder with the new number.
    autoHangup.AutoHangupPastUnits = 2;
    window->setProgressValue(0.05);
    EXPECT_EQ(rest->text(), "1");
    EXPECT_EQ(barPixel(0), kLightGreen);
    EXPECT_EQ(barPixel(20), kLightGreen);

    // Switched off: the number goes and the remainder is the face colour again.
    autoHangup = {-1, 0};
    window->setProgressValue(30);
    EXPECT_FALSE(rest->isVisible());
    EXPECT_EQ(barPixel(17), kBlue);
    EXPECT_EQ(barPixel(18), faceColour());
}

TEST_F(InfoWindowTest, GrowingBarLeavesTheRemainderAndAShrinkingOneClearsIt)
{
    window->setProgressValue(30); // 18 px
    window->setProgressValue(50); // 30 px, remainder untouched
    EXPECT_EQ(barPixel(25), kBlue);
    EXPECT_EQ(barPixel(40), faceColour());

    // The cycle length changed mid-unit and the bar goes back: no stale blue.
    window->setProgressValue(20); // 12 px
    EXPECT_EQ(barPixel(11), kBlue);
    EXPECT_EQ(barPixel(12), faceColour());
    EXPECT_EQ(barPixel(25), faceColour());
}

TEST_F(InfoWindowTest, NewLoadStartsEmptyWhateverWasRemembered)
{
    autoHangup = {5, 1};
    window->setProgressValue(1.5); // 0.9 -> 1 px, number 4
    window.reset();
    EXPECT_EQ(memory.lastBlueWidth, 1);
    EXPECT_EQ(memory.lastRemainingUnits, 4);

    window = load();
    window->show();
    settle();
    for (int x : {0, 1, 59})
        EXPECT_EQ(barPixel(x), kLightGreen) << "inner x " << x;
    EXPECT_EQ(label("lblAutoDiscRest")->text(), "4");
    EXPECT_EQ(memory.lastBlueWidth, 0);
}

TEST_F(InfoWindowTest, FollowsAChangedScreenSizeOnlyOnce)
{
    position.infoRight = 600;
    position.infoTop = 300;
    memory.lastScreenWidth = 1; // as if the resolution had changed since
    window->setProgressValue(1);
    const int expectedLeft = static_cast<int>((window->screenWidthTwips() - 188 * 15 - 600) / 15);
    EXPECT_EQ(window->pos(), QPoint(expectedLeft, 20));
    EXPECT_EQ(memory.lastScreenWidth, window->screenWidthTwips());

    // The follow runs even when the bar has nothing to draw...
    window->move(10, 10);
    memory.lastScreenHeight = 2;
    window->setProgressValue(1);
    EXPECT_EQ(window->pos(), QPoint(expectedLeft, 20));
    // ...and only when the size changed.
    window->move(10, 10);
    window->setProgressValue(3);
    EXPECT_EQ(window->pos(), QPoint(10, 10));
}

struct LayoutCase {
    bool speed, time, rest;
    int width;
    int timeLeft; // kept from before when hidden
    int restLeft;
};

TEST_F(InfoWindowTest, LayoutFollowsTheDisplayOptionsAndKeepsTheRightEdge)
{
    const int rightEdge = window->x() + window->width();
    // Each step starts from the previous one, so hidden fields keep their place.
    const LayoutCase cases[] = {
        {true, true, true, 189, 57, 96},     {false, true, true, 137, 5, 44},  {true, false, true, 149, 5, 56},
        {true, true, false, 96, 57, 56},     {true, false, false, 56, 57, 56}, {false, true, false, 44, 5, 56},
        {false, false, true, 97, 5, 4},      {false, false, false, 4, 5, 4},
    };
    for (const LayoutCase& c : cases) {
        Options options;
        options.ShowSpeed = c.speed;
        options.ShowOnlineTime = c.time;
        options.ShowRest = c.rest;
        window->SetOption(options);
        SCOPED_TRACE(testing::Message() << c.speed << c.time << c.rest);
        EXPECT_EQ(window->width(), c.width);
        EXPECT_EQ(window->height(), 21);
        EXPECT_EQ(child("fra")->width(), c.width + 1);
        EXPECT_EQ(window->x() + window->width(), rightEdge);
        EXPECT_EQ(child("lblSpeed")->isVisibleTo(window.get()), c.speed);
        EXPECT_EQ(child("lblTime")->isVisibleTo(window.get()), c.time);
        EXPECT_EQ(child("picRight")->isVisibleTo(window.get()), c.rest);
        EXPECT_EQ(child("lblTime")->x(), c.timeLeft);
        EXPECT_EQ(child("picRight")->x(), c.restLeft);
        // The row's fields stand 4 px below the window's top edge.
        EXPECT_EQ(child("lblTime")->mapTo(window.get(), QPoint(0, 0)).y(), 4);
    }
}

TEST_F(InfoWindowTest, PressesOnTheFieldsRecordThePositionOnlyWhereTheyShould)
{
    window->move(300, 40);
    settle();
    const auto press = [&](const char* name, QPoint at) {
        QWidget* target = window->objectName() == name ? window.get() : child(name);
        ASSERT_NE(target, nullptr) << name;
        QTest::mousePress(target, Qt::RightButton, Qt::NoModifier, at);
        QTest::mouseRelease(target, Qt::RightButton, Qt::NoModifier, at);
        settle();
    };

    press("lblSpeed", QPoint(20, 6));
    press("picRight", QPoint(25, 6)); // between the unit time and the bar
    EXPECT_EQ(keepOnTopCalls, 0);
    EXPECT_EQ(position.infoLeft, 0);

    press("lblTime", QPoint(10, 6));
    EXPECT_EQ(keepOnTopCalls, 1);
    EXPECT_EQ(window->pos(), QPoint(300, 40)); // a right press does not drag
    EXPECT_EQ(position.infoLeft, 4500);
    EXPECT_EQ(position.infoTop, 600);
    EXPECT_EQ(position.infoRight, static_cast<int>(window->screenWidthTwips()) - 188 * 15 - 4500);

    press("lblTakt", QPoint(5, 5));
    press("picBack", QPoint(5, 4));
    press("fra", QPoint(54, 10)); // between the data rate and the online time
    press("frmProgress", QPoint(1, 1));
    EXPECT_EQ(keepOnTopCalls, 5);

    // The number on the bar swallows presses while it is shown.
    autoHangup = {3, 1};
    window->setProgressValue(50);
    press("lblAutoDiscRest", QPoint(15, 3));
    EXPECT_EQ(keepOnTopCalls, 5);
}

TEST_F(InfoWindowTest, LeftPressWithoutASystemMoveRecordsAtOnce)
{
    // The offscreen platform cannot move windows, so there is no drag to wait for.
    window->move(200, 30);
    QTest::mousePress(child("lblTime"), Qt::LeftButton, Qt::NoModifier, QPoint(10, 6));
    EXPECT_EQ(keepOnTopCalls, 1);
    EXPECT_EQ(position.infoLeft, 3000);
    EXPECT_EQ(position.infoTop, 450);
}

TEST_F(InfoWindowTest, CloseRequestsAreIgnored)
{
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
}

} // namespace
} // namespace zumi
