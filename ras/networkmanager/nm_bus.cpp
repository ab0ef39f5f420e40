#include "ras/networkmanager/nm_bus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>

#include <algorithm>

namespace zumi::nm {
namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kManagerInterface = QStringLiteral("org.freedesktop.NetworkManager");
const QString kSettingsPath = QStringLiteral("/org/freedesktop/NetworkManager/Settings");
const QString kSettingsInterface = QStringLiteral("org.freedesktop.NetworkManager.Settings");
const QString kProfileInterface = QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection");
const QString kActiveInterface = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
const QString kDeviceInterface = QStringLiteral("org.freedesktop.NetworkManager.Device");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// No answer within this is an answer: NetworkManager does not respond.
constexpr int kCallTimeoutMs = 2000;
// NMActiveConnectionStateReason: the user ended it (nmcli, the desktop's applet);
// its device failed or went away, which the device's own reason tells better.
constexpr std::uint32_t kReasonUserDisconnected = 2;
constexpr std::uint32_t kReasonDeviceDisconnected = 3;
// NMDeviceState: failed.
constexpr uint kDeviceFailed = 120;

QDBusMessage methodCall(const QString& path, const QString& interface, const QString& method)
{
    return QDBusMessage::createMethodCall(kService, path, interface, method);
}

QDBusMessage allProperties(const QString& path, const QString& interface)
{
    QDBusMessage message = methodCall(path, kProperties, QStringLiteral("GetAll"));
    message << interface;
    return message;
}

bool isReply(const QDBusMessage& reply)
{
    return reply.type() == QDBusMessage::ReplyMessage;
}

QVariantMap asMap(const QVariant& value)
{
    return qdbus_cast<QVariantMap>(value);
}

QString asPath(const QVariant& value)
{
    return qdbus_cast<QDBusObjectPath>(value).path();
}

QStringList asPaths(const QVariant& value)
{
    QStringList paths;
    for (const QDBusObjectPath& path : qdbus_cast<QList<QDBusObjectPath>>(value))
        paths << path.path();
    return paths;
}

// A profile's settings, a{sa{sv}}: one group of values per setting name.
std::map<QString, QVariantMap> settingGroups(const QVariant& value)
{
    std::map<QString, QVariantMap> groups;
    const auto argument = value.value<QDBusArgument>();
    argument.beginMap();
    while (!argument.atEnd()) {
        QString group;
        QVariantMap values;
        argument.beginMapEntry();
        argument >> group >> values;
        argument.endMapEntry();
        groups[group] = values;
    }
    argument.endMap();
    return groups;
}

ActiveState toState(const QVariant& value)
{
    const uint state = value.toUInt();
    return state <= static_cast<uint>(ActiveState::Deactivated) ? static_cast<ActiveState>(state)
                                                                : ActiveState::Unknown;
}

} // namespace

Bus::Bus(LinkCache& cache, QObject* parent)
    : QObject(parent)
    , cache_(cache)
    , bus_(QString())
{
    // Signals arrive through the event loop; without one there is nothing to follow.
    if (!QCoreApplication::instance())
        return;
    bus_ = QDBusConnection::systemBus();
    if (!bus_.isConnected())
        return; // no system bus: nothing to follow
    watcher_.setConnection(bus_);
    watcher_.setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
    watcher_.addWatchedService(kService);
    connect(&watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this, &Bus::ownerChanged);
    const char* slot = SLOT(signalArrived(QDBusMessage));
    bus_.connect(kService, QString(), kProperties, QStringLiteral("PropertiesChanged"), this, slot);
    bus_.connect(kService, QString(), kActiveInterface, QStringLiteral("StateChanged"), this, slot);
    bus_.connect(kService, QString(), kDeviceInterface, QStringLiteral("StateChanged"), this, slot);
    bus_.connect(kService, kSettingsPath, kSettingsInterface, QStringLiteral("NewConnection"), this, slot);
    bus_.connect(kService, kSettingsPath, kSettingsInterface, QStringLiteral("ConnectionRemoved"), this, slot);
    bus_.connect(kService, QString(), kProfileInterface, QStringLiteral("Updated"), this, slot);

    QDBusMessage owner = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetNameOwner"));
    owner << kService;
    call(owner, [this](const QDBusMessage& reply) {
        if (isReply(reply))
            follow(reply.arguments().value(0).toString());
    });
}

void Bus::call(const QDBusMessage& message, ReplyHandler onReply)
{
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(message, kCallTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, generation = generation_, onReply = std::move(onReply)](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (generation == generation_)
                    onReply(finished->reply());
            });
}

void Bus::ownerChanged(const QString&, const QString&, const QString& newOwner)
{
    follow(newOwner);
}

