#pragma once
#include "settings/dialog/settings_dialog_model.h"
#include "settings/dialog/win32/win32_settings_dialog.h"

#include <windows.h>

#include <functional>

namespace zumi {

// frmSettings from its dialog resource: shows the model's working copies and
// hands every edit and click back to it; only OK stores, Abbrechen, Esc and the
// close box drop every edit.
class SettingsDialogWindow {
public:
    // listed: the phonebook entries in connNames order (at most 30 are taken).
    SettingsDialogWindow(const Win32SettingsDialogDeps& deps, const Phonebook& listed, CopyBuffer& copyBuffer);
    SettingsDialogWindow(const SettingsDialogWindow&) = delete;
    SettingsDialogWindow& operator=(const SettingsDialogWindow&) = delete;

    // Shows the dialog modally over owner; opened learns its window, closed that it is gone.
    void run(HWND owner, const std::function<void(HWND)>& opened, const std::function<void()>& closed);

private:
    static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    void loadControls();
    void showTariffs();
    void command(int id, int code);
    void readOptions();
    void cmdOK_Click();
    HWND item(int id) const { return GetDlgItem(dialog_, id); }

    const Win32SettingsDialogDeps& deps_;
    SettingsDialogModel model_;
    HWND dialog_ = nullptr;
    bool filling_ = false; // the dialog's own setting of texts is no edit
    std::function<void(HWND)> opened_;
    std::function<void()> closed_;
};

} // namespace zumi
