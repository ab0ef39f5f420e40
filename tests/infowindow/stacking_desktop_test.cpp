// The info window on a real X server with a real window manager (run inside
// tests/xsession.sh): focus, full-screen programs, the sibling "Kolp"
// window, open menus and dragging, with the X11 window queries.
#include "info_window_controller.h"
#include "x11_window_queries.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

namespace zumi {
namespace {

class NoMenu final : public MenuView {
public:
    void setDisconnectShown(bool) override {}
    void setMeteringEnabled(bool) override {}
    void uncheckAutoHangupEntries() override {}
};

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

void pump(int ms)
{
    waitUntil([] { return false; }, ms);
}

enum class Look { Normal, FullScreen, Topmost };

// A window of another program: this test binary started again in helper mode.
class OtherProgram {
public:
    OtherProgram(const QString& title, Look look)
    {
        const char* looks[] = {"normal", "fullscreen", "topmost"};
        process_.start(QCoreApplication::applicationFilePath(),
                       {"--helper-window", title, looks[static_cast<int>(look)]});
        if (process_.waitForReadyRead(10000))
            id_ = process_.readLine().trimmed().toULongLong();
    }
    ~OtherProgram() { quit(); }
    void quit()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(5000))
            process_.kill();
        process_.waitForFinished(5000);
    }
    WindowId id() const { return id_; }

private:
    QProcess process_;
    WindowId id_ = 0;
};

std::ptrdiff_t indexOf(const std::vector<WindowId>& order, WindowId window)
{
    const auto it = std::find(order.begin(), order.end(), window);
    return it == order.end() ? -1 : it - order.begin();
}

class DesktopTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(x11.available()) << "no X display";
        settings.position = {0, 600, 255};
        // The monitor's once-a-second tick.
        tick.setInterval(1000);
        QObject::connect(&tick, &QTimer::timeout, [this] { controller.keepInfoOnTop(); });
    }
    void TearDown() override
    {
        tick.stop();
        controller.unload();
    }

    WindowId info() const { return static_cast<WindowId>(controller.window()->winId()); }
    bool managed(WindowId window) { return indexOf(x11.clientStackingOrder(), window) >= 0; }
    bool activeIs(WindowId window) { return x11.activeWindow() == window; }
    bool infoOnTop()
    {
        const auto order = x11.clientStackingOrder();
        return !order.empty() && order.back() == info();
    }
    bool infoAtBottom()
    {
        const auto order = x11.clientStackingOrder();
        return !order.empty() && order.front() == info();
    }
    void startInFront(OtherProgram& program)
    {
        ASSERT_NE(program.id(), 0u);
        ASSERT_TRUE(waitUntil([&] { return managed(program.id()); }, 5000));
        if (!waitUntil([&] { return activeIs(program.id()); }, 1000))
            x11.activate(program.id());
        ASSERT_TRUE(waitUntil([&] { return activeIs(program.id()); }, 3000));
    }

    X11WindowQueries x11;
    Settings settings;
    AutoHangupState autoHangup;
    NoMenu menu;
    InfoWindowController controller{settings, autoHangup, x11, menu, [] {}};
    QTimer tick;
};

