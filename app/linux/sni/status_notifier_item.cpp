#include "app/linux/sni/status_notifier_item.h"

#include "app/linux/sni/status_notifier_item_adaptor.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>

namespace zumi {

namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kMenuPath = QStringLiteral("/MenuBar");
// A watcher may own its name a moment before it answers: asked again this
// often, this far apart, before waiting for its next start.
constexpr int kRegisterAttempts = 8;
constexpr int kRetryMs = 250;

QString nextServiceName()
{
    static int items = 0;
    return QStringLiteral("org.kde.StatusNotifierItem-%1-%2").arg(QCoreApplication::applicationPid()).arg(++items);
}

} // namespace

StatusNotifierItem::StatusNotifierItem(QString id, QString title, Callbacks callbacks, QObject* parent)
    : QObject(parent)
    , id_(std::move(id))
    , title_(std::move(title))
    , callbacks_(std::move(callbacks))
    , serviceName_(nextServiceName())
    , adaptor_(new StatusNotifierItemAdaptor(*this))
    , watcher_(kWatcherService, QDBusConnection::sessionBus(), QDBusServiceWatcher::WatchForOwnerChange)
{
    registerSniTypes();
    connect(&watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                if (!newOwner.isEmpty() && callbacks_.watcherAppeared)
                    callbacks_.watcherAppeared();
            });
}

StatusNotifierItem::~StatusNotifierItem()
{
    hide();
}

bool StatusNotifierItem::show()
{
    if (!shown_) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected() || !bus.registerObject(kItemPath, this, QDBusConnection::ExportAdaptors))
            return false;
        if (menu_
            && !bus.registerObject(kMenuPath, menu_.get(),
                                   QDBusConnection::ExportScriptableContents | QDBusConnection::ExportAllProperties)) {
            bus.unregisterObject(kItemPath);
            return false;
        }
        if (!bus.registerService(serviceName_)) {
            bus.unregisterObject(kItemPath);
            if (menu_)
                bus.unregisterObject(kMenuPath);
            return false;
        }
        shown_ = true;
        emit adaptor_->NewStatus(status());
    }
    registerWithWatcher();
    return true;
}

void StatusNotifierItem::hide()
{
    if (!shown_)
        return;
    shown_ = false;
    ++registration_;
    emit adaptor_->NewStatus(status());
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(serviceName_);
    bus.unregisterObject(kItemPath);
    if (menu_)
        bus.unregisterObject(kMenuPath);
}

void StatusNotifierItem::exportMenu(QMenu& menu, DBusMenuExporter::Callbacks callbacks)
{
    const bool wasShown = shown_;
    hide();
    menu_ = std::make_unique<DBusMenuExporter>(menu, std::move(callbacks));
    if (wasShown)
        show();
}

QString StatusNotifierItem::menuPath() const
{
    return menu_ ? kMenuPath : QStringLiteral("/NO_DBUSMENU");
}

void StatusNotifierItem::registerWithWatcher()
{
    tryRegister(kRegisterAttempts);
}

void StatusNotifierItem::tryRegister(int attemptsLeft)
{
    if (!shown_)
        return;
    const int registration = attemptsLeft == kRegisterAttempts ? ++registration_ : registration_;
    QDBusMessage call = QDBusMessage::createMethodCall(kWatcherService, QStringLiteral("/StatusNotifierWatcher"),
                                                       kWatcherService, QStringLiteral("RegisterStatusNotifierItem"));
    call << serviceName_;
    // Not awaited: a hung panel must not hold up metering.
    auto* pending = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, pending, registration, attemptsLeft](QDBusPendingCallWatcher*) {
                pending->deleteLater();
                const QDBusPendingReply<> reply = *pending;
                if (!reply.isError() || registration != registration_ || attemptsLeft <= 1)
                    return;
                // No watcher at all: its start is followed instead.
                if (reply.error().type() == QDBusError::ServiceUnknown)
                    return;
                QTimer::singleShot(kRetryMs, this, [this, registration, attemptsLeft] {
                    if (registration == registration_)
                        tryRegister(attemptsLeft - 1);
                });
            });
}

void StatusNotifierItem::setIcon(const QIcon& icon)
{
    pixmaps_ = sniPixmaps(icon, {16, 22, 24, 32});
    emit adaptor_->NewIcon();
}

void StatusNotifierItem::setToolTip(const QString& text)
{
    toolTip_ = text;
    emit adaptor_->NewToolTip();
}

void StatusNotifierItem::press(Press press, QPoint at)
{
    // Later, so that the host's call is answered before a menu's own event
    // loop runs.
    QMetaObject::invokeMethod(
        this,
        [this, press, at] {
            if (callbacks_.pressed)
                callbacks_.pressed(press, at);
        },
        Qt::QueuedConnection);
}

bool statusNotifierWatcherPresent()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusConnectionInterface* daemon = bus.isConnected() ? bus.interface() : nullptr;
    return daemon && daemon->isServiceRegistered(kWatcherService).value();
}

} // namespace zumi
