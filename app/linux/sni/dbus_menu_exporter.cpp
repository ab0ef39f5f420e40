#include "app/linux/sni/dbus_menu_exporter.h"

#include <QAction>
#include <QActionEvent>
#include <QActionGroup>
#include <QDBusMetaType>
#include <QGuiApplication>
#include <QMenu>
#include <QTimer>

#include <algorithm>

namespace zumi {

namespace {

const QString kLabel = QStringLiteral("label");
const QString kEnabled = QStringLiteral("enabled");
const QString kVisible = QStringLiteral("visible");
const QString kType = QStringLiteral("type");
const QString kToggleType = QStringLiteral("toggle-type");
const QString kToggleState = QStringLiteral("toggle-state");
const QString kChildrenDisplay = QStringLiteral("children-display");

QVariantMap only(const QVariantMap& properties, const QStringList& names)
{
    if (names.isEmpty())
        return properties;
    QVariantMap chosen;
    for (const QString& name : names) {
        const auto it = properties.constFind(name);
        if (it != properties.constEnd())
            chosen.insert(name, *it);
    }
    return chosen;
}

} // namespace

QString dbusMenuLabel(const QString& text)
{
    QString label;
    label.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('_')) {
            label += QStringLiteral("__");
        } else if (c == QLatin1Char('&')) {
            // A lone "&" at the end marks nothing.
            if (i + 1 >= text.size())
                break;
            if (text.at(i + 1) == QLatin1Char('&')) {
                label += QLatin1Char('&');
                ++i;
            } else {
                label += QLatin1Char('_');
            }
        } else {
            label += c;
        }
    }
    return label;
}

DBusMenuExporter::DBusMenuExporter(QMenu& menu, Callbacks callbacks, QObject* parent)
    : QObject(parent)
    , menu_(&menu)
    , callbacks_(std::move(callbacks))
{
    registerDBusMenuTypes();
    qDBusRegisterMetaType<QList<int>>();
    watch(&menu);
    published_ = snapshot();
}

QString DBusMenuExporter::textDirection() const
{
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl") : QStringLiteral("ltr");
}

QMenu* DBusMenuExporter::menuOf(int id) const
{
    if (id == 0)
        return menu_;
    const QAction* action = actionOf(id);
    return action ? action->menu() : nullptr;
}

QAction* DBusMenuExporter::actionOf(int id) const
{
    return actions_.value(id);
}

int DBusMenuExporter::idFor(QAction* action)
{
    const auto it = ids_.constFind(action);
    if (it != ids_.constEnd())
        return *it;
    const int id = nextId_++;
    ids_.insert(action, id);
    actions_.insert(id, action);
    // A later action at the same address is another entry: it gets an id of its own.
    connect(action, &QObject::destroyed, this, [this, action, id] {
        ids_.remove(action);
        actions_.remove(id);
    });
    return id;
}

QVariantMap DBusMenuExporter::properties(int id) const
{
    QVariantMap properties;
    if (id == 0) {
        properties.insert(kChildrenDisplay, QStringLiteral("submenu"));
        return properties;
    }
    const QAction* action = actionOf(id);
    if (!action)
        return properties;
    properties.insert(kEnabled, action->isEnabled());
    properties.insert(kVisible, action->isVisible());
    if (action->isSeparator()) {
        properties.insert(kType, QStringLiteral("separator"));
        return properties;
    }
    properties.insert(kLabel, dbusMenuLabel(action->text()));
    if (action->isCheckable()) {
        properties.insert(kToggleType,
                          action->actionGroup() && action->actionGroup()->isExclusive() ? QStringLiteral("radio")
                                                                                        : QStringLiteral("checkmark"));
        properties.insert(kToggleState, action->isChecked() ? 1 : 0);
    }
    if (action->menu())
        properties.insert(kChildrenDisplay, QStringLiteral("submenu"));
    return properties;
}

QList<int> DBusMenuExporter::childIds(int id)
{
    QList<int> children;
    QMenu* menu = menuOf(id);
    if (!menu)
        return children;
    watch(menu);
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions)
        children.append(idFor(action));
    return children;
}

DBusMenuLayoutItem DBusMenuExporter::layoutOf(int id, int depth, const QStringList& names)
{
    DBusMenuLayoutItem item{id, only(properties(id), names), {}};
    if (depth == 0)
        return item;
    const QList<int> children = childIds(id);
    for (int child : children)
        item.children.append(QVariant::fromValue(layoutOf(child, depth < 0 ? depth : depth - 1, names)));
    return item;
}

DBusMenuExporter::Snapshot DBusMenuExporter::snapshot()
{
    Snapshot entries;
    QList<int> open{0};
    while (!open.isEmpty()) {
        const int id = open.takeFirst();
        Entry entry{properties(id), childIds(id)};
        open.append(entry.children);
        entries.insert(id, std::move(entry));
    }
    return entries;
}

void DBusMenuExporter::watch(QMenu* menu)
{
    if (watched_.contains(menu))
        return;
    watched_.append(menu);
    menu->installEventFilter(this);
    connect(menu, &QObject::destroyed, this, [this, menu] { watched_.removeAll(menu); });
}