// Another NetworkManager (or none) knows nothing of the last one's
// activations: start over from what it reports.
void Bus::follow(const QString& owner)
{
    ++generation_;
    const bool hadEntries = !cache_.entries().empty();
    // Dials the last one was asked for and never finished are not carried out.
    for (const auto& pending : {asked_, dialing_})
        for (const auto& [key, dial] : pending)
            refuse({LateRefusal::Request::Dial, 0, dial.entryName, "gone", {}});
    asked_.clear();
    cache_.clear();
    dialing_.clear();
    deviceFailures_.clear();
    owner_ = owner;
    if (hadEntries)
        tellPhonebookChanged();
    if (owner.isEmpty())
        return;
    call(allProperties(kManagerPath, kManagerInterface), [this](const QDBusMessage& reply) {
        if (isReply(reply))
            takeActiveList(asPaths(asMap(reply.arguments().value(0)).value(QStringLiteral("ActiveConnections"))));
    });
    call(methodCall(kSettingsPath, kSettingsInterface, QStringLiteral("ListConnections")),
         [this](const QDBusMessage& reply) {
             if (!isReply(reply))
                 return;
             for (const QString& path : asPaths(reply.arguments().value(0)))
                 readProfile(path);
         });
}

void Bus::readProfile(const QString& path)
{
    call(methodCall(path, kProfileInterface, QStringLiteral("GetSettings")), [this, path](const QDBusMessage& reply) {
        if (!isReply(reply))
            return;
        auto groups = settingGroups(reply.arguments().value(0));
        const QVariantMap& connection = groups[QStringLiteral("connection")];
        const Profile profile{
            connection.value(QStringLiteral("id")).toString().toStdString(),
            connection.value(QStringLiteral("type")).toString().toStdString(),
            groups[QStringLiteral("bluetooth")].value(QStringLiteral("type")).toString().toStdString()};
        const std::string key = path.toStdString();
        const auto before = cache_.profile(key);
        cache_.setProfile(key, profile);
        // Only what the phonebook lists matters to it.
        const bool listedBefore = before && before->dialable();
        if (profile.dialable() || listedBefore)
            tellPhonebookChanged();
    });
}

void Bus::readActive(const QString& path)
{
    call(allProperties(path, kActiveInterface), [this, path](const QDBusMessage& reply) {
        if (isReply(reply))
            takeActive(path, asMap(reply.arguments().value(0)));
    });
}

void Bus::readDevice(const QString& path)
{
    call(allProperties(path, kDeviceInterface), [this, path](const QDBusMessage& reply) {
        if (isReply(reply))
            cache_.setDeviceInterface(
                path.toStdString(),
                asMap(reply.arguments().value(0)).value(QStringLiteral("IpInterface")).toString().toStdString());
    });
}

void Bus::takeActiveList(const QStringList& paths)
{
    std::vector<std::string> all;
    QStringList fresh;
    for (const QString& path : paths) {
        all.push_back(path.toStdString());
        if (!cache_.knowsActive(all.back()))
            fresh << path;
    }
    // An activation asked for here that left without coming up and without
    // a reason given.
    for (auto it = dialing_.begin(); it != dialing_.end();) {
        if (std::find(all.begin(), all.end(), it->first) == all.end()) {
            refuse({LateRefusal::Request::Dial, 0, it->second.entryName, "ended", {}});
            it = dialing_.erase(it);
        } else {
            ++it;
        }
    }
    cache_.setActiveConnections(all);
    for (const QString& path : fresh)
        readActive(path);
}

void Bus::takeActive(const QString& path, const QVariantMap& properties)
{
    ActiveUpdate update;
    if (properties.contains(QStringLiteral("Connection")))
        update.profilePath = asPath(properties.value(QStringLiteral("Connection"))).toStdString();
    if (properties.contains(QStringLiteral("State")))
        update.state = toState(properties.value(QStringLiteral("State")));
    if (properties.contains(QStringLiteral("Type")))
        update.type = properties.value(QStringLiteral("Type")).toString().toStdString();
    if (properties.contains(QStringLiteral("Id")))
        update.id = properties.value(QStringLiteral("Id")).toString().toStdString();
    QStringList devices;
    if (properties.contains(QStringLiteral("Devices"))) {
        devices = asPaths(properties.value(QStringLiteral("Devices")));
        std::vector<std::string> names;
        for (const QString& device : devices)
            names.push_back(device.toStdString());
        update.devices = std::move(names);
    }
    cache_.setActive(path.toStdString(), update);
    for (const QString& device : devices)
        readDevice(device);
    if (update.state == ActiveState::Activated)
        dialing_.erase(path.toStdString());
}

