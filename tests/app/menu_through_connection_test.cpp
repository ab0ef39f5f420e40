#include "main_form.h"
#include "monitor.h"
#include "tray.h"

#include "fake_clock.h"
#include "fake_dialup.h"
#include "fake_views.h"
#include "fake_window_queries.h"
#include "recording_message_boxes.h"

#include <QAction>

#include <gtest/gtest.h>

namespace zumi {
namespace {

using namespace zumi::test;

// The info window enables the metering entries when it is shown.
class InfoViewForMenu final : public InfoView {
public:
    explicit InfoViewForMenu(MenuView& menu)
        : menu_(menu)
    {
    }
    bool visible = false;
    void setTimeText(const std::string&) override {}
    void setTaktText(const std::string&) override {}
    void setSpeedText(const std::string&) override {}
    void setProgressValue(double) override {}
    void showInfoWindow() override
    {
        visible = true;
        menu_.setMeteringEnabled(true);
    }
    void keepInfoOnTop() override {}
    void unload() override { visible = false; }

private:
    MenuView& menu_;
};

struct ConnectionFixture : ::testing::Test {
    FakeClock clock;
    FakeDialUp dialUp;
    FakeByteCounter bytes;
    FakeSoundPlayer sound;
    FakeWindowQueries windows;
    RecordingMessageBoxes messages;
    Settings settings;
    ConnNames connNames{};
    AutoHangupState autoHangup;
    Monitor* monitor = nullptr;
    MainForm form{{dialUp, connNames, autoHangup, windows, messages,
                   [this] { return monitor ? monitor->activeConn() : -1; }}};
    InfoViewForMenu info{form};
    Tray tray{{[this] { return info.visible; }, [] { return true; }}};
    Monitor realMonitor{{clock, dialUp, bytes, info, tray, form, sound, form, settings, connNames, autoHangup}};

    ConnectionFixture()
    {
        monitor = &realMonitor;
        form.setMenuExec([](QMenu&, const QPoint&) {});
        dialUp.phonebook = {"Net 2", "Net 1"};
        dialUp.hangUpDrops = true;
        form.loadPhonebook();
        tray.trayAdd(TrayIcon::Offline, " Zumi ");
    }
    void tick()
    {
        realMonitor.Timer_Timer();
        clock.advance(1);
    }
    std::vector<int> checkedEntries() const
    {
        std::vector<int> checked;
        for (int i = 0; i < MainForm::kAutoHangupEntries; ++i)
            if (form.mnuAutoHangupEinheiten(i)->isChecked())
                checked.push_back(i);
        return checked;
    }
    void expectIdleMenu()
    {
        EXPECT_TRUE(form.mnuSettings()->isEnabled());
        EXPECT_FALSE(form.mnuAutoHangup()->isEnabled());
        EXPECT_FALSE(form.mnuTrenn1()->isVisible());
        EXPECT_FALSE(form.mnuDisconnect()->isVisible());
    }
    void expectMeteringMenu()
    {
        EXPECT_FALSE(form.mnuSettings()->isEnabled());
        EXPECT_TRUE(form.mnuAutoHangup()->isEnabled());
        EXPECT_TRUE(form.mnuTrenn1()->isVisible());
        EXPECT_TRUE(form.mnuDisconnect()->isVisible());
        EXPECT_TRUE(form.mnuDisconnect()->isEnabled());
    }
};

TEST_F(ConnectionFixture, MenuAndTrayThroughOneConnection)
{
    tick();
    expectIdleMenu();
    EXPECT_EQ(tray.toolTip(), "  Zumi  ");

    dialUp.connect(11, "Net 1");
    tick();
    expectMeteringMenu();
    EXPECT_EQ(tray.toolTip(), "Connected: Net 1");
    EXPECT_EQ(tray.currentIcon(), TrayIcon::Online);
    EXPECT_EQ(realMonitor.activeConn(), 0);

    // Pressing the icon now lists the providers disabled.
    form.trayActivated(QSystemTrayIcon::Trigger);
    for (QAction* entry : form.mnuProvider())
        EXPECT_FALSE(entry->isEnabled());

    form.mnuAutoHangupEinheiten(3)->trigger();
    EXPECT_EQ(autoHangup.AutoHangupUnitsToWait, 3);
    tick();

    form.mnuDisconnect()->trigger();
    EXPECT_EQ(dialUp.hangUps, (std::vector<std::int32_t>{11}));
    tick();
    expectIdleMenu();
    EXPECT_EQ(tray.toolTip(), " Zumi ");
    EXPECT_EQ(tray.currentIcon(), TrayIcon::Offline);
    EXPECT_EQ(autoHangup.AutoHangupUnitsToWait, -1);
    EXPECT_EQ(checkedEntries(), (std::vector<int>{3})); // the mark outlives the connection

    form.trayActivated(QSystemTrayIcon::Context);
    for (QAction* entry : form.mnuProvider())
        EXPECT_TRUE(entry->isEnabled());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ConnectionFixture, AfterTheCurrentUnitHangsUpAndClearsTheMarks)
{
    dialUp.connect(5, "Net 2");
    for (int i = 0; i < 5; ++i) // past the start of the first unit
        tick();
    form.mnuAutoHangupEinheiten(0)->trigger(); // "Nach laufender Einheit"
    EXPECT_EQ(autoHangup.AutoHangupUnitsToWait, 0);
    for (int i = 0; i < 70 && dialUp.hangUps.empty(); ++i)
        tick();
    ASSERT_EQ(dialUp.hangUps.size(), 1u);
    EXPECT_TRUE(checkedEntries().empty());
    EXPECT_EQ(autoHangup.AutoHangupUnitsToWait, -1);
    tick();
    expectIdleMenu();
}

TEST_F(ConnectionFixture, TrayRestartWhileOnlineShowsTheConnectedIcon)
{
    bool available = true;
    Tray watched{{[this] { return info.visible; }, [&] { return available; }}};
    Monitor monitorWithWatchedTray{{clock, dialUp, bytes, info, watched, form, sound, form, settings, connNames,
                                    autoHangup}};
    watched.trayAdd(TrayIcon::Offline, " Zumi ");
    watched.hookMainWindow();
    dialUp.connect(5, "Net 2");
    monitorWithWatchedTray.Timer_Timer();
    available = false;
    watched.checkTray();
    available = true;
    watched.checkTray();
    EXPECT_EQ(watched.toolTip(), "  Zumi - Verbunden  ");
    EXPECT_EQ(watched.currentIcon(), TrayIcon::Online);
}

} // namespace
} // namespace zumi
