#include "app/linux/sni/dbus_menu_exporter.h"
#include "app/linux/sni/status_notifier_item.h"

#include "private_bus.h"

#include <QAction>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QMenu>
#include <QScopeGuard>

#include <gtest/gtest.h>

namespace zumi {
namespace {

DBusMenuLayoutItem childAt(const DBusMenuLayoutItem& item, int index)
{
    return item.children.at(index).value<DBusMenuLayoutItem>();
}

// Properties as key=value, then the children in braces.
QString text(const DBusMenuLayoutItem& item)
{
    QStringList parts, children;
    for (auto it = item.properties.begin(); it != item.properties.end(); ++it)
        parts << it.key() + "=" + it.value().toString();
    for (const QVariant& child : item.children)
        children << text(child.value<DBusMenuLayoutItem>());
    if (!children.isEmpty())
        parts << "{" + children.join("; ") + "}";
    return parts.join(' ');
}

// A menu shaped like the tray's: an entry, a separator, a submenu of
// checkable entries and a disabled, hidden entry.
struct MenuFixture : ::testing::Test {
    QMenu menu, sub{QStringLiteral("&Vor Einheitsende trennen")};
    QAction* close = menu.addAction(QStringLiteral("&Beenden"));
    QAction* separator = menu.addSeparator();
    QAction* checkable = sub.addAction(QStringLiteral("A && T-Online_DSL&"));
    QAction* subEntry = menu.addMenu(&sub);
    QAction* hidden = menu.addAction(QStringLiteral("&Trennen"));
    QList<QAction*> chosen;
    std::function<void()> onShow = [] {};
    DBusMenuExporter* exporter = nullptr;

