#pragma once
#include "about/qt/about_box.h"
#include "core/conn_names.h"
#include "platform/dialup_access.h"
#include "platform/settings_store.h"
#include "settings/dialog/copy_buffer.h"
#include "settings/dialog/qt/zumi_message.h"
#include "settings/settings.h"
#include "settings/settings_io.h"

#include <QDialog>

#include <functional>
#include <string>

class QWidget;

namespace zumi {

// What the settings dialog works with. The program passes the real things;
// tests pass fakes and may take over the modal steps.
struct SettingsDialogDeps {
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
    WarningBox warn = showZumiWarning; // message boxes titled "Zumi"
    std::function<void(QWidget* parent)> showAbout = showAboutBox;
    std::function<int(QDialog& dialog)> runModal = [](QDialog& dialog) { return dialog.exec(); };
};

} // namespace zumi
