#pragma once
#include "fake_clock.h"
#include "fake_dialup.h"
#include "metered_monitor.h"

#include <string>

namespace zumi::test {

// A whole monitor on fakes: no lead time, Net1 and Net2 in the phonebook, Net1
// with one band all day, every day, and the low-traffic rule on when
// hangupTakte > 0. The bytes come from `counter` when one is given.
struct MonitorRig {
    explicit MonitorRig(const char* takt = "60", int hangupTakte = 0, ByteSource* counter = nullptr)
        : metered(clock, dialUp, counter ? *counter : bytes, &log)
    {
        settings.options.Vorlauf = 0;
        metered.taktAllDay(takt);
        settings.options.AutoHangup = hangupTakte > 0;
        settings.options.HangupTakte = hangupTakte;
        metered.names = {"Net1", "Net2"};
    }
    void tick(int count = 1, double step = 1)
    {
        for (int i = 0; i < count; ++i) {
            clock.advance(step);
            monitor.Timer_Timer();
        }
    }
    void connect(const std::string& name = "Net1") // and the tick that notices it
    {
        dialUp.connect(7, name);
        tick();
    }
    // Ticks with the bytes arriving before the first tick; returns the hang-ups so far.
    std::size_t run(int count, std::uint32_t traffic = 0)
    {
        bytes.total += traffic;
        tick(count);
        return dialUp.hangUps.size();
    }

    CallLog log;
    FakeClock clock; // Tuesday 10 March 2026, 10:00:00
    FakeDialUp dialUp;
    FakeByteCounter bytes;
    MeteredMonitor metered;
    FakeInfoView& info = metered.info;
    FakeTrayView& tray = metered.tray;
    FakeMenuView& menu = metered.menu;
    FakeSoundPlayer& sound = metered.sound;
    Settings& settings = metered.settings;
    ConnNames& names = metered.names;
    AutoHangupState& autoHangup = metered.autoHangup;
    Monitor& monitor = metered.monitor;
};

} // namespace zumi::test
