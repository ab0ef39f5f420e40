#include "main_form.h"

#include "fake_dialup.h"
#include "fake_window_queries.h"
#include "recording_message_boxes.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

#include <gtest/gtest.h>

namespace zumi {
namespace {

using test::FakeDialUp;
using test::FakeWindowQueries;
using test::RecordingMessageBoxes;

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
    std::function<void()> whileOpen; // what the "user" does while the menu is open

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
    std::vector<int> checkedEntries() const
    {
        std::vector<int> checked;
        for (int i = 0; i < MainForm::kAutoHangupEntries; ++i)
            if (form.mnuAutoHangupEinheiten(i)->isChecked())
                checked.push_back(i);
        return checked;
    }
    void choose(int autoHangupIndex) { form.mnuAutoHangupEinheiten(autoHangupIndex)->trigger(); }
};

TEST_F(MainFormFixture, MenuAtStartUp)
{
    EXPECT_EQ(form.windowTitle(), "Zumi");
    EXPECT_FALSE(form.isVisible());

    const QList<QAction*> entries = form.mnuPop().actions();
    ASSERT_EQ(entries.size(), 9);
    EXPECT_EQ(entries[0], form.mnuClose());
    EXPECT_EQ(entries[0]->text(), "&Beenden");
    EXPECT_TRUE(entries[1]->isSeparator());
    EXPECT_EQ(entries[2], form.mnuSettings());
    EXPECT_EQ(entries[2]->text(), "&Einstellungen");
    EXPECT_TRUE(entries[3]->isSeparator());
    EXPECT_EQ(entries[4], form.mnuAutoHangup());
    EXPECT_EQ(entries[4]->text(), "&Vor Einheitsende trennen");
    EXPECT_TRUE(entries[5]->isSeparator());
    EXPECT_EQ(entries[6], form.mnuProvider().at(0));
    EXPECT_EQ(entries[6]->text(), "Provider");
    EXPECT_EQ(entries[7], form.mnuTrenn1());
    EXPECT_TRUE(entries[7]->isSeparator());
    EXPECT_EQ(entries[8], form.mnuDisconnect());
    EXPECT_EQ(entries[8]->text(), "&Trennen");

    for (int i : {0, 1, 2, 3, 4, 5})
        EXPECT_TRUE(entries[i]->isVisible()) << i;
    for (int i : {6, 7, 8})
        EXPECT_FALSE(entries[i]->isVisible()) << i;
    EXPECT_TRUE(form.mnuClose()->isEnabled());
    EXPECT_TRUE(form.mnuSettings()->isEnabled());
    EXPECT_FALSE(form.mnuAutoHangup()->isEnabled());

    QMenu* sub = form.mnuAutoHangup()->menu();
    ASSERT_NE(sub, nullptr);
    const char* captions[] = {"Nach laufender Einheit",     "Nach 1 weiteren Einheit",
                              "Nach 2 weiteren Einheiten",  "Nach 3 weiteren Einheiten",
                              "Nach 4 weiteren Einheiten",  "Nach 5 weiteren Einheiten",
                              "Nach 10 weiteren Einheiten", "Nach 30 weiteren Einheiten",
                              "Nach 60 weiteren Einheiten", "Nach 120 weiteren Einheiten"};
    ASSERT_EQ(sub->actions().size(), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(sub->actions()[i], form.mnuAutoHangupEinheiten(i));
        EXPECT_EQ(sub->actions()[i]->text(), captions[i]);
        EXPECT_TRUE(sub->actions()[i]->isCheckable());
        EXPECT_FALSE(sub->actions()[i]->isChecked());
    }
}

TEST_F(MainFormFixture, MenuViewFollowsMetering)
{
    form.setDisconnectShown(true);
    form.setMeteringEnabled(true);
    EXPECT_TRUE(form.mnuTrenn1()->isVisible());
    EXPECT_TRUE(form.mnuDisconnect()->isVisible());
    EXPECT_TRUE(form.mnuDisconnect()->isEnabled());
    EXPECT_FALSE(form.mnuSettings()->isEnabled());
    EXPECT_TRUE(form.mnuAutoHangup()->isEnabled());

    form.mnuAutoHangupEinheiten(3)->setChecked(true);
    form.uncheckAutoHangupEntries();
    EXPECT_TRUE(checkedEntries().empty());

    form.setDisconnectShown(false);
    form.setMeteringEnabled(false);
    EXPECT_FALSE(form.mnuTrenn1()->isVisible());
    EXPECT_FALSE(form.mnuDisconnect()->isVisible());
    EXPECT_FALSE(form.mnuDisconnect()->isEnabled());
    EXPECT_TRUE(form.mnuSettings()->isEnabled());
    EXPECT_FALSE(form.mnuAutoHangup()->isEnabled());
}

TEST_F(MainFormFixture, ProviderEntriesFollowThePhonebook)
{
    dialUp.phonebook = {"b", "A", "c", "e", "d"};
    form.loadPhonebook();
    EXPECT_EQ(providerCaptions(), (std::vector<std::string>{"A", "b", "c", "d", "e"}));
    EXPECT_EQ(connNames[0], "A");
    for (QAction* entry : form.mnuProvider())
        EXPECT_TRUE(entry->isEnabled());
    // They sit between the separators mnuTrenn and mnuTrenn1.
    const QList<QAction*> entries = form.mnuPop().actions();
    EXPECT_EQ(entries.indexOf(form.mnuProvider()[4]) + 1, entries.indexOf(form.mnuTrenn1()));

    // Shrinking to three removes the last two; connNames keeps the old names.
    dialUp.phonebook = {"c", "b", "A"};
    activeConn = 1;
    form.loadPhonebook();
    EXPECT_EQ(providerCaptions(), (std::vector<std::string>{"A", "b", "c"}));
    EXPECT_EQ(form.mnuProvider().size(), 3u);
    EXPECT_EQ(connNames[3], "d");
    for (QAction* entry : form.mnuProvider())
        EXPECT_FALSE(entry->isEnabled()); // disabled while a connection is metered

    // An empty phonebook leaves the first entry as it was.
    dialUp.phonebook.clear();
    activeConn = -1;
    form.loadPhonebook();
    EXPECT_EQ(providerCaptions(), (std::vector<std::string>{"A"}));
    EXPECT_FALSE(form.mnuProvider()[0]->isEnabled());
    form.mnuProvider()[0]->setEnabled(true);
    form.mnuProvider()[0]->trigger();
    EXPECT_EQ(dialUp.dials, (std::vector<std::string>{"A"}));
}

TEST_F(MainFormFixture, ProviderDialsTheNameUnchanged)
{
    const std::vector<std::string> names = {
        "Arcor Call by Call", "say \"hello\"", "x'y", "$(touch /tmp/zumi-pwned)", "a;rm -rf ~", "-f", "Tom & Jerry",
    };
    dialUp.phonebook = names;
    form.loadPhonebook();
    ASSERT_EQ(form.mnuProvider().size(), names.size());
    for (QAction* entry : form.mnuProvider())
        entry->trigger();
    std::vector<std::string> expected;
    for (int i = 0; i < static_cast<int>(names.size()); ++i)
        expected.push_back(connNames[static_cast<std::size_t>(i)]);
    EXPECT_EQ(dialUp.dials, expected);
    std::vector<std::string> sortedDials = dialUp.dials, sortedNames = names;
    std::sort(sortedDials.begin(), sortedDials.end());
    std::sort(sortedNames.begin(), sortedNames.end());
    EXPECT_EQ(sortedDials, sortedNames);
    // An ampersand in a name is shown, not taken as an access key.
    const auto captions = providerCaptions();
    EXPECT_NE(std::find(captions.begin(), captions.end(), "Tom && Jerry"), captions.end());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainFormFixture, DialerThatCannotStartIsReported)
{
    dialUp.dialResult = {false, "pon: Programm nicht gefunden"};
    form.doConnect("Net 1");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find("exclamation: "), std::string::npos);
    EXPECT_NE(messages.shown[0].find("\"Net 1\""), std::string::npos);
    EXPECT_NE(messages.shown[0].find("pon: Programm nicht gefunden"), std::string::npos);

