#pragma once
#include "private_bus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>

#include <functional>
#include <memory>

namespace zumi::test {

// A private D-Bus daemon given to this process as its system bus, and the
// stand-in NetworkManager (nm_dialup_mock.py) on it, started and
// stopped at will and driven through nm_mock.py.
class NetworkManagerStandIn {
public:
    ~NetworkManagerStandIn() { stop(); }

    bool busRuns() const { return bus_.runs(); }
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
        process.start(QStringLiteral("/usr/bin/python3"),
                      QStringList{QStringLiteral(ZUMI_NM_MOCK), bus_.address()} + args);
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

    PrivateBus bus_{"DBUS_SYSTEM_BUS_ADDRESS"};
    std::unique_ptr<QProcess> mock_;
};

} // namespace zumi::test
