#include "app/dial_failure_text.h"
#include "app/hangup_texts.h"
#include "app/tray_menu.h"

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

// The menu as the monitor drives it, on fake dial-up networking; a call is
// metered as the monitor and the info window tell the menu.
struct TrayMenuFixture : ::testing::Test {
    FakeClock clock;
    FakeDialUp dialUp;
    CallLog log;
    FakeHangupReports reports{&log};
    HangupWatch hangups{clock, reports};
    RecordingMessages messages;
    PhonebookOwner phonebook{dialUp, {}};
    AutoHangupState autoHangup;
    std::int32_t activeConn = -1;
    TrayMenu menu{{dialUp, phonebook, autoHangup, messages, hangups, [this] { return activeConn; }}};

    TrayMenuFixture()
    {
        dialUp.phonebook = {"Net 2", "Net 1"};
        phonebook.reload();
    }
    void metered(bool up)
    {
        up ? dialUp.connect(11, "Net 1") : dialUp.disconnectAll();
        activeConn = up ? 0 : -1;
        menu.setDisconnectShown(up);
        menu.setMeteringEnabled(up);
        autoHangup.disarmKeepingChoice();
    }
    // The visible entries as the user sees them once it opens; "(aus)" marks a disabled one.
    std::string shown()
    {
        menu.aboutToShow();
        std::vector<MenuItem> items{
            menu.item(Command::Close), {"-"}, menu.item(Command::Settings), menu.item(Command::Calls), {"-"},
            menu.autoHangupMenu(),     {"-"}};
        for (const MenuItem& provider : menu.providers())
            items.push_back(provider);
        items.insert(items.end(), {{"-", menu.disconnectShown()}, menu.item(Command::Disconnect)});
        std::string out;
        for (const MenuItem& item : items)
            out += item.visible ? item.caption + (item.enabled ? " " : "(aus) ") : "";
        return out;
    }
    using Armed = std::pair<std::vector<int>, std::int32_t>; // the checked entries, the units left (-1: off)
    Armed armed() const
    {
        Armed result{{}, autoHangup.armed() ? autoHangup.unitsLeft() : -1};
        for (int i = 0; i < TrayMenu::kAutoHangupEntries; ++i)
            if (menu.autoHangupEntry(i).checked)
                result.first.push_back(i);
        return result;
    }
};

// "&Trennen" asks at once, also after a refusal; nothing dials and the
// settings stay shut during a call, whatever menu was read before it began.
TEST_F(TrayMenuFixture, StatesAndRefusalsThroughOneCall)
{
    int settingsOpened = 0;
    menu.setSettingsCommand([&] { ++settingsOpened; });
    metered(true);
    dialUp.hangUpError = EPERM;
    menu.choose(Command::Disconnect); // without asking
    EXPECT_EQ(log, CallLog{"hangup.failed Net 1 0 " + std::to_string(EPERM)});
    menu.choose(Command::Disconnect); // the user asks again: told again
    EXPECT_EQ(log.size(), 2u);
    hangups.refusedLater({LateRefusal::Request::Dial, 0, "Net 2", "gone", ""}); // a dial turned down later
    EXPECT_EQ(log.back(), "dial.refused Net 2");
    EXPECT_EQ(shown(),
              "&Beenden - &Einstellungen(aus) Verbin&dungen\u2026 - &Vor Einheitsende trennen - "
              "Net 1(aus) Net 2(aus) - &Trennen ");
    menu.chooseProvider(0);
    menu.doConnect("Net 2");
    menu.choose(Command::Settings);
    EXPECT_TRUE(dialUp.dials.empty());
    EXPECT_EQ(settingsOpened, 0);

    metered(false);
    EXPECT_EQ(dialUp.hangUps, (std::vector<std::int32_t>{11, 11}));
    EXPECT_EQ(shown(), "&Beenden - &Einstellungen Verbin&dungen\u2026 - &Vor Einheitsende trennen(aus) - Net 1 Net 2 ");
}

TEST_F(TrayMenuFixture, ArmingRearmingDisarmingAndTheMarkLeftByAnEndedConnection)
{
    menu.chooseAutoHangup(4); // no connection: the two messages, nothing armed
    EXPECT_EQ(armed(), Armed({}, -1));
    EXPECT_EQ(messages.shown,
              (Strings{"question: Ohne Verbindung macht das keinen Sinn, oder?", "exclamation: Eben!"}));

    metered(true);
    for (const auto& [entry, expected] : {std::pair{2, Armed({2}, 2)}, {9, Armed({9}, 120)}, {9, Armed({}, -1)}}) {
        autoHangup.unitBegan();
        menu.chooseAutoHangup(entry); // another entry: only it is checked, the count starts again; the checked one: off
        EXPECT_EQ(armed(), expected);
    }
    menu.chooseAutoHangup(0);
    metered(false); // the run ends and disarms; the mark stays
    EXPECT_EQ(armed(), Armed({0}, -1));
    messages.shown.clear();
    menu.chooseAutoHangup(0); // only the mark goes
    EXPECT_EQ(armed(), Armed({}, -1));
    EXPECT_TRUE(messages.shown.empty());
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
    EXPECT_EQ(shown(),
              "&Beenden - &Einstellungen Verbin&dungen\u2026 - &Vor Einheitsende trennen(aus) - Keine "
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
