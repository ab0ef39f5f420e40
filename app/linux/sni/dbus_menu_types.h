#pragma once
#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

namespace zumi {

// An entry of a com.canonical.dbusmenu layout, (ia{sv}av): its id, its
// properties and its children, each a variant holding such an entry again.
struct DBusMenuLayoutItem {
    int id = 0;
    QVariantMap properties;
    QVariantList children;
};

// An entry's properties, (ia{sv}), as GetGroupProperties and
// ItemsPropertiesUpdated carry them.
struct DBusMenuItem {
    int id = 0;
    QVariantMap properties;
};
using DBusMenuItemList = QList<DBusMenuItem>;

// The properties an entry lost, (ias).
struct DBusMenuItemKeys {
    int id = 0;
    QStringList names;
};
using DBusMenuItemKeysList = QList<DBusMenuItemKeys>;

// One event of EventGroup, (isvu).
struct DBusMenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using DBusMenuEventList = QList<DBusMenuEvent>;

// Makes the types known to QtDBus; needed once before the first use.
void registerDBusMenuTypes();

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemKeys& keys);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemKeys& keys);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event);

} // namespace zumi

Q_DECLARE_METATYPE(zumi::DBusMenuLayoutItem)
Q_DECLARE_METATYPE(zumi::DBusMenuItem)
Q_DECLARE_METATYPE(zumi::DBusMenuItemKeys)
Q_DECLARE_METATYPE(zumi::DBusMenuEvent)
