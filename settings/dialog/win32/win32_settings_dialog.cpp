#include "settings/dialog/win32/win32_settings_dialog.h"

#include "settings/dialog/settings_opening.h"
#include "settings/dialog/win32/settings_dialog_window.h"
#include "settings/dialog/win32/zumi_message_box.h"

#include <utility>
#include <vector>

namespace zumi {

namespace {

bool ownedBy(HWND window, HWND owner)
{
    for (HWND up = GetWindow(window, GW_OWNER); up; up = GetWindow(up, GW_OWNER)) {
        if (up == owner)
            return true;
    }
    return false;
}

} // namespace

Win32SettingsDialogHost::Win32SettingsDialogHost(Win32SettingsDialogDeps deps)
    : deps_(std::move(deps))
{
}

void Win32SettingsDialogHost::mnuSettings_Click(HWND owner)
{
    if (dialog_) {
        // The box the user last worked in: the dialog, or the about box or message over it.
        SetForegroundWindow(GetLastActivePopup(dialog_));
        return;
    }

    if (const auto refusal = settingsRefusal(deps_.dialUp)) {
        showZumiWarning(owner, *refusal);
        return;
    }

    const Phonebook listed = deps_.readPhonebook ? deps_.readPhonebook() : Phonebook{};
    loadSettings(deps_.store, deps_.connNames, deps_.screen ? deps_.screen() : ScreenMetrics{}, deps_.findKolp,
                 deps_.settings);

    SettingsDialogWindow window(deps_, listed, copyBuffer_);
    window.run(
        owner, [this](HWND dialog) { dialog_ = dialog; }, [this] { dialog_ = nullptr; });
    dialog_ = nullptr;
}

void Win32SettingsDialogHost::closeWithoutSaving()
{
    if (!dialog_)
        return;
    // Boxes shown over the dialog (the about box, messages) run their own modal loops; end them too.
    std::vector<HWND> boxes;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) {
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&boxes));
    for (HWND box : boxes) {
        if (ownedBy(box, dialog_))
            EndDialog(box, IDCANCEL);
    }
    EndDialog(dialog_, IDCANCEL);
}

bool Win32SettingsDialogHost::isOpen() const
{
    return dialog_ != nullptr;
}

} // namespace zumi
