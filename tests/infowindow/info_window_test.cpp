#include "fake_views.h"
#include "fake_window_queries.h"
#include "infowindow/caption_label.h"
#include "infowindow/info_window.h"
#include "infowindow/info_window_controller.h"
#include "infowindow/stacking_guard.h"
#include "platform/null/null_window_queries.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QScreen>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

namespace zumi {
namespace {

const QColor kBlue(0, 0, 255);
const QColor kLightGreen(128, 255, 128);

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// The paint events a widget gets from an action.
int paintsOf(QWidget* widget, const std::function<void()>& action)
{
    struct Counter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override { return paints += event->type() == QEvent::Paint, false; }
    } counter;
    settle();
    widget->installEventFilter(&counter);
    action();
    settle();
    return counter.paints;
}

// The box around the pixels darker than the background.
QRect inkOf(QWidget& widget)
{
    widget.setAutoFillBackground(true);
    const QImage image = widget.grab().toImage();
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) <= 160)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// Drawn like a QLabel, in each alignment, also in a font set later; painted only for a new text.
TEST(CaptionLabel, InkMatchesQLabelAndOnlyANewTextIsPainted)
{
    for (const Qt::Alignment alignment : {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight})
        for (const QString& text : {QStringLiteral("0:08"), QStringLiteral("12:34:56"), QStringLiteral("20,0 KB/s")}) {
            QLabel reference(text);
            CaptionLabel caption;
            caption.setText(text);
            for (int pixels : {11, 16}) {
                SCOPED_TRACE(testing::Message() << text.toStdString() << " alignment " << alignment << " " << pixels);
                QFont font;
                font.setPixelSize(pixels);
                for (QWidget* label : {static_cast<QWidget*>(&reference), static_cast<QWidget*>(&caption)}) {
                    label->setFont(font);
                    label->resize(7 * pixels, pixels + 2);
                }
                reference.setAlignment(alignment | Qt::AlignTop);
                caption.setAlignment(alignment | Qt::AlignTop);
                const QRect expected = inkOf(reference), actual = inkOf(caption);
                ASSERT_FALSE(expected.isEmpty());
                for (auto edge : {&QRect::left, &QRect::right, &QRect::top, &QRect::bottom})
                    EXPECT_NEAR((actual.*edge)(), (expected.*edge)(), 1);
            }
        }
    CaptionLabel caption;
    caption.resize(40, 13);
    caption.setText(QStringLiteral("0:01"));
    caption.show();
    EXPECT_EQ(paintsOf(&caption, [&] { caption.setText(QStringLiteral("0:01")); }), 0);
    EXPECT_EQ(paintsOf(&caption, [&] { caption.setText(QStringLiteral("0:02")); }), 1);
    EXPECT_EQ(caption.text(), "0:02");
}

struct InfoWindowTest : testing::Test {
    void SetUp() override
    {
        window.move(500, 100);
        window.show();
        settle();
    }
    QWidget* child(const char* name) const { return window.findChild<QWidget*>(name); }
    QLabel* rest() const { return window.findChild<QLabel*>("lblAutoDiscRest"); }
    QColor pixelOf(const char* name, QPoint at)
    {
        return window.grab().toImage().pixelColor(child(name)->mapTo(&window, at));
    }
    // The bar's inner pixels at these x (its inner area is 60 x 7 px from 1,1): B blue, G light green, - the
    // face (where neither the unit time nor the bar cover picRight).
    std::string bar(std::initializer_list<int> xs)
    {
        const QColor face = pixelOf("picRight", QPoint(25, 6));
        std::string out;
        for (int x : xs) {
            const QColor c = pixelOf("picBack", QPoint(1 + x, 2));
            out += c == kBlue ? 'B' : c == kLightGreen ? 'G' : c == face ? '-' : '?';
        }
        return out;
    }

    InfoPosition position;
    AutoHangupState autoHangup;
    InfoWindowMemory memory;
    InfoWindow window{position, autoHangup, memory, [] {}};
};

// Clamped, drawn only when its pixel width changes; the remaining units on light green while the rule is armed.
TEST_F(InfoWindowTest, TheBarAndTheRemainingUnits)
{
    window.setProgressValue(250);
    EXPECT_EQ(bar({0, 30, 59}), "BBB");
    EXPECT_EQ(paintsOf(child("picBack"), [&] { window.setProgressValue(100); }), 0);
    window.setProgressValue(-5);
    EXPECT_EQ(bar({0, 30, 59}), "---");
    window.setProgressValue(7.5); // 4.5 px, rounded half to even
    EXPECT_EQ(memory.lastBlueWidth, 4);

    window.setProgressValue(50); // 30 px
    // The after-N rule is armed meanwhile, but 50.5 % is still 30 px: nothing drawn, no number.
    autoHangup.arm(3);
    autoHangup.unitBegan();
    EXPECT_EQ(paintsOf(child("picBack"), [&] { window.setProgressValue(50.5); }), 0);
    EXPECT_FALSE(rest()->isVisible());
    window.setProgressValue(52); // 31 px: drawn, and the number follows
    EXPECT_TRUE(rest()->isVisible());
    EXPECT_EQ(rest()->text(), "2");
    EXPECT_EQ(bar({30, 33}), "BG");
    window.setProgressValue(0.05); // a new unit (below 0.1 %) repaints the whole remainder, blue part included
    EXPECT_EQ(bar({0, 20}), "GG");

    autoHangup.disarm();
    window.setProgressValue(30);
    EXPECT_FALSE(rest()->isVisible());
    EXPECT_EQ(bar({17, 18}), "B-");
}

