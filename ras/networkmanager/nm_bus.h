#pragma once
#include "platform/dialup_access.h"
#include "ras/networkmanager/nm_links.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

class QDBusMessage;

namespace zumi::nm {

// The conversation with NetworkManager on the system bus: follows whoever
// owns its name, reads its profiles, active connections and devices into
// the cache once, then keeps the cache current from its signals. Every call
// is asynchronous with a time limit; replies meant for an earlier owner are
// dropped.
class Bus final : public QObject {
    Q_OBJECT
public:
    explicit Bus(LinkCache& cache, QObject* parent = nullptr);

    bool present() const { return !owner_.isEmpty(); }
    void activate(const std::string& profilePath, const std::string& entryName);
    void deactivate(const std::string& activePath, std::int32_t handle, const std::string& entryName);
    void onRefusal(LateRefusalHandler handler) { refused_ = std::move(handler); }
    void onPhonebookChanged(std::function<void()> handler) { phonebookChanged_ = std::move(handler); }

private slots:
    void signalArrived(const QDBusMessage& message);
    void ownerChanged(const QString& service, const QString& oldOwner, const QString& newOwner);

private:
    using ReplyHandler = std::function<void(const QDBusMessage& reply)>;

    void call(const QDBusMessage& message, ReplyHandler onReply);
    void follow(const QString& owner);
    void readProfile(const QString& path);
    void readActive(const QString& path);
    void readDevice(const QString& path);
    void takeActiveList(const QStringList& paths);
    void takeActive(const QString& path, const QVariantMap& properties);
    void activationEnded(const QString& path, std::uint32_t reason);
    void refuse(LateRefusal refusal);
    void tellPhonebookChanged();

    LinkCache& cache_;
    QDBusConnection bus_;
    QDBusServiceWatcher watcher_;
    QString owner_;
    std::uint64_t generation_ = 0;
    struct Dial {
        std::string entryName;
        std::uint64_t since = 0; // deviceEvents_ when it was asked for
    };
    struct DeviceFailure {
        std::uint32_t reason = 0;
        std::uint64_t when = 0; // deviceEvents_ when it failed
    };
    // Activations asked for here that have not come up yet, by active
    // connection path.
    std::map<std::string, Dial> dialing_;
    // Activations asked for whose answer has not come, by the number of the ask.
    std::map<std::string, Dial> asked_;
    std::uint64_t asks_ = 0;
    // The reason each device gave when it last failed. A device may fail and
    // leave its activation before the activation's devices could be read.
    std::map<std::string, DeviceFailure> deviceFailures_;
    std::uint64_t deviceEvents_ = 0;
    LateRefusalHandler refused_;
    std::function<void()> phonebookChanged_;
};

} // namespace zumi::nm
