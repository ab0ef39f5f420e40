#pragma once
#include "platform/pixel_rect.h"
#include "platform/settings_store.h"
#include "settings/settings.h"

#include <functional>
#include <vector>

namespace zumi {

using FindKolpRect = std::function<std::optional<PixelRect>()>;

// Reads every setting and the tariff records of the entries in connNames.
// Writes "HangupBytes" back as read.
void loadSettings(SettingsStore& store, const ConnNames& connNames, const ScreenMetrics& screen,
                  const FindKolpRect& findKolp, Settings& settings);

// Writes "Right" and "Top". False when the store could not be written.
// The tariff records again, for the phonebook as it is now (an entry that
// became known after the start); what is not stored for an entry is the default.
void reloadTariffs(const SettingsStore& store, const ConnNames& connNames, TariffTables& tables);

bool saveSettings(SettingsStore& store, const InfoPosition& position);

// What the settings dialog hands over on OK.
struct DialogSettings {
    // Working copies for the connections listed in the dialog, in list order.
    std::vector<std::array<std::string, kBands>> start;
    std::vector<std::array<std::string, kBands>> takt;
    bool hangupSound = false;    // chkSnd(1)
    bool warnSound = false;      // chkSnd(0)
    std::string vorlaufText;     // txtVorlauf
    bool autoHangup = false;     // chkAutoHangup
    std::string hangupBytesText; // cboBytes
    int hangupTakte = 1;         // cboTakte, 1..10
    bool showSpeed = true;
    bool showOnlineTime = true;
    bool showRest = true;
};

// The storing half of the dialog's OK: tables back, records, then the options.
// False when the store could not be written (the variables are set regardless).
bool storeDialogSettings(SettingsStore& store, const ConnNames& connNames, const DialogSettings& dialog,
                         Settings& settings);

// The tariff record of connection c: name and 16 fields, each followed by a comma.
std::string formatTariffRecord(const std::string& name, const TariffTables& tables, int connection);

// The key of record position k: at least two digits.
std::string recordKey(int k);

} // namespace zumi
