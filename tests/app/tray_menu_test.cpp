#include "app/dial_failure_text.h"
#include "app/hangup_texts.h"
#include "app/tray_menu.h"
#include "tariff/monitor.h"

#include "fake_clock.h"
#include "fake_dialup.h"
#include "fake_views.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace zumi {
namespace {

using namespace zumi::test;
using Strings = std::vector<std::string>;
using Command = TrayMenu::Command;

struct RecordingMessages final : MenuMessages {
    Strings shown;
    bool question(const std::string& text) override { return shown.push_back("question: " + text), false; }
    void exclamation(const std::string& text) override { shown.push_back("exclamation: " + text); }
};

// The info window's one word to the menu: metering has begun.
struct MeteringInfo final : InfoView {
    MenuView& menu;
    explicit MeteringInfo(MenuView& m)
        : menu(m)
    {
    }
    void setTimeText(const std::string&) override {}
    void setTaktText(const std::string&) override {}
    void setSpeedText(const std::string&) override {}
    void setProgressValue(double) override {}
    void showInfoWindow() override { menu.setMeteringEnabled(true); }
    void keepInfoOnTop() override {}
    void unload() override {}
};

// The menu and the monitor wired as in the program, on fake dial-up networking.
struct TrayMenuFixture : ::testing::Test {
    FakeClock clock;
    FakeDialUp dialUp;
    FakeByteCounter bytes;
    FakeSoundPlayer sound;
    FakeTrayView tray;
    FakePopupWatchdog watchdog;
    CallLog log;
    FakeHangupReports reports{&log};
    HangupWatch hangups{clock, reports};
    Settings settings;
    RecordingMessages messages;
    PhonebookOwner phonebook{dialUp, {}};
    AutoHangupState autoHangup;
    TrayMenu menu{{dialUp, phonebook, autoHangup, messages, hangups, [this] { return monitor.activeConn(); }}};
    MeteringInfo info{menu};
    Monitor monitor{{clock, dialUp, bytes, info, tray, menu, sound, watchdog, settings, phonebook.connNames(),
                     autoHangup, hangups}};

    TrayMenuFixture()
    {
        dialUp.phonebook = {"Net 2", "Net 1"};
        dialUp.hangUpDrops = true;
        phonebook.reload();
    }
    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i, clock.advance(1))
            monitor.Timer_Timer();
    }
    // The visible entries as the user sees them once it opens; "(aus)" marks a disabled one.
    std::string shown()
    {
        menu.aboutToShow();
        std::string out;
        const auto add = [&](const MenuItem& item) {
            if (item.visible)
                out += item.caption + (item.enabled ? " " : "(aus) ");
        };
        add(menu.item(Command::Close));
        out += "- ";
        add(menu.item(Command::Settings));
        add(menu.item(Command::Calls));
        out += "- ";
        add(menu.autoHangupMenu());
        out += "- ";
        for (const MenuItem& provider : menu.providers())
            add(provider);
        if (menu.disconnectShown())
            out += "- ";
        add(menu.item(Command::Disconnect));
        return out;
    }
    using Armed = std::pair<std::vector<int>, bool>; // the checked entries, armed
    Armed armed() const
    {
        Armed result{{}, autoHangup.armed()};
        for (int i = 0; i < TrayMenu::kAutoHangupEntries; ++i)
            if (menu.autoHangupEntry(i).checked)
                result.first.push_back(i);
        return result;
    }
};

// "&Trennen" of a pppd this user may not stop is told at once; asking again tells again.
TEST_F(TrayMenuFixture, StatesThroughOneConnectionWithARefusedHangUp)
{
    dialUp.connect(11, "Net 1");
    tick();
    dialUp.hangUpDrops = false;
    dialUp.hangUpError = EPERM;
    menu.choose(Command::Disconnect); // without asking
    EXPECT_EQ(log, CallLog{"hangup.failed Net 1 0 " + std::to_string(EPERM)});
    tick(4);
    menu.choose(Command::Disconnect);
    EXPECT_EQ(log.size(), 2u);
    EXPECT_EQ(shown(), "&Beenden - &Einstellungen(aus) Verbin&dungen\u2026 - &Vor Einheitsende trennen - "
                       "Net 1(aus) Net 2(aus) - &Trennen ");

    dialUp.hangUpDrops = true;
    dialUp.hangUpError = 0;
    menu.choose(Command::Disconnect);
    EXPECT_EQ(dialUp.hangUps, (std::vector<std::int32_t>{11, 11, 11}));
    tick();
    EXPECT_EQ(shown(), "&Beenden - &Einstellungen Verbin&dungen\u2026 - &Vor Einheitsende trennen(aus) - Net 1 Net 2 ");
    EXPECT_EQ(log.size(), 2u);
}

