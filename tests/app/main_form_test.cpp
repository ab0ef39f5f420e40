#include "app/dial_failure_text.h"
#include "app/linux/sni/dbus_menu_exporter.h"
#include "app/linux/tray.h"
#include "app/main_form.h"
#include "app/qt/dialog_setup.h"
#include "app/qt/hangup_messages.h"
#include "app/qt/qt_message_boxes.h"
#include "infowindow/info_window_controller.h"
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

// The menu, the tray, the info window and the monitor wired as in the program, on fake dial-up networking.
struct MainFormFixture : ::testing::Test {
    FakeClock clock;
    FakeDialUp dialUp;
    FakeByteCounter bytes;
    FakeSoundPlayer sound;
    FakeWindowQueries windows;
    RecordingMessages messages;
    HangupMessages hangupMessages{messages, messages};
    HangupWatch hangups{clock, hangupMessages};
    Settings settings;
    ConnNames connNames{};
    AutoHangupState autoHangup;
    MainForm form{
        {dialUp, connNames, autoHangup, windows, windows, messages, hangups, [this] { return monitor.activeConn(); }}};
    InfoWindowController info{settings, autoHangup, windows, windows, form, {}};
    Tray tray{{[this] { return info.isVisible(); }, [] { return true; }}};
    Monitor monitor{{clock, dialUp, bytes, info, tray, form, sound, form, settings, connNames, autoHangup, hangups}};
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
        dialUp.hangUpDrops = true;
        form.loadPhonebook();
    }
    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i, clock.advance(1))
            monitor.Timer_Timer();
    }
    // The menu's visible entries as the user sees them once it opens; "(aus)" marks a disabled one.
    std::string menu()
    {
        form.trayActivated(QSystemTrayIcon::Trigger);
        std::string out;
        for (QAction* a : form.mnuPop().actions())
            if (a->isVisible())
                out += (a->isSeparator() ? "-" : a->text().toStdString()) + (a->isEnabled() ? " " : "(aus) ");
        return out;
    }
    void choose(int index) { form.mnuAutoHangupEinheiten(index)->trigger(); }
    using Armed = std::pair<std::vector<int>, std::int32_t>; // the checked entries, the units to wait
    Armed armed() const
    {
        Armed result{{}, autoHangup.AutoHangupUnitsToWait};
        for (int i = 0; i < MainForm::kAutoHangupEntries; ++i)
            if (form.mnuAutoHangupEinheiten(i)->isChecked())
                result.first.push_back(i);
        return result;
    }
};

// "&Trennen" of a pppd this user may not stop says so at once, in a box that
// does not hold up the tick and on the desktop; asking again tells again.
TEST_F(MainFormFixture, MenuAndTrayThroughOneConnectionWithARefusedHangUp)
{
    dialUp.connect(11, "Net 1");
    tick();
    dialUp.hangUpDrops = false;
    dialUp.hangUpError = EPERM;
    form.mnuDisconnect()->trigger(); // without asking
    const std::string text = "Das Trennen der Verbindung \u201eNet 1\u201c ist fehlgeschlagen: Zumi darf diese "
                             "Verbindung nicht beenden (sie wurde von root oder einem anderen Benutzer gestartet). "
                             "Die Verbindung kostet weiter Geld. Bitte trennen Sie sie selbst, z. B. mit "
                             "\u201esudo poff Net 1\u201c.";
    EXPECT_EQ(messages.shown, Strings{"warning: " + text});
    EXPECT_EQ(messages.notes, Strings{"Zumi: Trennen fehlgeschlagen: " + text});
    tick(4);
    form.mnuDisconnect()->trigger();
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(menu(),
              "&Beenden - &Einstellungen(aus) Verbin&dungen\u2026 - &Vor Einheitsende trennen - "
              "Net 1(aus) Net 2(aus) - &Trennen ");

    dialUp.hangUpDrops = true;
    dialUp.hangUpError = 0;
    form.mnuDisconnect()->trigger();
    EXPECT_EQ(dialUp.hangUps, (std::vector<std::int32_t>{11, 11, 11}));
    tick();
    EXPECT_EQ(menu(), "&Beenden - &Einstellungen Verbin&dungen\u2026 - &Vor Einheitsende trennen(aus) - Net 1 Net 2 ");
    EXPECT_EQ(messages.shown.size(), 2u);

    // A rule's hang-up that worked: which rule, how long, how many units.
    hangupMessages.automaticHangupDone({11, "Net 1", HangupCause::LowTraffic, 0, 3725, 63});
    EXPECT_EQ(messages.notes.back(),
              "Zumi: automatisch getrennt: Die Verbindung \u201eNet 1\u201c wurde wegen "
              "geringen Datenverkehrs getrennt: Online-Zeit 1:02:05, 63 Einheiten.");
}

