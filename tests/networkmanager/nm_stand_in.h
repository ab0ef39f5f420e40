#pragma once
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace zumi::test {

// Runs the event loop until done() or the time is up; whether done() came true.
inline bool waitFor(const std::function<bool()>& done, int milliseconds = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// A private D-Bus daemon given to this process as its system bus (Qt reads
// the address once, so it must be started before the first use of the bus),
// and the stand-in NetworkManager (nm_dialup_mock.py) on it, started and
// stopped at will and driven through nm_mock.py.
class NetworkManagerStandIn {
public:
    NetworkManagerStandIn()
    {
        const QString socket = folder_.filePath(QStringLiteral("bus"));
        address_ = QStringLiteral("unix:path=") + socket;
        daemon_.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--address=") + address_});
        busRuns_ = daemon_.waitForStarted() && waitFor([&] { return QFile::exists(socket); });
        if (busRuns_)
            qputenv("DBUS_SYSTEM_BUS_ADDRESS", address_.toUtf8());
    }
    ~NetworkManagerStandIn()
    {
        stop();
        daemon_.terminate();
        daemon_.waitForFinished();
    }

    bool busRuns() const { return busRuns_; }
    bool start()
    {
        mock_ = std::make_unique<QProcess>();
        mock_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        mock_->start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--system"),
                      QStringLiteral("--template"), QStringLiteral(ZUMI_NM_TEMPLATE)});
        return mock_->waitForStarted() && waitFor([&] { return onBus(); }, 15000);
    }
    void stop()
    {
        if (!mock_)
            return;
        mock_->terminate();
        mock_->waitForFinished(5000);
        mock_.reset();
        waitFor([&] { return !onBus(); });
    }
    // Runs nm_mock.py with these arguments; its output, trimmed; "" and
    // false in *ok when it failed.
    QString control(const QStringList& args, bool* ok = nullptr) const
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral(ZUMI_NM_MOCK), address_} + args);
        const bool done
            = process.waitForFinished(15000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        if (ok)
            *ok = done;
        return done ? QString::fromUtf8(process.readAllStandardOutput()).trimmed() : QString();
    }

private:
    bool onBus() const
    {
        return QDBusConnection::systemBus().interface()->isServiceRegistered(
            QStringLiteral("org.freedesktop.NetworkManager"));
    }

    QTemporaryDir folder_;
    QProcess daemon_;
    QString address_;
    bool busRuns_ = false;
    std::unique_ptr<QProcess> mock_;
};

} // namespace zumi::test
