#pragma once
#include "core/conn_names.h"
#include "platform/dialup_access.h"
#include "platform/settings_store.h"
#include "settings/settings.h"
#include "settings/settings_io.h"

#include <functional>
#include <string>

namespace zumi {

// What the settings dialog works with, whichever toolkit draws it. The
// program passes the real things; tests pass fakes.
struct SettingsDialogContext {
    DialUpAccess& dialUp;
    ConnNames& connNames;
    SettingsStore& store;
    Settings& settings;
    std::function<ScreenMetrics()> screen; // for loadSettings
    FindKolpRect findKolp;                 // for loadSettings
    std::function<void()> setOption;       // the info window's SetOption, after OK
    // Why the phonebook lists nothing, in words for the user.
    std::function<std::string(const Phonebook&)> phonebookTrouble = [](const Phonebook&) { return std::string(); };
    // Reads the phonebook afresh into connNames, through its one owner.
    std::function<Phonebook()> readPhonebook;
};

} // namespace zumi
