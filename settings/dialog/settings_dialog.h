#pragma once
#include "settings/dialog/settings_dialog_deps.h"

#include <QDialog>

#include <array>
#include <memory>
#include <string>
#include <vector>

class QLineEdit;

namespace Ui {
class frmSettings;
}

namespace zumi {

// frmSettings: edits working copies of the tariffs and the options; only OK
// stores them, Abbrechen and the close box drop every edit.
class SettingsDialog final : public QDialog {
    Q_OBJECT
public:
    // listed: the phonebook entries in connNames order (at most 30 are taken).
    SettingsDialog(const SettingsDialogDeps& deps, const Phonebook& listed, CopyBuffer& copyBuffer,
                   QWidget* parent = nullptr);
    ~SettingsDialog() override;

    // What OK hands to storeDialogSettings, taken from the controls now.
    DialogSettings dialogSettings() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadControls();
    void cboChange();
    void tariffTextChanged(int band, bool takt, const QString& text);
    void cmdCP_Click(int index);
    void cmdOK_Click();
    bool refuseUnstorableTariff();

    const SettingsDialogDeps& deps_;
    CopyBuffer& copyBuffer_;
    std::vector<std::string> listed_;
    std::string phonebookTrouble_; // why listed_ is empty, if it is known
    // Working copies of the tariff texts, per listed connection.
    std::vector<std::array<std::string, kBands>> start_;
    std::vector<std::array<std::string, kBands>> takt_;
    std::unique_ptr<Ui::frmSettings> ui_;
    std::array<QLineEdit*, kBands> txtTime_{};
    std::array<QLineEdit*, kBands> txtTakt1_{};
};

} // namespace zumi
