// The info window on a real X server with a window manager (run inside tests/xsession.sh).
#include "fake_views.h"
#include "infowindow/qt/info_window.h"
#include "infowindow/qt/info_window_controller.h"
#include "platform/x11/x11_window_queries.h"
#include "private_bus.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace zumi {
namespace {

using test::waitFor;

void pause(int ms)
{
    waitFor([] { return false; }, ms);
}

// Another program's window: this binary started again in helper mode.
struct OtherProgram {
    QProcess process;
    WindowId id = 0;
    OtherProgram(const char* title, const char* look)
    {
        process.start(QCoreApplication::applicationFilePath(), {"--helper-window", title, look});
        if (process.waitForReadyRead(10000))
            id = process.readLine().trimmed().toULongLong();
    }
    ~OtherProgram()
    {
        process.kill();
        process.waitForFinished(5000);
    }
};

TEST(Desktop, StaysOutOfTheWayOfFocusFullScreenProgramsKolpAndMenusAndFollowsThePointer)
{
    X11WindowQueries x11;
    ASSERT_TRUE(x11.available()) << "no X display";
    Settings settings;
    AutoHangupState autoHangup;
    test::FakeMenuView menu;
    InfoWindowController controller{settings, autoHangup, x11, x11, menu, [] {}};
    QTimer tick; // the monitor's once-a-second tick
    QObject::connect(&tick, &QTimer::timeout, [&] { controller.keepInfoOnTop(); });

    const auto info = [&] { return static_cast<WindowId>(controller.window()->winId()); };
    const auto place = [&](WindowId window) { // from the bottom; -1 when not managed
        const auto order = x11.clientStackingOrder();
        const auto it = std::find(order.begin(), order.end(), window);
        return it == order.end() ? -1 : static_cast<int>(it - order.begin());
    };
    const auto belowKolp
        = [&](const OtherProgram& kolp) { return place(kolp.id) > 0 && place(info()) == place(kolp.id) - 1; };
    const auto onTop = [&] { return place(info()) + 1 == static_cast<int>(x11.clientStackingOrder().size()); };
    const auto atBottom = [&] { return place(info()) == 0; };
    const auto activate = [&](const OtherProgram& program) {
        x11.activate(program.id);
        return waitFor([&] { return x11.activeWindow() == program.id; }, 3000);
    };
    const auto startInFront = [&](const OtherProgram& program) {
        return program.id != 0 && waitFor([&] { return place(program.id) >= 0; }, 5000) && activate(program);
    };

    OtherProgram editor("Editor", "normal");
    ASSERT_TRUE(startInFront(editor));
    controller.showInfoWindow();
    tick.start(1000);
    ASSERT_TRUE(waitFor([&] { return place(info()) >= 0; }, 5000));
    pause(700);
    EXPECT_EQ(x11.activeWindow(), editor.id) << "showing took the focus";
    EXPECT_TRUE(waitFor(onTop, 1500));

    OtherProgram game("Game", "fullscreen");
    ASSERT_TRUE(startInFront(game));
    EXPECT_TRUE(waitFor(atBottom, 1500)) << "not behind the full-screen program";
    ASSERT_TRUE(activate(editor));
    EXPECT_TRUE(waitFor(onTop, 1500)) << "not raised again within a second";

    {
        // A topmost strip like ours; window managers that ignore the restack request's sibling take two ticks.
        OtherProgram kolp("Kolp", "topmost");
        ASSERT_TRUE(waitFor([&] { return x11.findKolpWindow() == kolp.id; }, 5000));
        EXPECT_TRUE(waitFor([&] { return belowKolp(kolp); }, 4500));
        pause(1200);
        EXPECT_TRUE(belowKolp(kolp)) << "it did not stay there";
    }
    {
        // An ordinary Kolp: directly below it and above the rest, whichever of the two is in front. (The ended
        // Kolp's window id may come back for the new one.)
        ASSERT_TRUE(waitFor([&] { return x11.findKolpWindow() == 0; }, 3000));
        OtherProgram kolp("Kolp", "normal");
        ASSERT_TRUE(waitFor([&] { return x11.findKolpWindow() == kolp.id; }, 5000));
        const auto overEditor = [&] { return belowKolp(kolp) && place(info()) > place(editor.id); };
        EXPECT_TRUE(waitFor(overEditor, 4500));
        pause(1200);
        EXPECT_TRUE(overEditor()) << "it did not stay there";
        if (const QByteArray dir = qgetenv("ZUMI_ARTIFACTS"); !dir.isEmpty())
            QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(dir) + "/below_kolp.png");
        ASSERT_TRUE(activate(editor));
        pause(1200);
        EXPECT_TRUE(belowKolp(kolp)) << "it left Kolp";
        EXPECT_GT(place(editor.id), place(kolp.id)) << "the user's order was changed";
        ASSERT_TRUE(activate(kolp));
        EXPECT_TRUE(waitFor(overEditor, 1500));
    }