TEST_F(TrayMenuFixture, ArmingRearmingDisarmingAndTheMarkLeftByAnEndedConnection)
{
    menu.chooseAutoHangup(4); // no connection: the two messages, nothing armed
    EXPECT_EQ(armed(), Armed({}, false));
    EXPECT_EQ(messages.shown,
              (Strings{"question: Ohne Verbindung macht das keinen Sinn, oder?", "exclamation: Eben!"}));

    dialUp.connect(5, "Net 2");
    tick();
    for (const auto& [entry, expected, units] : {std::tuple{2, Armed({2}, true), 2}, {9, Armed({9}, true), 120},
                                                 {9, Armed({}, false), 0}}) {
        autoHangup.unitBegan();
        menu.chooseAutoHangup(entry); // another entry: only it is checked, the count starts again; the checked one: off
        EXPECT_EQ(armed(), expected);
        if (expected.second) {
            EXPECT_EQ(autoHangup.unitsLeft(), units);
        }
    }
    menu.chooseAutoHangup(0);
    dialUp.disconnectAll();
    tick(); // the run ends and disarms; the mark stays
    EXPECT_EQ(armed(), Armed({0}, false));
    messages.shown.clear();
    menu.chooseAutoHangup(0); // only the mark goes
    EXPECT_EQ(armed(), Armed({}, false));
    EXPECT_TRUE(messages.shown.empty());
}

// A command checks the state it needs when it runs, however old the menu it came from.
TEST_F(TrayMenuFixture, NoDialNorSettingsDuringACallFromAMenuReadBeforeIt)
{
    int settingsOpened = 0;
    menu.setSettingsCommand([&] { ++settingsOpened; });
    dialUp.connect(11, "Net 1");
    tick();
    menu.chooseProvider(0);
    menu.doConnect("Net 2");
    menu.choose(Command::Settings);
    EXPECT_TRUE(dialUp.dials.empty());
    EXPECT_EQ(settingsOpened, 0);
}

TEST_F(TrayMenuFixture, DialsTheNameUnchangedAndTellsFailuresAndAnUnreadablePhonebook)
{
    dialUp.phonebook = {"Tom & Jerry", "say \"hi\""};
    menu.aboutToShow();
    EXPECT_EQ(menu.providers()[1].caption, "Tom && Jerry"); // shown, not an access key
    menu.chooseProvider(1);
    EXPECT_EQ(dialUp.dials, Strings{"Tom & Jerry"});

    dialUp.dialResult = {false, DialError::ExitedAtOnce, "/usr/sbin/pppd", 2, "pppd: unrecognized option 'x'"};
    menu.doConnect("Net 1");
    EXPECT_EQ(messages.shown,
              (Strings{"exclamation: „Net 1“ kann nicht gewählt werden: das Wählprogramm ließ "
                       "sich nicht starten.\n\nDer Wählvorgang für „Net 1“ konnte nicht gestartet "
                       "werden: pppd hat sich sofort mit dem Status 2 beendet. Meldung: pppd: "
                       "unrecognized option 'x'"}));
    // A user outside the group that may start pppd learns which group it is.
    dialUp.dialResult = {false, DialError::NotPermitted, "/usr/sbin/pppd"};
    menu.doConnect("Net 1");
    EXPECT_NE(messages.shown.back().find("/usr/sbin/pppd darf nicht ausgeführt werden. Dazu muss Ihr Benutzer "
                                         "Mitglied der Gruppe „dip“ sein"),
              std::string::npos)
        << messages.shown.back();

    // Outside the group that may read the phonebook: why it is empty and what helps, in place of the entries.
    dialUp.phonebookError = PhonebookError::NotPermitted;
    EXPECT_EQ(shown(), "&Beenden - &Einstellungen Verbin&dungen\u2026 - &Vor Einheitsende trennen(aus) - Keine "
                       "Verbindungen: Kein Zugriff auf /etc/ppp/peers, dazu fehlt die Gruppe „dip“ (sudo adduser "
                       "BENUTZER dip, danach neu anmelden)(aus) ");
    menu.chooseProvider(0);
    EXPECT_EQ(dialUp.dials.size(), 3u);
    dialUp.phonebookError = PhonebookError::None; // after joining the group
    menu.aboutToShow();
    EXPECT_EQ(menu.providers().size(), 2u);
    EXPECT_TRUE(menu.providers().front().enabled);
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
    const LateRefusal noReply{R::HangUp, 7, "Iridium", "org.freedesktop.DBus.Error.NoReply", ""};
    EXPECT_EQ(hangupFailureText({7, "Iridium", HangupCause::Menu, 0, 0, 0, noReply}, 0),
              "Das Trennen der Verbindung \u201eIridium\u201c ist fehlgeschlagen: NetworkManager lehnt es ab: "
              "NetworkManager antwortet nicht. Die Verbindung kostet weiter Geld. Bitte trennen Sie sie selbst, z. B. "
              "mit \u201enmcli connection down Iridium\u201c.");
    EXPECT_EQ(hangupFailureText({11, "Net 1", HangupCause::Menu, EPERM}, EPERM),
              "Das Trennen der Verbindung \u201eNet 1\u201c ist fehlgeschlagen: Zumi darf diese "
              "Verbindung nicht beenden (sie wurde von root oder einem anderen Benutzer gestartet). "
              "Die Verbindung kostet weiter Geld. Bitte trennen Sie sie selbst, z. B. mit "
              "\u201esudo poff Net 1\u201c.");
    // A rule's hang-up that worked: which rule, how long, how many units.
    EXPECT_EQ(automaticHangupText({11, "Net 1", HangupCause::LowTraffic, 0, 3725, 63}),
              "Die Verbindung \u201eNet 1\u201c wurde wegen geringen Datenverkehrs getrennt: Online-Zeit 1:02:05, "
              "63 Einheiten.");
}

} // namespace
} // namespace zumi
