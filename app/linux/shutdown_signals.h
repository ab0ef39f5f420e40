#pragma once
#include <QObject>

class QSocketNotifier;

namespace zumi {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal delivered in the event
// loop, so the program can end in its orderly way. One object per process.
class ShutdownSignals final : public QObject {
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;
    bool installed() const { return notifier_ != nullptr; }

signals:
    void requested(int signalNumber);

private:
    void readSignals();

    int readFd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace zumi
