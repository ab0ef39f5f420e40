#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace zumi::test {

// Runs the event loop until done() or the time is up; whether done() came true.
bool waitFor(const std::function<bool()>& done, int milliseconds = 5000);

// A private D-Bus daemon given to this process as its system bus (Qt reads
// the address once, so it must be started before the first use of the bus),
// and the stand-in NetworkManager (nm_dialup_mock.py) on it, started and
// stopped at will and driven through nm_mock.py.
class NetworkManagerStandIn {
public:
    NetworkManagerStandIn();
    ~NetworkManagerStandIn();

    bool busRuns() const { return busRuns_; }
    bool start();
    void stop();
    // Runs nm_mock.py with these arguments; its output, trimmed; "" and
    // false in *ok when it failed.
    QString control(const QStringList& args, bool* ok = nullptr) const;

private:
    bool onBus() const;

    QTemporaryDir folder_;
    QProcess daemon_;
    QString address_;
    bool busRuns_ = false;
    std::unique_ptr<QProcess> mock_;
};

} // namespace zumi::test