TEST(LateRefusalTexts, NetworkManagersReasonsInGermanWithItsOwnWords)
{
    using R = LateRefusal::Request;
    EXPECT_EQ(refusalReasonText({R::Dial, 0, "Iridium", "reason:9", ""}),
              "Es fehlen Zugangsdaten (Passwort oder SIM-PIN).");
    // A NetworkManager that left.
    EXPECT_EQ(refusedDialText({R::Dial, 0, "DSL", "gone", ""}),
              "Der Wählvorgang für „DSL“ wurde nicht ausgeführt: NetworkManager wurde beendet, bevor die Verbindung "
              "zustande kam.");
    EXPECT_EQ(dialFailureText("DSL", {false, DialError::NotRunning, "NetworkManager"}),
              "Der Wählvorgang für „DSL“ konnte nicht gestartet werden: NetworkManager läuft nicht.");
    EXPECT_EQ(refusalReasonText({R::Dial, 0, "Iridium", "org.example.Odd", "kaputt"}),
              "Fehler org.example.Odd. (NetworkManager: kaputt)");
    EXPECT_EQ(hangupFailureText({7, "Iridium", HangupCause::Menu, 0, 0, 0, "NetworkManager antwortet nicht."}, 0),
              "Das Trennen der Verbindung \u201eIridium\u201c ist fehlgeschlagen: NetworkManager lehnt es ab: "
              "NetworkManager antwortet nicht. Die Verbindung kostet weiter Geld. Bitte trennen Sie sie selbst, z. B. "
              "mit \u201enmcli connection down Iridium\u201c.");
}

TEST_F(MainFormFixture, ArmingRearmingDisarmingAndTheMarkLeftByAnEndedConnection)
{
    choose(4); // no connection: the two messages, nothing armed
    EXPECT_EQ(armed(), Armed({}, -1));
    EXPECT_EQ(messages.shown,
              (Strings{"question: Ohne Verbindung macht das keinen Sinn, oder?", "exclamation: Eben!"}));

    dialUp.connect(5, "Net 2");
    tick();
    for (const auto& [entry, expected] : {std::pair{2, Armed({2}, 2)}, {9, Armed({9}, 120)}, {9, Armed({}, -1)}}) {
        autoHangup.AutoHangupPastUnits = 5;
        choose(entry); // another entry: only it is checked, the count starts again; the checked one: disarmed
        EXPECT_EQ(armed(), expected);
        if (!expected.first.empty()) {
            EXPECT_EQ(autoHangup.AutoHangupPastUnits, 0);
        }
    }
    choose(0);
    dialUp.disconnectAll();
    tick(); // the run ends and resets the count; the mark stays
    EXPECT_EQ(armed(), Armed({0}, -1));
    messages.shown.clear();
    choose(0); // only the mark goes
    EXPECT_EQ(armed(), Armed({}, -1));
    EXPECT_TRUE(messages.shown.empty());
}

// A command checks the state it needs when it runs, however old the menu it
// came from: a panel's click on an entry it read while idle, a link that comes
// up while the own menu is open, a handler called directly.
TEST_F(MainFormFixture, NoDialNorSettingsDuringACallFromAMenuReadBeforeIt)
{
    int settingsOpened = 0;
    form.setSettingsCommand([&] { ++settingsOpened; });
    DBusMenuExporter panel(
        form.mnuPop(),
        {[&] { form.exportedMenuAboutToShow(); }, [&](QAction* entry) { form.exportedMenuChosen(entry); }});
    // Its submenu is off while idle.
    panel.Event(panel.idOf(form.mnuAutoHangupEinheiten(0)), "clicked", QDBusVariant(0), 0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(messages.shown.empty());

    dialUp.connect(11, "Net 1");
    tick();
    form.mnuProvider_Click(0);
    form.mnuSettings_Click();
    dialUp.disconnectAll();
    tick();
    whileOpen = [&] {
        dialUp.connect(12, "Net 2");
        tick();
        EXPECT_FALSE(form.mnuProvider()[0]->isEnabled()); // greyed in the open menu
    };
    form.trayActivated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(menuOpenings, 1);
    EXPECT_TRUE(dialUp.dials.empty());
    EXPECT_EQ(settingsOpened, 0);
}

// The phonebook is read as the menu opens; presses while it is open are ignored, and the chosen entry dials
// inside the menu call with its name unchanged.
TEST_F(MainFormFixture, PressOpensTheMenuOnceDialsTheNameUnchangedAndFailuresAreTold)
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

    dialUp.dialResult = {false, DialError::ExitedAtOnce, "/usr/sbin/pppd", 2, "pppd: unrecognized option 'x'"};
    form.doConnect("Net 1");
    EXPECT_EQ(messages.shown,
              (Strings{"exclamation: „Net 1“ kann nicht gewählt werden: das Wählprogramm ließ "
                       "sich nicht starten.\n\nDer Wählvorgang für „Net 1“ konnte nicht gestartet "
                       "werden: pppd hat sich sofort mit dem Status 2 beendet. Meldung: pppd: "
                       "unrecognized option 'x'"}));
    // A user outside the group that may start pppd learns which group it is.
    dialUp.dialResult = {false, DialError::NotPermitted, "/usr/sbin/pppd"};
    form.doConnect("Net 1");
    EXPECT_NE(messages.shown.back().find("/usr/sbin/pppd darf nicht ausgeführt werden. Dazu muss Ihr Benutzer "
                                         "Mitglied der Gruppe „dip“ sein"),
              std::string::npos)
        << messages.shown.back();

    // Outside the group that may read the phonebook: why it is empty and what helps, in place of the entries.
    dialUp.phonebookError = PhonebookError::NotPermitted;
    EXPECT_EQ(menu(),
              "&Beenden - &Einstellungen Verbin&dungen\u2026 - &Vor Einheitsende trennen(aus) - Keine "
              "Verbindungen: Kein Zugriff auf /etc/ppp/peers, dazu fehlt die Gruppe „dip“ (sudo adduser "
              "BENUTZER dip, danach neu anmelden)(aus) ");
    dialUp.phonebookError = PhonebookError::None; // after joining the group
    form.loadPhonebook();
    EXPECT_EQ(form.mnuProvider().size(), 6u);
    EXPECT_TRUE(form.mnuProvider().front()->isEnabled());
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
