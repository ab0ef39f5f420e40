#include "app/sni/dbus_menu_exporter.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include <gtest/gtest.h>

namespace zumi {
namespace {

TEST(DBusMenuLabel, AccessKeysAndUnderscores)
{
    EXPECT_EQ(dbusMenuLabel(QStringLiteral("&Trennen")), QStringLiteral("_Trennen"));
    EXPECT_EQ(dbusMenuLabel(QStringLiteral("A && B")), QStringLiteral("A & B"));
    EXPECT_EQ(dbusMenuLabel(QStringLiteral("T-Online_DSL")), QStringLiteral("T-Online__DSL"));
    EXPECT_EQ(dbusMenuLabel(QStringLiteral("Ende&")), QStringLiteral("Ende"));
}

DBusMenuLayoutItem childAt(const DBusMenuLayoutItem& item, int index)
{
    return item.children.at(index).value<DBusMenuLayoutItem>();
}

// A menu shaped like the tray's: an entry, a separator, a submenu of
// checkable entries and a disabled, hidden entry.
struct MenuFixture : ::testing::Test {
    QMenu menu;
    QMenu sub;
    QAction* close = menu.addAction(QStringLiteral("&Beenden"));
    QAction* separator = menu.addSeparator();
    QAction* subEntry = nullptr;
    QAction* checkable = nullptr;
    QAction* hidden = nullptr;
    int shows = 0;
    QList<QAction*> chosen;
    std::function<void()> onShow;
    DBusMenuExporter* exporter = nullptr;

    void SetUp() override
    {
        sub.setTitle(QStringLiteral("&Vor Einheitsende trennen"));
        checkable = sub.addAction(QStringLiteral("Nach laufender Einheit"));
        checkable->setCheckable(true);
        subEntry = menu.addMenu(&sub);
        hidden = menu.addAction(QStringLiteral("&Trennen"));
        hidden->setEnabled(false);
        hidden->setVisible(false);
        exporter = new DBusMenuExporter(menu,
                                        {[this] {
                                             ++shows;
                                             if (onShow)
                                                 onShow();
                                         },
                                         [this](QAction* a) { chosen.append(a); }},
                                        &menu);
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
    EXPECT_EQ(root.properties.value("children-display").toString(), "submenu");
    ASSERT_EQ(root.children.size(), 4);

    const DBusMenuLayoutItem first = childAt(root, 0);
    EXPECT_EQ(first.properties.value("label").toString(), "_Beenden");
    EXPECT_TRUE(first.properties.value("enabled").toBool());
    EXPECT_TRUE(first.properties.value("visible").toBool());
    EXPECT_FALSE(first.properties.contains("toggle-type"));
    EXPECT_EQ(childAt(root, 1).properties.value("type").toString(), "separator");
    EXPECT_FALSE(childAt(root, 1).properties.contains("label"));

    const DBusMenuLayoutItem subItem = childAt(root, 2);
    EXPECT_EQ(subItem.properties.value("children-display").toString(), "submenu");
    ASSERT_EQ(subItem.children.size(), 1);
    const DBusMenuLayoutItem mark = childAt(subItem, 0);
    EXPECT_EQ(mark.properties.value("toggle-type").toString(), "checkmark");
    EXPECT_EQ(mark.properties.value("toggle-state").toInt(), 0);

    const DBusMenuLayoutItem last = childAt(root, 3);
    EXPECT_FALSE(last.properties.value("enabled").toBool());
    EXPECT_FALSE(last.properties.value("visible").toBool());

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
}

TEST_F(MenuFixture, ClickedEntriesAreChosenLaterAndOnlyWhenEnabled)
{
    exporter->Event(exporter->idOf(close), "clicked", QDBusVariant(0), 0);
    exporter->Event(exporter->idOf(close), "hovered", QDBusVariant(0), 0);
    exporter->Event(exporter->idOf(hidden), "clicked", QDBusVariant(0), 0);
    EXPECT_TRUE(chosen.isEmpty()); // the call is answered first
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen, QList<QAction*>{close});

    const QList<int> errors = exporter->EventGroup(
        {{exporter->idOf(checkable), "clicked", QDBusVariant(0), 0}, {4711, "clicked", QDBusVariant(0), 0}});
    EXPECT_EQ(errors, QList<int>{4711});
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen, (QList<QAction*>{close, checkable}));
}

} // namespace
} // namespace zumi
