#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

namespace zumi::test {

// Runs the event loop until done() or the time is up; whether done() came true.
// Sleeps between rounds so that the processes it waits for get the CPU.
inline bool waitFor(const std::function<bool()>& done, int milliseconds = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

// A private D-Bus daemon, given to this process as the bus the variable
// names (DBUS_SESSION_BUS_ADDRESS or DBUS_SYSTEM_BUS_ADDRESS). Qt reads the
// address once, so it must start before the first use of that bus.
class PrivateBus {
public:
    explicit PrivateBus(const char* variable)
    {
        const QString socket = folder_.filePath(QStringLiteral("bus"));
        address_ = QStringLiteral("unix:path=") + socket;
        daemon_.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--address=") + address_});
        runs_ = daemon_.waitForStarted() && waitFor([&] { return QFile::exists(socket); });
        if (runs_)
            qputenv(variable, address_.toUtf8());
    }
    ~PrivateBus()
    {
        daemon_.terminate();
        daemon_.waitForFinished();
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool runs() const { return runs_; }
    const QString& address() const { return address_; }

private:
    QTemporaryDir folder_;
    QProcess daemon_;
    QString address_;
    bool runs_ = false;
};

} // namespace zumi::test
