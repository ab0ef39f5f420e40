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
    explicit InfoViewForMenu(MenuView& menu) : menu_(menu) {}
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

TEST_F(ConnectionFixture, MenuAndTrayThroughOneConnection)
{
    tick();
    expectMenu(false);

    dialUp.connect(11, "Net 1");
    tick();
    expectMenu(true);
    EXPECT_EQ(tray.toolTip(), "Connected: Net 1");
    EXPECT_EQ(tray.currentIcon(), TrayIcon::Online);

    form.mnuAutoHangupEinheiten(3)->trigger();
    EXPECT_EQ(autoHangup.AutoHangupUnitsToWait, 3);
    tick();
    form.mnuDisconnect()->trigger();
    EXPECT_EQ(dialUp.hangUps, (std::vector<std::int32_t>{11}));
    tick();
    expectMenu(false);
    EXPECT_EQ(tray.toolTip(), " Zumi ");
    EXPECT_EQ(tray.currentIcon(), TrayIcon::Offline);
    EXPECT_EQ(autoHangup.AutoHangupUnitsToWait, -1);
    EXPECT_TRUE(form.mnuAutoHangupEinheiten(3)->isChecked()); // the mark outlives the connection
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ConnectionFixture, AfterTheCurrentUnitHangsUpAndClearsTheMarks)
{
    dialUp.connect(5, "Net 2");
    for (int i = 0; i < 5; ++i) // past the start of the first unit
        tick();
    form.mnuAutoHangupEinheiten(0)->trigger(); // "Nach laufender Einheit"
    for (int i = 0; i < 70 && dialUp.hangUps.empty(); ++i)
        tick();
    ASSERT_EQ(dialUp.hangUps.size(), 1u);
    EXPECT_FALSE(form.mnuAutoHangupEinheiten(0)->isChecked());
    EXPECT_EQ(autoHangup.AutoHangupUnitsToWait, -1);
    tick();
    expectMenu(false);
}

} // namespace
} // namespace zumi
