#pragma once
#include "settings/dialog/qt/settings_dialog_deps.h"
#include "settings/dialog/settings_dialog_model.h"

#include <QDialog>

#include <array>
#include <memory>

class QLineEdit;

namespace Ui {
class frmSettings;
}

namespace zumi {

// frmSettings: shows the model's working copies and hands every edit and
// click back to it; only OK stores, Abbrechen and the close box drop every edit.
class SettingsDialog final : public QDialog {
    Q_OBJECT
public:
    // listed: the phonebook entries in connNames order (at most 30 are taken).
    SettingsDialog(const SettingsDialogDeps& deps, const Phonebook& listed, CopyBuffer& copyBuffer,
                   QWidget* parent = nullptr);
    ~SettingsDialog() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadControls();
    void connectControls();
    void showTariffs();
    void cmdOK_Click();

    const SettingsDialogDeps& deps_;
    SettingsDialogModel model_;
    std::unique_ptr<Ui::frmSettings> ui_;
    std::array<QLineEdit*, kBands> txtTime_{};
    std::array<QLineEdit*, kBands> txtTakt1_{};
};

} // namespace zumi