    MenuFixture()
    {
        checkable->setCheckable(true);
        hidden->setEnabled(false);
        hidden->setVisible(false);
        exporter = new DBusMenuExporter(menu, {[this] { onShow(); }, [this](QAction* a) { chosen.append(a); }}, &menu);
    }
    DBusMenuLayoutItem layout(int parent = 0, int depth = -1, const QStringList& names = {})
    {
        DBusMenuLayoutItem item;
        exporter->GetLayout(parent, depth, names, item);
        return item;
    }
};

TEST_F(MenuFixture, LayoutCarriesTheEntriesNarrowedByDepthAndNames)
{
    const DBusMenuLayoutItem root = layout();
    EXPECT_EQ(root.id, 0);
    EXPECT_EQ(text(root).toStdString(),
              "children-display=submenu {enabled=true label=_Beenden visible=true; enabled=true type=separator "
              "visible=true; children-display=submenu enabled=true label=_Vor Einheitsende trennen visible=true "
              "{enabled=true label=A & T-Online__DSL toggle-state=0 toggle-type=checkmark visible=true}; "
              "enabled=false label=_Trennen visible=false}");
    const DBusMenuLayoutItem first = childAt(root, 0), subItem = childAt(root, 2), last = childAt(root, 3);
    const DBusMenuLayoutItem mark = childAt(subItem, 0);

    // Depth and property names narrow the answer.
    EXPECT_TRUE(layout(0, 0).children.isEmpty());
    EXPECT_TRUE(childAt(layout(0, 1), 2).children.isEmpty());
    EXPECT_EQ(childAt(layout(subItem.id, -1), 0).id, mark.id);
    EXPECT_EQ(childAt(layout(0, -1, {"label"}), 0).properties.keys(), QStringList{"label"});
    const DBusMenuItemList group = exporter->GetGroupProperties({last.id, 9999}, {"enabled", "visible"});
    ASSERT_EQ(group.size(), 1);
    EXPECT_EQ(group[0].properties.size(), 2);
    EXPECT_EQ(exporter->GetProperty(first.id, "label").variant().toString(), "_Beenden");
}

TEST_F(MenuFixture, ChangesAreToldAndAboutToShowRunsTheRefresh)
{
    QList<uint> layoutRevisions;
    QObject::connect(exporter, &DBusMenuExporter::LayoutUpdated,
                     [&](uint revision, int) { layoutRevisions.append(revision); });
    EXPECT_FALSE(exporter->AboutToShow(0));

    // The refresh before showing adds an entry: a new revision, and the host is told to update.
    const uint before = exporter->revision();
    QAction* added = nullptr;
    onShow = [&] { added = menu.addAction(QStringLiteral("Provider")); };
    EXPECT_TRUE(exporter->AboutToShow(0));
    EXPECT_EQ(layoutRevisions, QList<uint>{before + 1});
    EXPECT_EQ(layout().children.size(), 5);
    QCoreApplication::processEvents();
    EXPECT_EQ(layoutRevisions.size(), 1); // told once, not again from the queue

    // A deleted action's id is gone, and an unknown id is refused.
    const int addedId = exporter->idOf(added);
    delete added;
    EXPECT_TRUE(exporter->GetGroupProperties({addedId}, {}).isEmpty());
    QList<int> errors;
    exporter->AboutToShowGroup({addedId}, errors);
    EXPECT_EQ(errors, QList<int>{addedId});

    // Clicked entries are chosen after the call is answered, and only when enabled.
    for (QAction* entry : {close, hidden})
        exporter->Event(exporter->idOf(entry), "clicked", QDBusVariant(0), 0);
    exporter->Event(exporter->idOf(close), "hovered", QDBusVariant(0), 0);
    EXPECT_TRUE(chosen.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen, QList<QAction*>{close});
    errors = exporter->EventGroup(
        {{exporter->idOf(checkable), "clicked", QDBusVariant(0), 0}, {4711, "clicked", QDBusVariant(0), 0}});
    EXPECT_EQ(errors, QList<int>{4711});
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen, (QList<QAction*>{close, checkable}));
}

// A panel on the other end of a real bus connection: the watcher it stands
// for, and a record of what arrived.
class BusHost final : public QObject {
    Q_OBJECT
public:
    QStringList arrived; // "member signature"
    DBusMenuItemList updated;

public slots:
    void signal(const QDBusMessage& message)
    {
        arrived << message.member() + " " + message.signature();
        if (message.member() == QLatin1String("ItemsPropertiesUpdated"))
            updated += qdbus_cast<DBusMenuItemList>(message.arguments().at(0));
    }
    Q_SCRIPTABLE void RegisterStatusNotifierItem(const QString&) { arrived << "Register s"; }
};

QStringList qtWarnings;

// As a panel sees them over a private session bus:
// every method answers, every signal arrives, and QtDBus meets no type it
// cannot carry (it would skip the method or drop the signal with a warning).
TEST(OverTheBus, ItemAndMenuCarryEveryTypeTheirSignaturesName)
{
    test::PrivateBus bus("DBUS_SESSION_BUS_ADDRESS");
    ASSERT_TRUE(bus.runs());
    const QtMessageHandler before
        = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) { qtWarnings << m; });
    const auto restore = qScopeGuard([before] { qInstallMessageHandler(before); });
    QDBusConnection host = QDBusConnection::connectToBus(bus.address(), QStringLiteral("host"));
    BusHost panel;
    host.registerObject("/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher", &panel,
                        QDBusConnection::ExportScriptableSlots);
    host.registerService("org.kde.StatusNotifierWatcher");

    QMenu menu;
    QAction* close = menu.addAction(QStringLiteral("&Beenden"));
    QAction* disconnect = menu.addAction(QStringLiteral("&Trennen"));
    disconnect->setVisible(false);
    QStringList done;
    StatusNotifierItem item(
        "zumi", "Zumi",
        {[&](auto press, QPoint at) { done << QString("press %1 %2").arg(int(press)).arg(at.x()); }, {}});
    item.exportMenu(menu, {[&] { done << "about to show"; }, [&](QAction* entry) { done << entry->text(); }});
    ASSERT_TRUE(item.show());
    const auto pathOf
        = [](const QString& interface) { return interface.startsWith("com") ? "/MenuBar" : "/StatusNotifierItem"; };
    for (const QString signal :
         {"Item.NewIcon", "Item.NewToolTip", "Item.NewStatus", "Menu.LayoutUpdated", "Menu.ItemsPropertiesUpdated"}) {
        const QString interface = signal.startsWith("Item") ? "org.kde.StatusNotifierItem" : "com.canonical.dbusmenu";
        ASSERT_TRUE(host.connect(item.serviceName(), pathOf(interface), interface, signal.section('.', 1), &panel,
                                 SLOT(signal(QDBusMessage))));
    }
    ASSERT_TRUE(test::waitFor([&] { return panel.arrived.contains("Register s"); }));
    // The host's call, answered while this process serves its own objects.
    const auto call = [&](const QString& method, const QVariantList& arguments = {}, const char* path = nullptr) {
        const QString interface = method.section('.', 0, -2);
        QDBusMessage message = QDBusMessage::createMethodCall(item.serviceName(), path ? path : pathOf(interface),
                                                              interface, method.section('.', -1));
        message.setArguments(arguments);
        const QDBusPendingCall pending = host.asyncCall(message);
        test::waitFor([&] { return pending.isFinished(); });
        return pending.reply();
    };
    const auto signature = [&](const QString& method, const QVariantList& arguments = {}) {
        const QDBusMessage reply = call(method, arguments);
        return (reply.type() == QDBusMessage::ErrorMessage ? reply.errorName() : reply.signature()).toStdString();
    };

    // The item: its properties, methods and signals.
    const QDBusMessage all
        = call("org.freedesktop.DBus.Properties.GetAll", {"org.kde.StatusNotifierItem"}, "/StatusNotifierItem");
    EXPECT_EQ(qdbus_cast<QVariantMap>(all.arguments().value(0)).size(), 10) << all.errorMessage().toStdString();
    for (const QString method : {"Activate", "SecondaryActivate", "ContextMenu"})
        EXPECT_EQ(signature("org.kde.StatusNotifierItem." + method, {4, 5}), "");
    EXPECT_EQ(signature("org.kde.StatusNotifierItem.Scroll", {1, "vertical"}), "");
    item.setIcon(QIcon());
    item.setToolTip("Connected: Net");

    // The menu, with each of its types.
    const int closeId = item.menuExporter()->idOf(close), disconnectId = item.menuExporter()->idOf(disconnect);
    const QString dbusmenu = "com.canonical.dbusmenu.";
    EXPECT_EQ(signature(dbusmenu + "GetLayout", {0, -1, QStringList()}), "u(ia{sv}av)");
    EXPECT_EQ(signature(dbusmenu + "GetGroupProperties", {QVariant::fromValue(QList<int>{closeId}), QStringList()}),
              "a(ia{sv})");
    EXPECT_EQ(signature(dbusmenu + "GetProperty", {closeId, "label"}), "v");
    EXPECT_EQ(signature(dbusmenu + "AboutToShow", {0}), "b");
    EXPECT_EQ(signature(dbusmenu + "AboutToShowGroup", {QVariant::fromValue(QList<int>{0})}), "aiai");
    EXPECT_EQ(signature(dbusmenu + "Event", {closeId, "clicked", QVariant::fromValue(QDBusVariant(0)), 0u}), "");
    const DBusMenuEventList events{{closeId, "clicked", QDBusVariant(0), 0u}};
    EXPECT_EQ(signature(dbusmenu + "EventGroup", {QVariant::fromValue(events)}), "ai");
    // A link comes up: the host learns of the entry that shows now, and of a new one.
    disconnect->setVisible(true);
    ASSERT_TRUE(test::waitFor([&] { return !panel.updated.isEmpty(); }));
    EXPECT_EQ(panel.updated[0].id, disconnectId);
    EXPECT_TRUE(panel.updated[0].properties.value("visible").toBool());
    menu.addAction("Net");
    for (const QString expected :
         {"NewIcon ", "NewToolTip ", "ItemsPropertiesUpdated a(ia{sv})a(ias)", "LayoutUpdated ui"})
        EXPECT_TRUE(test::waitFor([&] { return panel.arrived.contains(expected); })) << expected.toStdString();
    item.hide();
    EXPECT_TRUE(test::waitFor([&] { return panel.arrived.contains("NewStatus s"); }));
    EXPECT_EQ(
        done,
        (QStringList{"press 0 4", "press 1 4", "press 2 4", "about to show", "about to show", "&Beenden", "&Beenden"}));
    EXPECT_TRUE(qtWarnings.isEmpty()) << qtWarnings.join("\n").toStdString();
}

} // namespace
} // namespace zumi

#include "dbus_menu_test.moc"
