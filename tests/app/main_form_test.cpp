#include "main_form.h"

#include "fake_dialup.h"
#include "fake_window_queries.h"
#include "recording_message_boxes.h"

#include <QAction>

#include <algorithm>

#include <gtest/gtest.h>

namespace zumi {
namespace {

using namespace zumi::test;

struct MainFormFixture : ::testing::Test {
    FakeDialUp dialUp;
    ConnNames connNames{};
    AutoHangupState autoHangup;
    FakeWindowQueries windows;
    RecordingMessageBoxes messages;
    std::int32_t activeConn = -1;
    MainForm form{{dialUp, connNames, autoHangup, windows, messages, [this] { return activeConn; }}};

    std::vector<std::string> debugLines;
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
    }
    std::vector<std::string> providerCaptions() const
    {
        std::vector<std::string> captions;
        for (QAction* entry : form.mnuProvider())
            if (entry->isVisible())
                captions.push_back(entry->text().toStdString());
        return captions;
    }
    std::vector<int> checked() const
    {
        std::vector<int> result;
        for (int i = 0; i < MainForm::kAutoHangupEntries; ++i)
            if (form.mnuAutoHangupEinheiten(i)->isChecked())
                result.push_back(i);
        return result;
    }
    void choose(int index) { form.mnuAutoHangupEinheiten(index)->trigger(); }
};

TEST_F(MainFormFixture, MenuAtStartUp)
{
    EXPECT_EQ(form.windowTitle(), "Zumi");
    EXPECT_EQ(form.timer().interval(), 1000);
    EXPECT_EQ(form.timer().timerType(), Qt::PreciseTimer);

    // caption ("-" separator), shown, enabled (a hidden entry counts as disabled)
    const std::vector<std::tuple<QString, bool, bool>> expected = {
        {"&Beenden", true, true}, {"-", true, true}, {"&Einstellungen", true, true}, {"-", true, true},
        {"&Vor Einheitsende trennen", true, false}, {"-", true, true}, {"Provider", false, false},
        {"-", false, false}, {"&Trennen", false, false}};
    const QList<QAction*> entries = form.mnuPop().actions();
    ASSERT_EQ(entries.size(), static_cast<qsizetype>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& [caption, shown, enabled] = expected[i];
        QAction* entry = entries[static_cast<qsizetype>(i)];
        EXPECT_EQ(entry->isSeparator() ? QString("-") : entry->text(), caption) << i;
        EXPECT_EQ(entry->isVisible(), shown) << i;
        EXPECT_EQ(entry->isEnabled(), enabled) << i;
    }
    EXPECT_EQ(entries[7], form.mnuTrenn1());
    const QList<QAction*> sub = form.mnuAutoHangup()->menu()->actions();
    ASSERT_EQ(sub.size(), 10);
    EXPECT_EQ(sub[0]->text(), "Nach laufender Einheit");
    EXPECT_EQ(sub[1]->text(), "Nach 1 weiteren Einheit");
    EXPECT_EQ(sub[6]->text(), "Nach 10 weiteren Einheiten");
    EXPECT_EQ(sub[9]->text(), "Nach 120 weiteren Einheiten");
    for (QAction* entry : sub)
        EXPECT_TRUE(entry->isCheckable() && !entry->isChecked());
}

TEST_F(MainFormFixture, ProviderEntriesFollowThePhonebook)
{
    dialUp.phonebook = {"b", "A", "c", "e", "d"};
    form.loadPhonebook();
    EXPECT_EQ(providerCaptions(), (std::vector<std::string>{"A", "b", "c", "d", "e"}));
    const QList<QAction*> entries = form.mnuPop().actions();
    EXPECT_EQ(entries.indexOf(form.mnuProvider()[4]) + 1, entries.indexOf(form.mnuTrenn1()));

    dialUp.phonebook = {"c", "b", "A"}; // shrinks; disabled while metering
    activeConn = 1;
    form.loadPhonebook();
    EXPECT_EQ(providerCaptions(), (std::vector<std::string>{"A", "b", "c"}));
    for (QAction* entry : form.mnuProvider())
        EXPECT_FALSE(entry->isEnabled());

    dialUp.phonebook.clear(); // empty: the first entry stays as it was, and dials what it shows
    form.loadPhonebook();
    EXPECT_EQ(providerCaptions(), (std::vector<std::string>{"A"}));
    form.mnuProvider_Click(0);
    form.mnuProvider_Click(1);
    EXPECT_EQ(dialUp.dials, (std::vector<std::string>{"A"}));
}

TEST_F(MainFormFixture, ProviderDialsTheNameUnchanged)
{
    dialUp.phonebook = {"Arcor Call by Call", "say \"hi\"", "$(touch /tmp/x)", "a;rm -rf ~", "-f", "Tom & Jerry"};
    form.loadPhonebook();
    for (QAction* entry : form.mnuProvider())
        entry->trigger();
    EXPECT_EQ(dialUp.dials, std::vector<std::string>(connNames.begin(), connNames.begin() + 6));
    std::sort(dialUp.dials.begin(), dialUp.dials.end());
    std::sort(dialUp.phonebook.begin(), dialUp.phonebook.end());
    EXPECT_EQ(dialUp.dials, dialUp.phonebook);
    EXPECT_EQ(form.mnuProvider()[5]->text(), "Tom && Jerry"); // shown, not an access key
    EXPECT_TRUE(messages.shown.empty());

    dialUp.dialResult = {false, "pon: nicht gefunden"};
    form.doConnect("Net 1");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].rfind("exclamation: \"Net 1\"", 0), 0u) << messages.shown[0];
    EXPECT_NE(messages.shown[0].find("pon: nicht gefunden"), std::string::npos);
}

