#pragma once
#include "fake_clock.h"
#include "fake_dialup.h"
#include "metered_monitor.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace zumi::test {

// A whole monitor on fakes: no lead time, Net1 on one unit length all the week, the
// low-traffic rule on when hangupTakte > 0, the bytes from `counter` if given.
struct Rig {
    using Texts = std::vector<std::string>;

    explicit Rig(const char* takt = "60", int hangupTakte = 0, ByteSource* counter = nullptr)
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
            metered.monitor.Timer_Timer();
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
    // What the fakes noted under a prefix ("sound.", "hangup."), in order.
    Texts logged(const std::string& prefix) const
    {
        Texts lines;
        std::copy_if(log.begin(), log.end(), std::back_inserter(lines),
                     [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
        return lines;
    }

    CallLog log;
    test::FakeClock clock; // Tuesday 10 March 2026, 10:00:00
    test::FakeDialUp dialUp;
    test::FakeByteCounter bytes;
    test::MeteredMonitor metered;
    test::FakeInfoView& info = metered.info;
    Settings& settings = metered.settings;
};

} // namespace zumi::test