void Bus::activationEnded(const QString& path, std::uint32_t reason)
{
    const auto dialed = dialing_.find(path.toStdString());
    if (dialed == dialing_.end())
        return;
    const Dial dial = dialed->second;
    dialing_.erase(dialed);
    if (reason == kReasonUserDisconnected)
        return;
    std::string fault = "reason:" + std::to_string(reason);
    if (reason == kReasonDeviceDisconnected) {
        // The latest failure since the dial, of its devices when they are known.
        const std::vector<std::string> devices = cache_.devicesOf(path.toStdString());
        std::uint64_t latest = dial.since;
        for (const auto& [device, failure] : deviceFailures_) {
            const bool its = devices.empty() || std::find(devices.begin(), devices.end(), device) != devices.end();
            if (its && failure.when > latest) {
                latest = failure.when;
                fault = "device:" + std::to_string(failure.reason);
            }
        }
    }
    refuse({LateRefusal::Request::Dial, 0, dial.entryName, fault, {}});
}

void Bus::signalArrived(const QDBusMessage& message)
{
    const QString member = message.member();
    const QString path = message.path();
    const QList<QVariant> args = message.arguments();
    if (member == QLatin1String("PropertiesChanged")) {
        const QString interface = args.value(0).toString();
        const QVariantMap changed = asMap(args.value(1));
        if (interface == kManagerInterface && path == kManagerPath
            && changed.contains(QStringLiteral("ActiveConnections")))
            takeActiveList(asPaths(changed.value(QStringLiteral("ActiveConnections"))));
        else if (interface == kActiveInterface && cache_.knowsActive(path.toStdString()))
            takeActive(path, changed);
        else if (interface == kDeviceInterface && changed.contains(QStringLiteral("IpInterface")))
            cache_.setDeviceInterface(path.toStdString(),
                                      changed.value(QStringLiteral("IpInterface")).toString().toStdString());
    } else if (member == QLatin1String("StateChanged") && message.interface() == kDeviceInterface) {
        ++deviceEvents_;
        if (args.value(0).toUInt() == kDeviceFailed)
            deviceFailures_[path.toStdString()] = {args.value(2).toUInt(), deviceEvents_};
    } else if (member == QLatin1String("StateChanged")) {
        const uint state = args.value(0).toUInt();
        takeActive(path, {{QStringLiteral("State"), state}});
        if (toState(state) == ActiveState::Deactivated)
            activationEnded(path, args.value(1).toUInt());
    } else if (member == QLatin1String("NewConnection")) {
        readProfile(asPath(args.value(0)));
    } else if (member == QLatin1String("ConnectionRemoved")) {
        const std::string key = asPath(args.value(0)).toStdString();
        const auto before = cache_.profile(key);
        cache_.removeProfile(key);
        if (before && before->dialable())
            tellPhonebookChanged();
    } else if (member == QLatin1String("Updated")) {
        readProfile(path);
    }
}

void Bus::activate(const std::string& profilePath, const std::string& entryName)
{
    QDBusMessage message = methodCall(kManagerPath, kManagerInterface, QStringLiteral("ActivateConnection"));
    // NetworkManager picks the device and the specific object itself.
    message << QVariant::fromValue(QDBusObjectPath(QString::fromStdString(profilePath)))
            << QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")))
            << QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")));
    const std::string ask = std::to_string(++asks_);
    asked_[ask] = {entryName, deviceEvents_};
    call(message, [this, entryName, ask, since = deviceEvents_](const QDBusMessage& reply) {
        asked_.erase(ask);
        if (!isReply(reply)) {
            refuse({LateRefusal::Request::Dial, 0, entryName, reply.errorName().toStdString(),
                    reply.errorMessage().toStdString()});
            return;
        }
        const std::string path = asPath(reply.arguments().value(0)).toStdString();
        if (cache_.activeState(path) != ActiveState::Activated)
            dialing_[path] = {entryName, since};
    });
}

void Bus::deactivate(const std::string& activePath, std::int32_t handle, const std::string& entryName)
{
    QDBusMessage message = methodCall(kManagerPath, kManagerInterface, QStringLiteral("DeactivateConnection"));
    message << QVariant::fromValue(QDBusObjectPath(QString::fromStdString(activePath)));
    call(message, [this, handle, entryName](const QDBusMessage& reply) {
        if (!isReply(reply))
            refuse({LateRefusal::Request::HangUp, handle, entryName, reply.errorName().toStdString(),
                    reply.errorMessage().toStdString()});
    });
}

void Bus::tellPhonebookChanged()
{
    if (phonebookChanged_)
        phonebookChanged_();
}

void Bus::refuse(LateRefusal refusal)
{
    if (refused_)
        refused_(refusal);
}

} // namespace zumi::nm
