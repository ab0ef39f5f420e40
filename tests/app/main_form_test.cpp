#include "app/dial_failure_text.h"
#include "app/hangup_messages.h"
#include "app/main_form.h"
#include "app/tray.h"
#include "infowindow/info_window_controller.h"
#include "tariff/monitor.h"

#include "fake_clock.h"
#include "fake_dialup.h"
#include "fake_views.h"
#include "fake_window_queries.h"

#include <algorithm>
#include <cerrno>

#include <gtest/gtest.h>

namespace zumi {
namespace {

using namespace zumi::test;
using Strings = std::vector<std::string>;

class RecordingMessageBoxes final : public MessageBoxes {
public:
    Strings shown;
    bool question(const QString& text) override
    {
        shown.push_back("question: " + text.toStdString());
        return false;
    }
    void exclamation(const QString& text) override { shown.push_back("exclamation: " + text.toStdString()); }
    void warnWithoutWaiting(const QString& text) override { shown.push_back("warning: " + text.toStdString()); }
};

class RecordingNotifier final : public DesktopNotifier {
public:
    Strings shown;
    void notify(const std::string& summary, const std::string& body) override
    {
        shown.push_back(summary + ": " + body);
    }
};

// The menu, the tray, the info window and the monitor wired as in the program, on fake dial-up networking.
struct MainFormFixture : ::testing::Test {
    FakeClock clock;
    FakeDialUp dialUp;
    FakeByteCounter bytes;
    FakeSoundPlayer sound;
    FakeWindowQueries windows;
    RecordingMessageBoxes messages;
    RecordingNotifier notifier;
    HangupMessages hangupMessages{messages, notifier};
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
    void tick()
    {
        monitor.Timer_Timer();
        clock.advance(1);
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
    void expectMenu(bool metering)
    {
        EXPECT_EQ(form.mnuSettings()->isEnabled(), !metering);
        EXPECT_EQ(form.mnuAutoHangup()->isEnabled(), metering);
        EXPECT_EQ(form.mnuTrenn1()->isVisible(), metering);
        EXPECT_EQ(form.mnuDisconnect()->isVisible(), metering);
        EXPECT_EQ(form.mnuDisconnect()->isEnabled(), metering);
        form.trayActivated(QSystemTrayIcon::Trigger); // the provider entries as the user sees them
        for (QAction* entry : form.mnuProvider())
            EXPECT_EQ(entry->isEnabled(), !metering);
    }
};

TEST_F(MainFormFixture, MenuAndTrayThroughOneConnection)
{
    expectMenu(false);
    dialUp.connect(11, "Net 1");
    tick();
    expectMenu(true);
    EXPECT_EQ(tray.toolTip(), "Connected: Net 1");

    form.mnuDisconnect()->trigger(); // without asking
    EXPECT_EQ(dialUp.hangUps, (std::vector<std::int32_t>{11}));
    tick();
    expectMenu(false);
    EXPECT_EQ(tray.toolTip(), " Zumi ");
    EXPECT_TRUE(messages.shown.empty());
}

// A pppd this user may not stop: "&Trennen" says so at once, in a box that
// does not hold up the tick and on the desktop; asking again tells again.
TEST_F(MainFormFixture, ARefusedHangUpIsToldAtOnce)
{
    dialUp.hangUpDrops = false;
    dialUp.hangUpError = EPERM;
    dialUp.connect(11, "Net 1");
    tick();
    form.mnuDisconnect()->trigger();
    const std::string text = "Das Trennen der Verbindung \u201eNet 1\u201c ist fehlgeschlagen: Zumi darf diese "
                             "Verbindung nicht beenden (sie wurde von root oder einem anderen Benutzer gestartet). "
                             "Die Verbindung kostet weiter Geld. Bitte trennen Sie sie selbst, z. B. mit "
                             "\u201esudo poff Net 1\u201c.";
    EXPECT_EQ(messages.shown, Strings{"warning: " + text});
    EXPECT_EQ(notifier.shown, Strings{"Zumi: Trennen fehlgeschlagen: " + text});
    for (int i = 0; i < 4; ++i)
        tick();
    form.mnuDisconnect()->trigger();
    EXPECT_EQ(messages.shown.size(), 2u);
    expectMenu(true);

    // A rule's hang-up that worked: which rule, how long, how many units.
    hangupMessages.automaticHangupDone({11, "Net 1", HangupCause::LowTraffic, 0, 3725, 63});
    EXPECT_EQ(notifier.shown.back(),
              "Zumi: automatisch getrennt: Die Verbindung \u201eNet 1\u201c wurde wegen geringen "
              "Datenverkehrs getrennt: Online-Zeit 1:02:05, 63 Einheiten.");
}

TEST(LateRefusalTexts, NetworkManagersReasonsInGermanWithItsOwnWords)
{
    const LateRefusal denied{LateRefusal::Request::Dial, 0, "Iridium",
                             "org.freedesktop.NetworkManager.PermissionDenied", "Not authorized"};
    EXPECT_EQ(refusedDialText(denied),
              "Der Wählvorgang für \u201eIridium\u201c wurde von NetworkManager abgelehnt: Keine Berechtigung: "
              "NetworkManager (polkit) erlaubt das diesem Benutzer nicht. In einer aktiven lokalen Sitzung ist es "
              "normalerweise erlaubt. (NetworkManager: Not authorized)");
    EXPECT_EQ(refusalReasonText({LateRefusal::Request::Dial, 0, "Iridium", "reason:9", ""}),
              "Es fehlen Zugangsdaten (Passwort oder SIM-PIN).");
    EXPECT_EQ(refusalReasonText({LateRefusal::Request::Dial, 0, "Iridium", "org.example.Odd", "kaputt"}),
              "Fehler org.example.Odd. (NetworkManager: kaputt)");

    HangupRequest request{7, "Iridium", HangupCause::Menu, 0};
    request.refusal = "NetworkManager antwortet nicht.";
    EXPECT_EQ(hangupFailureText(request, 0),
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
    autoHangup.AutoHangupPastUnits = 5;
    choose(2);
    EXPECT_EQ(armed(), Armed({2}, 2));
    EXPECT_EQ(autoHangup.AutoHangupPastUnits, 0);
    autoHangup.AutoHangupPastUnits = 1;
    choose(9); // another entry: only it is checked, the count starts again
    EXPECT_EQ(armed(), Armed({9}, 120));
    EXPECT_EQ(autoHangup.AutoHangupPastUnits, 0);
    choose(9); // the checked one: disarmed
    EXPECT_EQ(armed(), Armed({}, -1));

    choose(0);
    dialUp.disconnectAll();
    tick(); // the run ends and resets the count; the mark stays
    EXPECT_EQ(armed(), Armed({0}, -1));
    messages.shown.clear();
    choose(0); // only the mark goes
    EXPECT_EQ(armed(), Armed({}, -1));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainFormFixture, PressOpensTheMenuOnceAndIgnoresPressesWhileOpen)
{
    windows.active = 0x2a00005;
    windows.titles[0x2a00005] = "Terminal";
    dialUp.phonebook = {"Net1"};
    whileOpen = [&] {
        EXPECT_TRUE(form.popupOpen() && form.busy());
        EXPECT_EQ(form.mnuProvider()[0]->text(), "Net1"); // read before opening
        form.trayActivated(QSystemTrayIcon::Trigger);
        form.trayActivated(QSystemTrayIcon::Context);
        form.mnuProvider()[0]->trigger(); // the chosen command runs inside the menu call
    };
    form.trayActivated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(menuOpenings, 1);
    EXPECT_EQ(dialUp.dials, (Strings{"Net1"}));
    EXPECT_EQ(debugLines, (Strings{"2A00005  Terminal"}));
    EXPECT_FALSE(form.popupOpen() || form.busy());

    whileOpen = nullptr;
    for (auto reason : {QSystemTrayIcon::MiddleClick, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::Unknown})
        form.trayActivated(reason);
    EXPECT_EQ(menuOpenings, 1);
    form.trayActivated(QSystemTrayIcon::Context);
    EXPECT_EQ(menuOpenings, 2);
}

TEST_F(MainFormFixture, ProviderDialsTheNameUnchanged)
{
    dialUp.phonebook = {"Arcor Call by Call", "say \"hi\"", "$(touch /tmp/x)", "a;rm -rf ~", "-f", "Tom & Jerry"};
    form.loadPhonebook();
    for (QAction* entry : form.mnuProvider())
        entry->trigger();
    EXPECT_EQ(dialUp.dials, Strings(connNames.begin(), connNames.begin() + 6));
    EXPECT_TRUE(std::is_permutation(dialUp.dials.begin(), dialUp.dials.end(), dialUp.phonebook.begin(),
                                    dialUp.phonebook.end()));
    EXPECT_EQ(form.mnuProvider()[5]->text(), "Tom && Jerry"); // shown, not an access key

    // A dialer that cannot start is no silent failure.
    dialUp.dialResult = {false, DialError::ExitedAtOnce, "/usr/sbin/pppd", 2, "pppd: unrecognized option 'x'"};
    form.doConnect("Net 1");
    EXPECT_EQ(messages.shown,
              (Strings{"exclamation: \"Net 1\" kann nicht gewählt werden: das Wählprogramm ließ "
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
}

// A user outside the group that may read the phonebook learns why it is empty
// and what helps, in place of the entries; nothing there dials.
TEST_F(MainFormFixture, AnUnreadablePhonebookIsExplainedInTheMenu)
{
    dialUp.phonebookError = PhonebookError::NotPermitted;
    form.loadPhonebook();
    ASSERT_EQ(form.mnuProvider().size(), 1u);
    QAction* entry = form.mnuProvider().front();
    EXPECT_EQ(entry->text().toStdString(),
              "Keine Verbindungen: Kein Zugriff auf /etc/ppp/peers, dazu fehlt die Gruppe „dip“ "
              "(sudo adduser BENUTZER dip, danach neu anmelden)");
    EXPECT_TRUE(entry->isVisible());
    EXPECT_FALSE(entry->isEnabled());
    entry->trigger();
    EXPECT_TRUE(dialUp.dials.empty());

    dialUp.phonebookError = PhonebookError::None; // after joining the group
    form.loadPhonebook();
    EXPECT_EQ(form.mnuProvider().size(), 2u);
    EXPECT_TRUE(form.mnuProvider().front()->isEnabled());
}

} // namespace
} // namespace zumi

namespace zumi {
namespace {

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

} // namespace
} // namespace zumi