bool DBusMenuExporter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::ActionAdded || type == QEvent::ActionRemoved || type == QEvent::ActionChanged)
        && !checkQueued_) {
        // Entries change a few at a time (a phonebook read rebuilds them all):
        // told once they have.
        checkQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            checkQueued_ = false;
            publishChanges();
        });
    }
    return QObject::eventFilter(watched, event);
}

bool DBusMenuExporter::publishChanges()
{
    Snapshot now = snapshot();
    if (now == published_)
        return false;
    bool layoutChanged = now.size() != published_.size();
    for (auto it = now.constBegin(); !layoutChanged && it != now.constEnd(); ++it) {
        const auto before = published_.constFind(it.key());
        layoutChanged = before == published_.constEnd() || before->children != it->children;
    }
    if (layoutChanged) {
        published_ = std::move(now);
        emit LayoutUpdated(++revision_, 0);
        return true;
    }
    DBusMenuItemList updated;
    DBusMenuItemKeysList removed;
    for (auto it = now.constBegin(); it != now.constEnd(); ++it) {
        const QVariantMap& before = published_.value(it.key()).properties;
        if (before == it->properties)
            continue;
        updated.append({it.key(), it->properties});
        QStringList gone;
        for (auto old = before.constBegin(); old != before.constEnd(); ++old)
            if (!it->properties.contains(old.key()))
                gone.append(old.key());
        if (!gone.isEmpty())
            removed.append({it.key(), gone});
    }
    published_ = std::move(now);
    emit ItemsPropertiesUpdated(updated, removed);
    return true;
}

void DBusMenuExporter::refuse(const QString& what)
{
    if (calledFromDBus())
        sendErrorReply(QDBusError::InvalidArgs, what);
}

uint DBusMenuExporter::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                 DBusMenuLayoutItem& layout)
{
    if (!known(parentId)) {
        refuse(QStringLiteral("no menu entry %1").arg(parentId));
        return revision_;
    }
    layout = layoutOf(parentId, recursionDepth, propertyNames);
    return revision_;
}

DBusMenuItemList DBusMenuExporter::GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames)
{
    DBusMenuItemList items;
    // Entries that have gone meanwhile are left out, as hosts expect.
    for (int id : ids)
        if (known(id))
            items.append({id, only(properties(id), propertyNames)});
    return items;
}

QDBusVariant DBusMenuExporter::GetProperty(int id, const QString& name)
{
    const QVariantMap all = properties(id);
    const auto it = all.constFind(name);
    if (!known(id) || it == all.constEnd()) {
        refuse(QStringLiteral("no property %1 of menu entry %2").arg(name).arg(id));
        return QDBusVariant(QString());
    }
    return QDBusVariant(*it);
}

bool DBusMenuExporter::actionable(const QAction* action) const
{
    // A host may send what it read a while ago, or what it never showed.
    while (action->isEnabled() && action->isVisible()) {
        const auto holds = [action](const QMenu* menu) { return menu->actions().contains(action); };
        const auto holder = std::find_if(watched_.cbegin(), watched_.cend(), holds);
        if (holder == watched_.cend())
            return false;
        if (*holder == menu_)
            return true;
        action = (*holder)->menuAction();
    }
    return false;
}

bool DBusMenuExporter::trigger(int id, const QString& eventId)
{
    QAction* action = actionOf(id);
    if (id != 0 && !action)
        return false;
    if (eventId != QLatin1String("clicked") || !action || action->menu() || action->isSeparator())
        return true;
    // Later, so that the host's call is answered before a dialog's own event
    // loop runs.
    QPointer<QAction> later(action);
    QTimer::singleShot(0, this, [this, later] {
        if (!later || !actionable(later))
            return;
        if (callbacks_.chosen)
            callbacks_.chosen(later);
        else
            later->trigger();
    });
    return true;
}

void DBusMenuExporter::Event(int id, const QString& eventId, const QDBusVariant&, uint)
{
    if (!trigger(id, eventId))
        refuse(QStringLiteral("no menu entry %1").arg(id));
}

QList<int> DBusMenuExporter::EventGroup(const DBusMenuEventList& events)
{
    QList<int> idErrors;
    for (const DBusMenuEvent& event : events)
        if (!trigger(event.id, event.eventId))
            idErrors.append(event.id);
    if (!events.isEmpty() && idErrors.size() == events.size())
        refuse(QStringLiteral("none of the menu entries is known"));
    return idErrors;
}

bool DBusMenuExporter::AboutToShow(int id)
{
    if (!known(id)) {
        refuse(QStringLiteral("no menu entry %1").arg(id));
        return false;
    }
    if (id == 0 && callbacks_.aboutToShow)
        callbacks_.aboutToShow();
    return publishChanges();
}

QList<int> DBusMenuExporter::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors)
{
    QList<int> updatesNeeded;
    bool root = false;
    for (int id : ids) {
        if (!known(id))
            idErrors.append(id);
        root = root || id == 0;
    }
    if (root && callbacks_.aboutToShow)
        callbacks_.aboutToShow();
    if (publishChanges())
        for (int id : ids)
            if (known(id))
                updatesNeeded.append(id);
    return updatesNeeded;
}

} // namespace zumi