    // An open menu freezes the order while the pointer is elsewhere, even when the full-screen program goes.
    ASSERT_TRUE(activate(game));
    ASSERT_TRUE(waitFor(atBottom, 1500));
    QCursor::setPos(100, 600);
    QMenu popup;
    popup.addAction("Eins");
    popup.popup(QPoint(200, 200));
    ASSERT_TRUE(waitFor([&] { return x11.isMenuOpen(); }, 3000));
    game.process.kill();
    ASSERT_TRUE(waitFor([&] { return place(game.id) < 0; }, 3000));
    pause(2200);
    EXPECT_TRUE(atBottom()) << "the order changed under an open menu";
    popup.close();
    EXPECT_TRUE(waitFor(onTop, 2500));

    // The window under the pointer is followed, well within the time after which it is read afresh anyway.
    const auto under = [&](WindowId id, int ms) { return waitFor([&] { return x11.windowUnderPointer() == id; }, ms); };
    QCursor::setPos(300, 300); // on the editor at 150,150 500 x 350
    ASSERT_TRUE(under(editor.id, 5000));
    for (int round = 0; round < 2; ++round) {
        QCursor::setPos(1000, 700); // the bare desktop
        EXPECT_TRUE(under(0, 500)) << "leaving the window went unnoticed";
        QCursor::setPos(300, 300);
        EXPECT_TRUE(under(editor.id, 500)) << "entering the window went unnoticed";
    }
    OtherProgram front("Front", "normal"); // opens over the editor, under the still pointer
    ASSERT_NE(front.id, 0u);
    EXPECT_TRUE(under(front.id, 3000));
}

// Two monitors on the one X screen, the primary one right of and lower than the other.
TEST(Desktop, LandsOnThePrimaryMonitorAndOnTheDefaultPlaceWhenItsMonitorIsGone)
{
    const auto xrandr = [](const QStringList& args) { return QProcess::execute("xrandr", args) == 0; };
    const auto screens = [] { return QGuiApplication::screens().size(); };
    ASSERT_TRUE(xrandr({"--setmonitor", "Links", "640/169x800/212+0+0", "none"})
                && xrandr({"--setmonitor", "Rechts", "640/169x600/159+640+200", "screen"})
                && xrandr({"--output", "screen", "--primary"}));
    ASSERT_TRUE(
        waitFor([&] { return screens() == 2 && QGuiApplication::primaryScreen()->geometry().x() == 640; }, 3000));

    X11WindowQueries x11;
    Settings settings;
    settings.position = {0, 600, 300};
    AutoHangupState autoHangup;
    test::FakeMenuView menu;
    InfoWindowController controller{settings, autoHangup, x11, x11, menu, [] {}};
    const auto window = [&] { return static_cast<InfoWindow*>(controller.window()); }; // a new one after each load
    const auto at = [&](QPoint where) { return waitFor([&] { return window()->pos() == where; }, 3000); };
    controller.showInfoWindow();
    EXPECT_TRUE(at({640 + (9600 - 600 - 189 * 15) / 15, 200 + 300 / 15})); // twips from the primary one's corner

    // Dragged onto the other monitor: stored so that it comes back there.
    window()->move(100, 500);
    ASSERT_TRUE(at({100, 500}));
    window()->mdown(Qt::RightButton);
    controller.unload();
    controller.showInfoWindow();
    EXPECT_TRUE(at({100, 500}));

    // That monitor unplugged: the default place on the primary one (9600 - 3050, 255 twips).
    ASSERT_TRUE(xrandr({"--delmonitor", "Links"}) && waitFor([&] { return screens() == 1; }, 3000));
    controller.setProgressValue(5);
    EXPECT_TRUE(at({640 + 437, 200 + 17}));
    xrandr({"--delmonitor", "Rechts"});
}

int helperWindow(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QString::fromLocal8Bit(argv[2]));
    if (std::strcmp(argv[3], "fullscreen") == 0) {
        window.showFullScreen();
    } else {
        window.setWindowFlag(Qt::WindowStaysOnTopHint, std::strcmp(argv[3], "topmost") == 0);
        window.setGeometry(150, 150, 500, 350);
        window.show();
    }
    std::printf("%llu\n", static_cast<unsigned long long>(window.winId()));
    std::fflush(stdout);
    return app.exec();
}

} // namespace
} // namespace zumi

int main(int argc, char** argv)
{
    if (argc > 3 && std::strcmp(argv[1], "--helper-window") == 0)
        return zumi::helperWindow(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
