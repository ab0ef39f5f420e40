// The floor a tray program cannot go below, to measure Zumi against:
// (a) the least Qt program with a tray icon and an empty one-second timer;
// (b) with --window, the same plus an always-on-top frameless 189 x 21
//     window whose two labels change every second, as a meter's would.
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTime>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QPixmap picture(16, 16);
    picture.fill(Qt::darkBlue);
    QSystemTrayIcon tray{QIcon(picture)};
    tray.setToolTip(QStringLiteral("floor"));
    tray.show();

    QTimer tick;
    tick.start(1000);

    const bool withWindow = app.arguments().contains(QStringLiteral("--window"));
    QWidget window(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    QLabel* time = new QLabel(&window);
    QLabel* rate = new QLabel(&window);
    if (withWindow) {
        auto* layout = new QHBoxLayout(&window);
        layout->setContentsMargins(2, 2, 2, 2);
        layout->addWidget(time);
        layout->addWidget(rate);
        window.setFixedSize(189, 21);
        window.show();
        int seconds = 0;
        QObject::connect(&tick, &QTimer::timeout, &window, [&] {
            ++seconds;
            time->setText(QTime(0, 0).addSecs(seconds).toString(QStringLiteral("H:mm:ss")));
            rate->setText(QStringLiteral("%1 KB/s").arg(seconds % 100));
        });
    }
    return app.exec();
}