TEST_F(MainFormFixture, DisconnectHangsUpTheFirstConnectionWithoutAsking)
{
    dialUp.connect(7, "Net1");
    dialUp.connect(9, "Net2");
    form.mnuDisconnect_Click();
    EXPECT_EQ(dialUp.hangUps, (std::vector<std::int32_t>{7}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainFormFixture, ArmingRearmingAndDisarming)
{
    activeConn = 0;
    autoHangup.AutoHangupPastUnits = 5;
    choose(2);
    EXPECT_EQ(checked(), (std::vector<int>{2}));
    EXPECT_EQ(autoHangup.AutoHangupUnitsToWait, 2);
    EXPECT_EQ(autoHangup.AutoHangupPastUnits, 0);

    autoHangup.AutoHangupPastUnits = 1;
    choose(0); // another entry: only it is checked, the count starts again
    EXPECT_EQ(checked(), (std::vector<int>{0}));
    EXPECT_EQ(autoHangup.AutoHangupUnitsToWait, 0);
    EXPECT_EQ(autoHangup.AutoHangupPastUnits, 0);

    choose(0); // the checked one: disarmed
    EXPECT_TRUE(checked().empty());
    EXPECT_EQ(autoHangup.AutoHangupUnitsToWait, -1);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainFormFixture, CheckedButNotArmedAfterTheConnectionEnded)
{
    activeConn = 0;
    choose(4);
    activeConn = -1; // the monitor ends the run and resets the count; the mark stays
    autoHangup.AutoHangupUnitsToWait = -1;

    choose(4); // only the mark goes
    EXPECT_TRUE(checked().empty());
    EXPECT_TRUE(messages.shown.empty());

    choose(4); // no connection: the two messages, nothing armed
    EXPECT_TRUE(checked().empty());
    EXPECT_EQ(autoHangup.AutoHangupUnitsToWait, -1);
    EXPECT_EQ(messages.shown, (std::vector<std::string>{"question: Ohne Verbindung macht das keinen Sinn, oder?",
                                                         "exclamation: Eben!"}));
}

TEST_F(MainFormFixture, PressOpensTheMenuOnceAndIgnoresPressesWhileOpen)
{
    windows.active = 0x2a00005;
    windows.titles[0x2a00005] = "Terminal";
    dialUp.phonebook = {"Net1"};
    int broughtBack = 0;
    form.setBringToFront([&] { ++broughtBack; });
    whileOpen = [&] {
        EXPECT_TRUE(form.popupOpen() && form.busy());
        EXPECT_EQ(form.prevForeground(), 0x2a00005u);
        EXPECT_EQ(providerCaptions(), (std::vector<std::string>{"Net1"})); // read before opening
        form.trayActivated(QSystemTrayIcon::Trigger);
        form.trayActivated(QSystemTrayIcon::Context);
        form.run(); // the watchdog: still the window that had the focus
        windows.active = 0x300; // the user turned to another program
        form.run();
        form.mnuProvider()[0]->trigger(); // the chosen command runs inside the menu call
    };
    form.trayActivated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(menuOpenings, 1);
    EXPECT_EQ(broughtBack, 1);
    EXPECT_EQ(dialUp.dials, (std::vector<std::string>{"Net1"}));
    EXPECT_EQ(debugLines, (std::vector<std::string>{"2A00005  Terminal"}));
    EXPECT_FALSE(form.popupOpen() || form.busy());
    EXPECT_EQ(form.prevForeground(), 0u);
    form.run(); // closed: the watchdog does nothing
    EXPECT_EQ(broughtBack, 1);

    whileOpen = nullptr;
    for (auto reason : {QSystemTrayIcon::MiddleClick, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::Unknown})
        form.trayActivated(reason);
    EXPECT_EQ(menuOpenings, 1);
    form.trayActivated(QSystemTrayIcon::Context);
    EXPECT_EQ(menuOpenings, 2);
}

TEST_F(MainFormFixture, WatchdogShowsTheHiddenFormForAMomentAndFocusesIt)
{
    whileOpen = [&] {
        windows.active = 0x300;
        form.run();
    };
    form.trayActivated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(windows.activations, (std::vector<WindowId>{form.winId()}));
    EXPECT_FALSE(form.isVisible());
}

} // namespace
} // namespace zumi
