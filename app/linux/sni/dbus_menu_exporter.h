#pragma once
#include "app/linux/sni/dbus_menu_types.h"

#include <QDBusContext>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QAction;
class QMenu;

namespace zumi {

// A popup menu's caption as com.canonical.dbusmenu takes it: the access key
// marked by "_" in place of "&", "&&" a plain "&", a plain "_" doubled.
QString dbusMenuLabel(const QString& text);

// A QMenu over com.canonical.dbusmenu, for panels that draw the menu
// themselves. Entry 0 is the menu; every other entry is one of its actions,
// with an id that stays the same while the action lives. A change to the
// entries is told to the hosts as it happens: a new revision with
// LayoutUpdated when entries come or go, ItemsPropertiesUpdated when only
// captions or states change. A clicked entry is handed to chosen (the action
// is triggered when none is given) if the menu shows it enabled when the
// click is carried out.
class DBusMenuExporter final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)
public:
    struct Callbacks {
        // Before the menu is shown: what opening the program's own menu does first.
        std::function<void()> aboutToShow;
        std::function<void(QAction* action)> chosen;
    };

    DBusMenuExporter(QMenu& menu, Callbacks callbacks, QObject* parent = nullptr);

    uint version() const { return 3; }
    QString textDirection() const;
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }
    uint revision() const { return revision_; }

    // The id of an action of the menu (0 for none known).
    int idOf(const QAction* action) const { return ids_.value(action, 0); }

public slots:
    Q_SCRIPTABLE uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                zumi::DBusMenuLayoutItem& layout);
    Q_SCRIPTABLE zumi::DBusMenuItemList GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames);
    Q_SCRIPTABLE QDBusVariant GetProperty(int id, const QString& name);
    Q_SCRIPTABLE void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    Q_SCRIPTABLE QList<int> EventGroup(const zumi::DBusMenuEventList& events);
    Q_SCRIPTABLE bool AboutToShow(int id);
    Q_SCRIPTABLE QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

signals:
    Q_SCRIPTABLE void LayoutUpdated(uint revision, int parent);
    Q_SCRIPTABLE void ItemsPropertiesUpdated(const zumi::DBusMenuItemList& updatedProps,
                                             const zumi::DBusMenuItemKeysList& removedProps);

private:
    // What the hosts were last told of: each entry's properties and children.
    struct Entry {
        QVariantMap properties;
        QList<int> children;
        bool operator==(const Entry&) const = default;
    };
    using Snapshot = QMap<int, Entry>;

    QMenu* menuOf(int id) const;
    QAction* actionOf(int id) const;
    bool known(int id) const { return id == 0 || actionOf(id); }
    int idFor(QAction* action);
    QVariantMap properties(int id) const;
    QList<int> childIds(int id);
    DBusMenuLayoutItem layoutOf(int id, int depth, const QStringList& names);
    Snapshot snapshot();
    void watch(QMenu* menu);
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Tells the hosts what changed since they were last told; true when anything did.
    bool publishChanges();
    // Whether the entry and each submenu on its way are enabled and shown now.
    bool actionable(const QAction* action) const;
    bool trigger(int id, const QString& eventId);
    void refuse(const QString& what);

    QPointer<QMenu> menu_;
    Callbacks callbacks_;
    QHash<const QAction*, int> ids_;
    QHash<int, QPointer<QAction>> actions_;
    QList<QMenu*> watched_;
    int nextId_ = 1;
    uint revision_ = 1;
    Snapshot published_;
    bool checkQueued_ = false;
};

} // namespace zumi
