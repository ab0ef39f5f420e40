#include "app/hangup_messages.h"
#include "app/linux/sni/dbus_menu_exporter.h"
#include "app/linux/tray.h"
#include "app/phonebook_owner.h"
#include "app/qt/dialog_setup.h"
#include "app/qt/main_form.h"
#include "app/qt/menu_message_boxes.h"
#include "app/qt/qt_message_boxes.h"
#include "app/tray_menu.h"
#include "infowindow/qt/info_window_controller.h"
#include "tariff/monitor.h"

#include "fake_clock.h"
#include "fake_dialup.h"
#include "fake_views.h"
#include "fake_window_queries.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <cerrno>

#include <gtest/gtest.h>

namespace zumi {
namespace {

using namespace zumi::test;
using Strings = std::vector<std::string>;

struct RecordingMessages final : MessageBoxes, DesktopNotifier {
    Strings shown, notes;
    bool question(const QString& text) override { return shown.push_back("question: " + text.toStdString()), false; }
    void exclamation(const QString& text) override { shown.push_back("exclamation: " + text.toStdString()); }
    void warnWithoutWaiting(const QString& text) override { shown.push_back("warning: " + text.toStdString()); }
    void notify(const std::string& title, const std::string& body) override { notes.push_back(title + ": " + body); }
};

// The menu's model drawn by the main form, with the tray, the info window and
// the monitor wired as in the program, on fake dial-up networking.
struct MainFormFixture : ::testing::Test {
    FakeClock clock;
    FakeDialUp dialUp;
    FakeByteCounter bytes;
    FakeSoundPlayer sound;
    FakeWindowQueries windows;
    RecordingMessages messages;
    MenuMessageBoxes menuMessages{messages};
    HangupMessages hangupMessages{
        [this](const std::string& text) { messages.warnWithoutWaiting(QString::fromStdString(text)); }, messages};
    HangupWatch hangups{clock, hangupMessages};
    Settings settings;
    PhonebookOwner phonebook{dialUp, {}};
    AutoHangupState autoHangup;
    TrayMenu model{{dialUp, phonebook, autoHangup, menuMessages, hangups, [this] { return monitor.activeConn(); }}};
    MainForm form{{model, windows, windows}};
    InfoWindowController info{settings, autoHangup, windows, windows, model, {}};
    Tray tray{{[this] { return info.isVisible(); }, [] { return true; }}};
    Monitor monitor{
        {clock, dialUp, bytes, info, tray, model, sound, form, settings, phonebook.connNames(), autoHangup, hangups}};
    Strings debugLines;
    int menuOpenings = 0;
    std::function<void()> whileOpen; // what the user does while the menu is open

    MainFormFixture()
    {
        form.setDebugOutput([this](const std::string& line) { debugLines.push_back(line); });
        form.setMenuExec([this](QMenu&, const QPoint&) {
            ++menuOpenings;
            if (whileOpen)
                whileOpen();
        });
        dialUp.phonebook = {"Net 2", "Net 1"};
        phonebook.reload();
    }
    void tick()
    {
        monitor.Timer_Timer();
        clock.advance(1);
    }
    // The QMenu's visible entries once it opens; "(aus)" marks a disabled one.
    std::string menu()
    {
        form.trayActivated(QSystemTrayIcon::Trigger);
        std::string out;
        for (QAction* a : form.mnuPop().actions())
            if (a->isVisible())
                out += (a->isSeparator() ? "-" : a->text().toStdString()) + (a->isEnabled() ? " " : "(aus) ");
        return out;
    }
};

// The QMenu shows what the model holds, checks and all, and a refused hang-up
// is told in a box that does not hold up the tick and on the desktop.
TEST_F(MainFormFixture, TheMenuMirrorsItsModelDuringACallWithARefusedHangUp)
{
    EXPECT_EQ(menu(), "&Beenden - &Einstellungen Verbin&dungen\u2026 - &Vor Einheitsende trennen(aus) - Net 1 Net 2 ");
    dialUp.connect(11, "Net 1");
    tick();
    dialUp.hangUpError = EPERM;
    form.mnuDisconnect()->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].rfind("warning: Das Trennen der Verbindung", 0), 0u);
    EXPECT_EQ(messages.notes, Strings{"Zumi: Trennen fehlgeschlagen: " + messages.shown[0].substr(9)});
    form.mnuAutoHangupEinheiten(3)->trigger();
    EXPECT_TRUE(form.mnuAutoHangupEinheiten(3)->isChecked());
    EXPECT_EQ(menu(),
              "&Beenden - &Einstellungen(aus) Verbin&dungen\u2026 - &Vor Einheitsende trennen - "
              "Net 1(aus) Net 2(aus) - &Trennen ");
    form.mnuAutoHangupEinheiten(3)->trigger();
    EXPECT_FALSE(form.mnuAutoHangupEinheiten(3)->isChecked());
}