TEST_F(InfoWindowTest, LayoutFollowsTheDisplayOptionsAndKeepsTheRightEdge)
{
    const std::pair<const char*, const char*> widest[]
        = {{"lblSpeed", "99,9 KB/s"}, {"lblSpeed", "9999 KB/s"}, {"lblTime", "9:59:59"}, {"lblTakt", "59:59"}};
    for (const auto& [name, text] : widest) {
        const QWidget* label = child(name);
        EXPECT_LE(QFontMetricsF(label->font()).horizontalAdvance(QString::fromLatin1(text)), label->width())
            << name << " \"" << text << "\" in " << label->font().family().toStdString();
        EXPECT_GE(label->font().pixelSize(), 9) << name;
    }
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
        window.SetOption({.ShowSpeed = c.speed, .ShowOnlineTime = c.time, .ShowRest = c.rest});
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

TEST(InfoWindowController, ShowClosesTheDialogHandsTheFocusBackAndStacksBeforePlacing)
{
    Settings settings;
    settings.position = {0, 600, 255};
    settings.options.ShowSpeed = false; // 137 px once laid out
    AutoHangupState autoHangup;
    test::FakeWindowQueries windows;
    test::CallLog log;
    test::FakeMenuView menu(&log);
    InfoWindowController controller{settings, autoHangup, windows,
                                    windows,  menu,       [&] { log.push_back("closeSettings"); }};
    windows.onCall = [&](const std::string& call) {
        const QWidget* w = controller.window();
        log.push_back(call + (w->isVisible() ? " shown, x " : " hidden, x ") + std::to_string(w->x()) + " width "
                      + std::to_string(w->width()));
    };
    windows.active = 7;
    windows.activeLater = 55; // the window manager moved the focus meanwhile
    controller.showInfoWindow();
    // Shown off the screen, focus handed back, stacked, then laid out and
    // placed: left = 12000 - 600 - 137 * 15 twips = 623 px.
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().width(), 800);
    const std::string self = std::to_string(controller.window()->winId());
    EXPECT_EQ(log,
              (test::CallLog{"closeSettings", "activate 7 shown, x -74 width 188",
                             "stackOnTop " + self + " shown, x -74 width 188", "menu.metering 1"}));
    EXPECT_EQ(controller.window()->geometry(), QRect(623, 17, 137, 21));
    EXPECT_EQ(settings.position.infoLeft, 9345);

    // Where no window queries exist it still shows and stays on top, by the toolkit's flag.
    NullWindowQueries none;
    InfoWindowController plain(settings, autoHangup, none, none, menu, {});
    plain.showInfoWindow();
    plain.keepInfoOnTop();
    EXPECT_TRUE(plain.isVisible());
    EXPECT_TRUE(plain.window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    // An end asked while the window maps (events run there) unloads it under the show.
    plain.unload();
    log.clear();
    QMetaObject::invokeMethod(qApp, [&] { plain.unload(); }, Qt::QueuedConnection);
    plain.showInfoWindow();
    EXPECT_EQ(plain.window(), nullptr);
    EXPECT_EQ(log, test::CallLog{}) << "went on with the window gone";
}

// Kolp, the bare desktop and a menu alone are covered on the real desktop.
TEST(StackingGuard, FullScreenComesFirstAndTransientsHoldTheOrderUnlessThePointerIsOnUs)
{
    test::FakeWindowQueries windows; // 100 us, 200 an editor, 300 a game, 400 a tooltip
    windows.active = 300;
    windows.fullScreen = {300};
    windows.menuOpen = true;
    windows.underPointer = 400;
    windows.transient = {400};
    EXPECT_EQ(keepInfoOnTop(windows, windows, 100), StackingStep::SentToBottom);
    windows.active = 200;
    windows.menuOpen = false;
    EXPECT_EQ(keepInfoOnTop(windows, windows, 100), StackingStep::LeftAlone);
    // On the info window itself an open menu does not hold it back, nor does it count as transient.
    windows.menuOpen = true;
    windows.underPointer = 100;
    windows.transient = {100};
    EXPECT_EQ(keepInfoOnTop(windows, windows, 100), StackingStep::PutOnTop);
    EXPECT_EQ(windows.calls, (std::vector<std::string>{"stackAtBottom 100", "stackOnTop 100"}));
}

} // namespace
} // namespace zumi
