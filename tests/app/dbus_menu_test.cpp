#include "app/sni/dbus_menu_exporter.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

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
    int shows = 0;
    QList<QAction*> chosen;
    std::function<void()> onShow = [] {};
    DBusMenuExporter* exporter = nullptr;

    MenuFixture()
    {
        checkable->setCheckable(true);
        hidden->setEnabled(false);
        hidden->setVisible(false);
        const auto show = [this] { ++shows, onShow(); };
        exporter = new DBusMenuExporter(menu, {show, [this](QAction* a) { chosen.append(a); }}, &menu);
    }
    DBusMenuLayoutItem layout(int parent = 0, int depth = -1, const QStringList& names = {})
    {
        DBusMenuLayoutItem item;
        exporter->GetLayout(parent, depth, names, item);
        return item;
    }
};

TEST_F(MenuFixture, LayoutCarriesTheEntriesWithStableIds)
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

    // The same ids on the next call, one per action, none of them the menu's 0.
    EXPECT_EQ(childAt(layout(), 3).id, last.id);
    EXPECT_EQ(exporter->idOf(hidden), last.id);
    EXPECT_NE(first.id, 0);
    EXPECT_NE(first.id, mark.id);

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
    DBusMenuItemList updated;
    QObject::connect(exporter, &DBusMenuExporter::LayoutUpdated,
                     [&](uint revision, int) { layoutRevisions.append(revision); });
    QObject::connect(exporter, &DBusMenuExporter::ItemsPropertiesUpdated,
                     [&](const DBusMenuItemList& items, const DBusMenuItemKeysList&) { updated += items; });
    EXPECT_FALSE(exporter->AboutToShow(0));
    EXPECT_EQ(shows, 1);

    // A state change alone: the entry's properties, no new layout.
    hidden->setVisible(true);
    QCoreApplication::processEvents();
    ASSERT_EQ(updated.size(), 1);
    EXPECT_EQ(updated[0].id, exporter->idOf(hidden));
    EXPECT_TRUE(updated[0].properties.value("visible").toBool());
    EXPECT_TRUE(layoutRevisions.isEmpty());

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
    hidden->setVisible(false);
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

} // namespace
} // namespace zumi
