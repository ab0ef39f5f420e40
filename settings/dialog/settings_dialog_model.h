#pragma once
#include "core/conn_names.h"
#include "platform/dialup_access.h"
#include "platform/settings_store.h"
#include "settings/dialog/copy_buffer.h"
#include "settings/dialog/tariff_text_check.h"
#include "settings/settings.h"
#include "settings/settings_io.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zumi {

// What the dialog edits, where OK stores it and whom OK tells.
struct SettingsDialogTarget {
    SettingsStore& store;
    const ConnNames& connNames;
    Settings& settings;            // read when the dialog opens, written by OK only
    std::function<void()> setOption; // the info window's SetOption, after OK
};

// The options below the tariffs, as their controls hold them.
struct DialogOptions {
    bool hangupSound = false;    // chkSnd(1)
    bool warnSound = false;      // chkSnd(0)
    std::string vorlaufText;     // txtVorlauf, as typed
    bool autoHangup = false;     // chkAutoHangup
    std::string hangupBytesText; // cboBytes: "256" .. "4096"
    int hangupTakte = 1;         // cboTakte, 1..10
    bool showSpeed = true;
    bool showOnlineTime = true;
    bool showRest = true;
};

// What OK answers: the dialog closes, or it stays and leads to a field.
struct OkAnswer {
    bool accepted = false;
    std::string warning; // for a message box titled "Zumi"; "" = none
    std::optional<BadTariffField> leadTo;
};

// frmSettings without its window: working copies of the tariffs of the
// listed connections and of the options; only ok() stores them.
class SettingsDialogModel {
public:
    // listed: the phonebook entries in connNames order (at most 30 are taken);
    // phonebookTrouble: why an unreadable phonebook lists nothing, in words for the user.
    SettingsDialogModel(SettingsDialogTarget target, const Phonebook& listed,
                        const std::function<std::string(const Phonebook&)>& phonebookTrouble,
                        CopyBuffer& copyBuffer);

    // cboConn's entries; while it is empty the tariff boxes edit nothing.
    const std::vector<std::string>& connections() const { return listed_; }
    // Shown where the connections would be; "" when there are some or the reason is unknown.
    const std::string& phonebookTrouble() const { return phonebookTrouble_; }

    // cboChange: position in connections(), -1 for none.
    void select(int position);
    int selected() const { return selected_; }
    // What a tariff box of the selected connection shows; "" without a selection.
    const std::string& tariffText(int band, bool takt) const;
    // A tariff box's new text, for the selected connection.
    void editTariff(int band, bool takt, const std::string& text);
    void copy();
    void paste();

    DialogOptions& options() { return options_; }
    const DialogOptions& options() const { return options_; }

    // What OK hands to storeDialogSettings.
    DialogSettings dialogSettings() const;

    // OK: refuses a text the record cannot hold and keeps every edit; else
    // stores everything, calls setOption and lets the dialog close.
    OkAnswer ok();

private:
    std::array<std::string, kBands>& column(bool takt);

    SettingsDialogTarget target_;
    CopyBuffer& copyBuffer_;
    std::vector<std::string> listed_;
    std::string phonebookTrouble_;
    std::vector<std::array<std::string, kBands>> start_;
    std::vector<std::array<std::string, kBands>> takt_;
    int selected_ = -1;
    DialogOptions options_;
};

} // namespace zumi