    dialUp.dialResult = {true, {}};
    form.doConnect("Net 1");
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(MainFormFixture, DisconnectHangsUpTheFirstConnectionWithoutAsking)
{
    dialUp.connect(7, "Net1");
    dialUp.connect(9, "Net2");
    form.mnuDisconnect()->setVisible(true);
    form.mnuDisconnect()->setEnabled(true);
    form.mnuDisconnect()->trigger();
    EXPECT_EQ(dialUp.hangUps, (std::vector<std::int32_t>{7}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainFormFixture, ArmingRearmingAndDisarming)
{
    activeConn = 0;
    autoHangup.AutoHangupPastUnits = 5;
    choose(2);
    EXPECT_EQ(checkedEntries(), (std::vector<int>{2}));
    EXPECT_EQ(autoHangup.AutoHangupUnitsToWait, 2);
    EXPECT_EQ(autoHangup.AutoHangupPastUnits, 0);

    autoHangup.AutoHangupPastUnits = 1;
    choose(9);
    EXPECT_EQ(checkedEntries(), (std::vector<int>{9}));
    EXPECT_EQ(autoHangup.AutoHangupUnitsToWait, 120);
    EXPECT_EQ(autoHangup.AutoHangupPastUnits, 0);

    choose(0); // "Nach laufender Einheit"
    EXPECT_EQ(checkedEntries(), (std::vector<int>{0}));
    EXPECT_EQ(autoHangup.AutoHangupUnitsToWait, 0);

    autoHangup.AutoHangupPastUnits = 3;
    choose(0); // the checked entry again: disarmed
    EXPECT_TRUE(checkedEntries().empty());
    EXPECT_EQ(autoHangup.AutoHangupUnitsToWait, -1);
    EXPECT_EQ(autoHangup.AutoHangupPastUnits, 3);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainFormFixture, WithoutAConnectionOnlyTheTwoMessagesAppear)
{
    for (bool yes : {false, true}) {
        messages.shown.clear();
        messages.answerYes = yes;
        choose(6);
        EXPECT_TRUE(checkedEntries().empty());
        EXPECT_EQ(autoHangup.AutoHangupUnitsToWait, -1);
        EXPECT_EQ(messages.shown, (std::vector<std::string>{"question: Ohne Verbindung macht das keinen Sinn, oder?",
                                                             "exclamation: Eben!"}));
    }
}

TEST_F(MainFormFixture, CheckedButNotArmedAfterTheConnectionEnded)
{
    activeConn = 0;
    choose(4);
    // The connection ends: the monitor resets the count, the mark stays.
    activeConn = -1;
    autoHangup.AutoHangupUnitsToWait = -1;
    EXPECT_EQ(checkedEntries(), (std::vector<int>{4}));

    choose(4); // only the mark goes
    EXPECT_TRUE(checkedEntries().empty());
    EXPECT_EQ(autoHangup.AutoHangupUnitsToWait, -1);
    EXPECT_TRUE(messages.shown.empty());

    choose(4); // still no connection: the two messages, nothing armed
    EXPECT_TRUE(checkedEntries().empty());
    EXPECT_EQ(messages.shown.size(), 2u);

    activeConn = 2; // online again: it arms
    choose(4);
    EXPECT_EQ(checkedEntries(), (std::vector<int>{4}));
    EXPECT_EQ(autoHangup.AutoHangupUnitsToWait, 4);
}

TEST_F(MainFormFixture, PressOpensTheMenuOnceAndIgnoresPressesWhileOpen)
{
    windows.active = 0x2a00005;
    windows.titles[0x2a00005] = "Terminal";
    dialUp.phonebook = {"Net1"};
    bool sawOpenState = false;
    whileOpen = [&] {
        sawOpenState = form.popupOpen() && form.busy() && form.prevForeground() == 0x2a00005;
        EXPECT_EQ(providerCaptions(), (std::vector<std::string>{"Net1"})); // read before opening
        form.trayActivated(QSystemTrayIcon::Trigger);
        form.trayActivated(QSystemTrayIcon::Context);
        form.mnuProvider()[0]->trigger(); // the chosen command runs inside the menu call
        EXPECT_TRUE(form.popupOpen());
    };
    form.trayActivated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(menuOpenings, 1);
    EXPECT_TRUE(sawOpenState);
    EXPECT_EQ(dialUp.dials, (std::vector<std::string>{"Net1"}));
    EXPECT_EQ(debugLines, (std::vector<std::string>{"2A00005  Terminal"}));
    EXPECT_FALSE(form.popupOpen());
    EXPECT_FALSE(form.busy());
    EXPECT_EQ(form.prevForeground(), 0u);

    whileOpen = nullptr;
    form.trayActivated(QSystemTrayIcon::Context); // the right button opens it too
    EXPECT_EQ(menuOpenings, 2);
}

TEST_F(MainFormFixture, OtherTrayEventsDoNothing)
{
    dialUp.phonebook = {"Net1"};
    for (auto reason : {QSystemTrayIcon::MiddleClick, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::Unknown})
        form.trayActivated(reason);
    EXPECT_EQ(menuOpenings, 0);
    EXPECT_TRUE(debugLines.empty());
    EXPECT_FALSE(form.busy());
    EXPECT_EQ(providerCaptions(), std::vector<std::string>{}); // phonebook not read
}

TEST_F(MainFormFixture, WatchdogBringsTheMenuBackOnlyWhenAnotherWindowTookOver)
{
    int broughtBack = 0;
    form.setBringToFront([&] { ++broughtBack; });
    windows.active = 0x100;
    form.run(); // no menu open
    EXPECT_EQ(broughtBack, 0);

    whileOpen = [&] {
        form.run(); // still the window that had the focus before
        EXPECT_EQ(broughtBack, 0);
        windows.active = form.winId(); // the main form itself
        form.run();
        EXPECT_EQ(broughtBack, 0);
        windows.active = 0x200; // the user turned to another program
        form.run();
        EXPECT_EQ(broughtBack, 1);
    };
    form.trayActivated(QSystemTrayIcon::Trigger);
    form.run(); // closed again
    EXPECT_EQ(broughtBack, 1);
}

TEST_F(MainFormFixture, WatchdogShowsTheHiddenFormForAMomentAndFocusesIt)
{
    windows.active = 0x100;
    whileOpen = [&] {
        windows.active = 0x300;
        form.run();
    };
    form.trayActivated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(windows.activations, (std::vector<WindowId>{form.winId()}));
    EXPECT_FALSE(form.isVisible());
}

TEST_F(MainFormFixture, CloseAndSettingsRunTheirCommands)
{
    int closes = 0, settings = 0;
    form.mnuClose()->trigger();
    form.mnuSettings()->trigger(); // nothing wired yet: nothing happens
    form.setCloseCommand([&] { ++closes; });
    form.setSettingsCommand([&] { ++settings; });
    form.mnuClose()->trigger();
    form.mnuSettings()->trigger();
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(settings, 1);
}

} // namespace
} // namespace zumi
