// The monitor with the real dial-up backend and the real clock against a
// stand-in pppd link: the low-traffic rule hangs up an idle link in the last
// seconds of a unit and leaves a busy one alone.
#include "fake_views.h"
#include "monitor.h"
#include "platform_backend.h"
#include "stand_in_link.h"
#include "system_clock.h"
#include "win_version.h"

#include <gtest/gtest.h>

#include <thread>

namespace zumi {
namespace {

using namespace std::chrono;

// Passes everything to the real backend and notes at which tick a hang-up came.
class WatchedDialUp final : public DialUpAccess {
public:
    explicit WatchedDialUp(DialUpAccess& real)
        : real_(real)
    {
    }
    int tick = 0;
    std::vector<int> hangUpTicks;

    ConnectionList enumConnections() override { return real_.enumConnections(); }
    std::int32_t connectionState(std::int32_t handle) override { return real_.connectionState(handle); }
    void hangUp(std::int32_t handle) override
    {
        hangUpTicks.push_back(tick);
        real_.hangUp(handle);
    }
    std::vector<std::string> phonebookEntries() override { return real_.phonebookEntries(); }
    DialResult dial(const std::string& entryName) override { return real_.dial(entryName); }

private:
    DialUpAccess& real_;
};

struct LinkRig {
    explicit LinkRig(const std::string& name)
    {
        names[0] = name;
        for (int band : {0, 4}) { // a 10 s unit all day, every day
            settings.tariffs.setStart(0, band, "0");
            settings.tariffs.setTakt(0, band, "10");
        }
        settings.options.AutoHangup = true;
        settings.options.HangupTakte = 1;
        settings.options.HangupBytes = 512;
        settings.options.Vorlauf = 0;
    }

    // Ticks once a second for up to the given number of ticks, or until the
    // monitor has noticed the end of the connection.
    void run(int ticks)
    {
        const auto first = steady_clock::now();
        for (dialUp.tick = 0; dialUp.tick < ticks; ++dialUp.tick) {
            std::this_thread::sleep_until(first + seconds{dialUp.tick});
            monitor.Timer_Timer();
            taktTexts.push_back(info.taktText());
            if (info.unloads > 0)
                return;
        }
    }

    PlatformBackend backend = makePlatformBackend("/");
    WatchedDialUp dialUp{*backend.dialUp};
    BytesTotal bytes{getWinVersion(), ByteSources{.platform = backend.linkBytes.get()}};
    SystemClock clock;
    test::FakeInfoView info;
    test::FakeTrayView tray;
    test::FakeMenuView menu;
    test::FakeSoundPlayer sound;
    test::FakePopupWatchdog watchdog;
    Settings settings;
    ConnNames names;
    AutoHangupState autoHangup;
    Monitor monitor{{clock, dialUp, bytes, info, tray, menu, sound, watchdog, settings, names, autoHangup}};
    std::vector<std::string> taktTexts;
};

TEST(MonitorOnALink, AnIdleLinkIsHungUpInTheLastSecondsOfItsSecondUnit)
{
    if (!test::StandInLink::canRun())
        GTEST_SKIP() << test::StandInLink::whyNot();
    auto link = test::StandInLink::start("zumitariffidle");
    ASSERT_TRUE(link) << "the stand-in link did not start";

    LinkRig rig("zumitariffidle");
    rig.run(24);

    ASSERT_EQ(rig.dialUp.hangUpTicks.size(), 1u);
    const int hangUpTick = rig.dialUp.hangUpTicks[0];
    EXPECT_GE(hangUpTick, 10) << "not before the first unit is complete";
    const std::string& takt = rig.taktTexts.at(static_cast<std::size_t>(hangUpTick));
    EXPECT_TRUE(takt == "0:03" || takt == "0:02" || takt == "0:01") << takt;
    EXPECT_TRUE(link->waitForExit(3s));
    EXPECT_TRUE(link->gotSigterm());
    EXPECT_FALSE(rig.monitor.metering()) << "the end of the connection was not noticed";
    EXPECT_EQ(rig.info.unloads, 1);
    ASSERT_FALSE(rig.tray.calls.empty());
    EXPECT_EQ(rig.tray.calls.back().first, TrayIcon::Offline);
}

TEST(MonitorOnALink, ABusyLinkStaysUp)
{
    if (!test::StandInLink::canRun())
        GTEST_SKIP() << test::StandInLink::whyNot();
    auto link = test::StandInLink::start("zumitariffbusy");
    ASSERT_TRUE(link) << "the stand-in link did not start";
    link->rate(2000); // bytes per second, far above 512 per unit

    LinkRig rig("zumitariffbusy");
    rig.run(24);

    EXPECT_TRUE(rig.dialUp.hangUpTicks.empty());
    EXPECT_TRUE(rig.monitor.metering());
    EXPECT_FALSE(link->gotSigterm());
    EXPECT_NE(rig.info.speedText(), "0,0 KB/s");
    link->stop();
}

} // namespace
} // namespace zumi
