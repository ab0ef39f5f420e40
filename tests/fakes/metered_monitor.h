#pragma once
#include "fake_views.h"
#include "tariff/monitor.h"

#include <string>

namespace zumi::test {

// A monitor with fake views over the given clock, dial-up access and byte
// source; tests and benchmarks differ only in those three and in the settings.
struct MeteredMonitor {
    MeteredMonitor(const Clock& clock, DialUpAccess& dialUp, ByteSource& bytes, CallLog* log = nullptr,
                   MeteringLog* callLog = nullptr, BudgetCheck* budget = nullptr)
        : info(log)
        , tray(log)
        , menu(log)
        , sound(log)
        , reports(log)
        , hangups(clock, reports)
        , monitor({clock, dialUp, bytes, info, tray, menu, sound, watchdog, settings, names, autoHangup, hangups,
                   callLog, budget})
    {
    }
    // The first phonebook slot on one unit length all day, every day.
    void taktAllDay(const char* takt)
    {
        for (int band : {0, 4}) // an empty start is midnight
            settings.tariffs.setTakt(0, band, takt);
    }

    FakeInfoView info;
    FakeTrayView tray;
    FakeMenuView menu;
    FakeSoundPlayer sound;
    FakePopupWatchdog watchdog;
    Settings settings;
    ConnNames names;
    AutoHangupState autoHangup;
    FakeHangupReports reports;
    HangupWatch hangups;
    Monitor monitor;
};

} // namespace zumi::test
