#include "settings/dialog/qt/settings_dialog_host.h"

#include "settings/dialog/qt/settings_dialog.h"
#include "settings/dialog/settings_opening.h"

#include <utility>

namespace zumi {

SettingsDialogHost::SettingsDialogHost(SettingsDialogDeps deps)
    : deps_(std::move(deps))
{
}

SettingsDialogHost::~SettingsDialogHost()
{
    closeWithoutSaving();
}

void SettingsDialogHost::mnuSettings_Click(QWidget* parent)
{
    if (dialog_) {
        dialog_->raise();
        dialog_->activateWindow();
        return;
    }

    if (const auto refusal = settingsRefusal(deps_.context.dialUp)) {
        if (deps_.warn)
            deps_.warn(parent, QString::fromStdString(*refusal));
        return;
    }

    const Phonebook listed = deps_.context.readPhonebook();
    loadSettings(deps_.context.store, deps_.context.connNames,
                 deps_.context.screen ? deps_.context.screen() : ScreenMetrics{}, deps_.context.findKolp,
                 deps_.context.settings);

    SettingsDialog dialog(deps_, listed, copyBuffer_, parent);
    dialog_ = &dialog;
    if (deps_.runModal)
        deps_.runModal(dialog);
    else
        dialog.exec();
    dialog_ = nullptr;
}

void SettingsDialogHost::closeWithoutSaving()
{
    if (!dialog_)
        return;
    // Boxes shown over the dialog (about box, messages) run their own loops; end them too.
    for (QDialog* box : dialog_->findChildren<QDialog*>()) {
        if (box->isVisible())
            box->reject();
    }
    dialog_->reject();
}

bool SettingsDialogHost::isOpen() const
{
    return dialog_ != nullptr;
}

} // namespace zumi
