#pragma once
#include "settings/dialog/qt/settings_dialog_deps.h"

class QWidget;

namespace zumi {

class SettingsDialog;

// Opens the settings dialog from the tray menu and owns what outlives it
// (the Copy/Paste buffer of the tariff boxes).
class SettingsDialogHost {
public:
    explicit SettingsDialogHost(SettingsDialogDeps deps);
    ~SettingsDialogHost();
    SettingsDialogHost(const SettingsDialogHost&) = delete;
    SettingsDialogHost& operator=(const SettingsDialogHost&) = delete;

    // "&Einstellungen": refused while any connection exists; otherwise re-reads
    // the phonebook and the settings and shows the dialog modally. Returns when
    // it is closed. While it is open, a second call only brings it to the front.
    void mnuSettings_Click(QWidget* parent);

    // Closes an open dialog (and any box over it) without storing anything.
    void closeWithoutSaving();

    bool isOpen() const;

private:
    SettingsDialogDeps deps_;
    CopyBuffer copyBuffer_;
    SettingsDialog* dialog_ = nullptr;
};

} // namespace zumi