TEST_F(DesktopTest, StaysOutOfTheWayOfFocusFullScreenProgramsSiblingAndMenus)
{
    OtherProgram editor("Editor", Look::Normal);
    startInFront(editor);

    // Shown without taking the focus, and on top.
    controller.showInfoWindow();
    tick.start();
    ASSERT_TRUE(waitUntil([&] { return managed(info()); }, 5000));
    pump(700);
    EXPECT_EQ(x11.activeWindow(), editor.id());
    EXPECT_TRUE(waitUntil([&] { return infoOnTop(); }, 1500));
    EXPECT_FALSE(x11.isFullScreen(editor.id()));

    // A full-screen program in front: behind everything within a second.
    OtherProgram game("Game", Look::FullScreen);
    startInFront(game);
    EXPECT_TRUE(x11.isFullScreen(game.id()));
    EXPECT_TRUE(waitUntil([&] { return infoAtBottom(); }, 1500));

    // Back in the editor: on top again within a second.
    x11.activate(editor.id());
    ASSERT_TRUE(waitUntil([&] { return activeIs(editor.id()); }, 3000));
    EXPECT_TRUE(waitUntil([&] { return infoOnTop(); }, 1500));

    // The sibling program's window, a topmost strip like ours: directly below it.
    {
        OtherProgram kolp("Kolp", Look::Topmost);
        ASSERT_TRUE(waitUntil([&] { return x11.findKolpWindow() == kolp.id(); }, 5000));
        const auto directlyBelowKolp = [&] {
            const auto order = x11.clientStackingOrder();
            const auto k = indexOf(order, kolp.id());
            return k > 0 && order[static_cast<std::size_t>(k - 1)] == info();
        };
        // Window managers that ignore the sibling of a restack request take
        // two ticks to find out.
        EXPECT_TRUE(waitUntil(directlyBelowKolp, 4500));
        pump(1200);
        EXPECT_TRUE(directlyBelowKolp()) << "it did not stay there";
    }
    // Gone again: topmost within a second or two.
    EXPECT_TRUE(waitUntil([&] { return x11.findKolpWindow() == 0 && infoOnTop(); }, 2500));

    // An ordinary sibling window: the info window no longer covers it.
    {
        OtherProgram kolp("Kolp", Look::Normal);
        ASSERT_TRUE(waitUntil([&] { return x11.findKolpWindow() == kolp.id(); }, 5000));
        EXPECT_TRUE(waitUntil(
            [&] {
                const auto order = x11.clientStackingOrder();
                return indexOf(order, info()) >= 0 && indexOf(order, info()) < indexOf(order, kolp.id());
            },
            2500));
    }
    EXPECT_TRUE(waitUntil([&] { return x11.findKolpWindow() == 0 && infoOnTop(); }, 2500));

    // An open menu freezes the order while the pointer is elsewhere.
    x11.activate(game.id());
    ASSERT_TRUE(waitUntil([&] { return activeIs(game.id()); }, 3000));
    ASSERT_TRUE(waitUntil([&] { return infoAtBottom(); }, 1500));
    QCursor::setPos(100, 600);
    QMenu popup;
    popup.addAction("Eins");
    popup.addAction("Zwei");
    popup.popup(QPoint(200, 200));
    ASSERT_TRUE(waitUntil([&] { return x11.isMenuOpen(); }, 3000));
    EXPECT_TRUE(x11.isTransient(x11.windowUnderPointer()) || x11.windowUnderPointer() == game.id());
    game.quit(); // the full-screen program goes while the menu is open
    ASSERT_TRUE(waitUntil([&] { return !managed(game.id()); }, 3000));
    pump(2200);
    EXPECT_TRUE(infoAtBottom()) << "the order changed under an open menu";
    popup.close();
    ASSERT_TRUE(waitUntil([&] { return !x11.isMenuOpen(); }, 3000));
    EXPECT_TRUE(waitUntil([&] { return infoOnTop(); }, 1500));
}

TEST_F(DesktopTest, DraggingMovesTheWindowAndRecordsWhereItEnded)
{
    OtherProgram editor("Editor", Look::Normal);
    startInFront(editor);
    controller.showInfoWindow();
    tick.start();
    ASSERT_TRUE(waitUntil([&] { return managed(info()); }, 5000));
    pump(500);

    QWidget* window = controller.window();
    const QPoint before = window->pos();
    const QPoint grip = window->findChild<QLabel*>("lblTime")->mapToGlobal(QPoint(10, 6));
    const auto xdotool = [](const QStringList& arguments) {
        return QProcess::execute("xdotool", arguments) == 0;
    };
    ASSERT_TRUE(xdotool({"mousemove", QString::number(grip.x()), QString::number(grip.y())}));
    pump(200);
    ASSERT_TRUE(xdotool({"mousedown", "1"}));
    pump(300);
    for (int step = 1; step <= 10; ++step) {
        xdotool({"mousemove", QString::number(grip.x() - 20 * step), QString::number(grip.y() + 10 * step)});
        pump(30);
    }
    ASSERT_TRUE(xdotool({"mouseup", "1"}));

    const QPoint expected = before + QPoint(-200, 100);
    EXPECT_TRUE(waitUntil([&] { return window->pos() == expected; }, 3000))
        << "at " << window->x() << "," << window->y();
    EXPECT_TRUE(waitUntil([&] { return settings.position.infoLeft == expected.x() * 15; }, 3000));
    EXPECT_EQ(settings.position.infoTop, expected.y() * 15);
    EXPECT_EQ(settings.position.infoRight, 1280 * 15 - window->width() * 15 - expected.x() * 15);
    EXPECT_EQ(x11.activeWindow(), editor.id()) << "the drag took the focus";
}

int helperWindow(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QString::fromLocal8Bit(argv[2]));
    const char* look = argc > 3 ? argv[3] : "normal";
    if (std::strcmp(look, "fullscreen") == 0) {
        window.showFullScreen();
    } else {
        if (std::strcmp(look, "topmost") == 0)
            window.setWindowFlag(Qt::WindowStaysOnTopHint);
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
    if (argc > 2 && std::strcmp(argv[1], "--helper-window") == 0)
        return zumi::helperWindow(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
