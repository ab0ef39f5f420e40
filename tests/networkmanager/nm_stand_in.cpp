#include "nm_stand_in.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QFile>

namespace zumi::test {

bool waitFor(const std::function<bool()>& done, int milliseconds)
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

NetworkManagerStandIn::NetworkManagerStandIn()
{
    const QString socket = folder_.filePath(QStringLiteral("bus"));
    address_ = QStringLiteral("unix:path=") + socket;
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--address=") + address_});
    busRuns_ = daemon_.waitForStarted() && waitFor([&] { return QFile::exists(socket); });
    if (busRuns_)
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address_.toUtf8());
}

NetworkManagerStandIn::~NetworkManagerStandIn()
{
    stop();
    daemon_.terminate();
    daemon_.waitForFinished();
}

bool NetworkManagerStandIn::onBus() const
{
    return QDBusConnection::systemBus().interface()->isServiceRegistered(
        QStringLiteral("org.freedesktop.NetworkManager"));
}

bool NetworkManagerStandIn::start()
{
    mock_ = std::make_unique<QProcess>();
    mock_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock_->start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--system"),
                  QStringLiteral("--template"), QStringLiteral(ZUMI_NM_TEMPLATE)});
    return mock_->waitForStarted() && waitFor([&] { return onBus(); }, 15000);
}

void NetworkManagerStandIn::stop()
{
    if (!mock_)
        return;
    mock_->terminate();
    mock_->waitForFinished(5000);
    mock_.reset();
    waitFor([&] { return !onBus(); });
}

QString NetworkManagerStandIn::control(const QStringList& args, bool* ok) const
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

} // namespace zumi::test