// A panel's click on an entry that is off does nothing; a refused choice
// leaves no mark; a link that comes up while the menu is open greys it there.
TEST_F(MainFormFixture, WhatIsOffOrRefusedShowsSo)
{
    DBusMenuExporter panel(
        form.mnuPop(),
        {[&] { form.exportedMenuAboutToShow(); }, [&](QAction* entry) { form.exportedMenuChosen(entry); }});
    // Its submenu is off while idle.
    panel.Event(panel.idOf(form.mnuAutoHangupEinheiten(0)), "clicked", QDBusVariant(0), 0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(messages.shown.empty());
    form.mnuAutoHangupEinheiten(1)->trigger(); // refused: no mark
    EXPECT_FALSE(form.mnuAutoHangupEinheiten(1)->isChecked());

    whileOpen = [&] {
        dialUp.connect(12, "Net 2");
        tick();
        EXPECT_FALSE(form.mnuProvider()[0]->isEnabled()); // greyed in the open menu
    };
    form.trayActivated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(menuOpenings, 1);
}

// The phonebook is read as the menu opens; presses while it is open are ignored, and the chosen entry dials
// inside the menu call with its name unchanged.
TEST_F(MainFormFixture, PressOpensTheMenuOnceAndDialsTheNameUnchanged)
{
    windows.active = 0x2a00005;
    windows.titles[0x2a00005] = "Terminal";
    dialUp.phonebook = {"Arcor Call by Call", "say \"hi\"", "$(touch /tmp/x)", "a;rm -rf ~", "-f", "Tom & Jerry"};
    whileOpen = [&] {
        EXPECT_TRUE(form.popupOpen() && form.busy());
        EXPECT_EQ(form.mnuProvider()[5]->text(), "Tom && Jerry"); // shown, not an access key
        form.trayActivated(QSystemTrayIcon::Trigger);
        form.trayActivated(QSystemTrayIcon::Context);
        for (QAction* entry : form.mnuProvider())
            entry->trigger();
    };
    form.trayActivated(QSystemTrayIcon::Trigger);
    const ConnNames& connNames = phonebook.connNames();
    EXPECT_EQ(dialUp.dials, Strings(connNames.begin(), connNames.begin() + 6));
    EXPECT_TRUE(std::is_permutation(dialUp.dials.begin(), dialUp.dials.end(), dialUp.phonebook.begin(),
                                    dialUp.phonebook.end()));
    EXPECT_EQ(debugLines, (Strings{"2A00005  Terminal"}));
    EXPECT_FALSE(form.popupOpen() || form.busy());

    whileOpen = nullptr;
    for (auto reason : {QSystemTrayIcon::MiddleClick, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::Unknown})
        form.trayActivated(reason);
    EXPECT_EQ(menuOpenings, 1);
    form.trayActivated(QSystemTrayIcon::Context);
    EXPECT_EQ(menuOpenings, 2);
}

TEST(TrayMenuPosition, OpensBesideTheIconAwayFromThePointerOnEveryScreenEdge)
{
    const QRect screen(0, 0, 1280, 800);
    const QSize menu(215, 70);
    // Tray at the top right: below the icon, its right edge kept on the screen.
    EXPECT_EQ(trayMenuPosition(QRect(1257, 1, 22, 30), menu, screen, {1268, 16}), QPoint(1064, 31));
    // Tray at the bottom left: above the icon.
    EXPECT_EQ(trayMenuPosition(QRect(4, 770, 22, 30), menu, screen, {10, 780}), QPoint(4, 700));
    // No icon place known: just below the pointer, never on it.
    EXPECT_EQ(trayMenuPosition(QRect(), menu, screen, {600, 100}), QPoint(600, 101));
}

// The program's question box (the one of the after-N-units command) brings
// Qt's buttons in German, whatever the locale of the test run, and the
// program's icon for its window.
TEST(DialogSetup, TheQuestionBoxAsksWithJaAndNeinUnderTheProgramsIcon)
{
    DialogSetup dialogSetup;
    ASSERT_TRUE(QApplication::windowIcon().isNull());
    QStringList buttons;
    QTimer::singleShot(0, [&buttons] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            for (QAbstractButton* button : box->buttons())
                buttons << button->text();
            box->button(QMessageBox::No)->click();
        }
    });
    EXPECT_FALSE(QtMessageBoxes(dialogSetup).question(QStringLiteral("Nach wie vielen Einheiten auflegen?")));
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("&Ja"), QStringLiteral("&Nein")}));
    EXPECT_EQ(QApplication::windowIcon().availableSizes().size(), 4);
}

} // namespace
} // namespace zumi
