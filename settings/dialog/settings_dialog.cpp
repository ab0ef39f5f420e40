#include "settings/dialog/settings_dialog.h"

#include "about/center_form.h"
#include "about/fixed_dialog.h"
#include "core/numbers.h"
#include "settings/dialog/tariff_text_check.h"
#include "ui_frm_settings.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalBlocker>

#include <algorithm>

namespace zumi {

namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

SettingsDialog::SettingsDialog(const SettingsDialogDeps& deps, const Phonebook& listed, CopyBuffer& copyBuffer,
                               QWidget* parent)
    : QDialog(parent)
    , deps_(deps)
    , copyBuffer_(copyBuffer)
    // The tariff tables have 30 slots; the phonebook query hands over no more.
    , listed_(listed.entries.begin(),
              listed.entries.begin() + std::min<std::size_t>(listed.entries.size(), kMaxConnections))
    , phonebookTrouble_(listed.error != PhonebookError::None ? deps.phonebookTrouble(listed) : std::string())
    , ui_(std::make_unique<Ui::frmSettings>())
{
    ui_->setupUi(this);
    makeFixedDialog(*this, {327, 408});

    txtTime_ = {ui_->txtTime_0, ui_->txtTime_1, ui_->txtTime_2, ui_->txtTime_3,
                ui_->txtTime_4, ui_->txtTime_5, ui_->txtTime_6, ui_->txtTime_7};
    txtTakt1_ = {ui_->txtTakt1_0, ui_->txtTakt1_1, ui_->txtTakt1_2, ui_->txtTakt1_3,
                 ui_->txtTakt1_4, ui_->txtTakt1_5, ui_->txtTakt1_6, ui_->txtTakt1_7};

    for (int b = 0; b < kBands; ++b) {
        connect(txtTime_[b], &QLineEdit::textChanged, this,
                [this, b](const QString& t) { tariffTextChanged(b, false, t); });
        connect(txtTakt1_[b], &QLineEdit::textChanged, this,
                [this, b](const QString& t) { tariffTextChanged(b, true, t); });
        txtTime_[b]->installEventFilter(this);
        txtTakt1_[b]->installEventFilter(this);
    }
    ui_->txtVorlauf->installEventFilter(this);

    connect(ui_->cboConn, &QComboBox::currentIndexChanged, this, &SettingsDialog::cboChange);
    connect(ui_->cmdCP_0, &QPushButton::clicked, this, [this] { cmdCP_Click(0); });
    connect(ui_->cmdCP_1, &QPushButton::clicked, this, [this] { cmdCP_Click(1); });
    connect(ui_->cmdOK, &QPushButton::clicked, this, &SettingsDialog::cmdOK_Click);
    connect(ui_->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->cmdInfo, &QPushButton::clicked, this, [this] {
        if (deps_.showAbout)
            deps_.showAbout(this);
    });

    loadControls();
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::loadControls()
{
    centerForm(*this);

    const int count = static_cast<int>(listed_.size());
    const TariffTables& tables = deps_.settings.tariffs;
    start_.assign(listed_.size(), {});
    takt_.assign(listed_.size(), {});
    for (int i = 0; i < count; ++i) {
        for (int b = 0; b < kBands; ++b) {
            start_[i][b] = tables.start(i, b);
            takt_[i][b] = tables.takt(i, b);
        }
    }

    // Without a connection the tariff boxes would edit nothing: keep them visible but closed.
    if (count == 0) {
        for (int b = 0; b < kBands; ++b) {
            txtTime_[b]->setEnabled(false);
            txtTakt1_[b]->setEnabled(false);
        }
        ui_->cmdCP_0->setEnabled(false);
        ui_->cmdCP_1->setEnabled(false);
    }
    {
        const QSignalBlocker quiet(ui_->cboConn); // adding selects the first entry; fill the boxes once below
        for (const std::string& name : listed_)
            ui_->cboConn->addItem(qs(name));
        if (count == 0 && !phonebookTrouble_.empty()) {
            // Where the connections would be, why there are none.
            ui_->cboConn->addItem(qs(phonebookTrouble_));
            ui_->cboConn->setToolTip(qs(phonebookTrouble_));
            ui_->cboConn->setEnabled(false);
        }
    }
    if (count > 0) {
        ui_->cboConn->setCurrentIndex(0);
        cboChange();
    }

    const Options& options = deps_.settings.options;
    ui_->chkSnd_1->setChecked(options.HangupSnd);
    ui_->chkSnd_0->setChecked(options.WarnSnd);
    ui_->txtVorlauf->setText(QString::number(options.Vorlauf));
    ui_->chkAutoHangup->setChecked(options.AutoHangup);

    ui_->cboBytes->setCurrentIndex(ui_->cboBytes->findText(QStringLiteral("1024")));
    for (int k = 8; k <= 12; ++k) {
        if (options.HangupBytes == (1 << k))
            ui_->cboBytes->setCurrentIndex(k - 8);
    }

    int takte = options.HangupTakte;
    clampValue(takte, 1, 10);
    ui_->cboTakte->setCurrentIndex(takte - 1);

    ui_->chkShowSpeed->setChecked(options.ShowSpeed);
    ui_->chkShowOnlineTime->setChecked(options.ShowOnlineTime);
    ui_->chkShowRest->setChecked(options.ShowRest);
}

void SettingsDialog::cboChange()
{
    const int selected = ui_->cboConn->currentIndex();
    if (selected < 0 || selected >= static_cast<int>(listed_.size()))
        return;
    int slot = findConnectionSlot(deps_.connNames, listed_[selected]);
    if (slot >= static_cast<int>(listed_.size()))
        slot = selected; // connNames and the list always agree; never read past the working copies
    for (int b = 0; b < kBands; ++b) {
        // Copies first: each setText writes back into the selected connection at once.
        const std::string start = start_[slot][b];
        const std::string takt = takt_[slot][b];
        txtTime_[b]->setText(qs(start));
        txtTakt1_[b]->setText(qs(takt));
    }
}

void SettingsDialog::tariffTextChanged(int band, bool takt, const QString& text)
{
    const int selected = ui_->cboConn->currentIndex();
    if (selected < 0 || selected >= static_cast<int>(listed_.size()))
        return;
    (takt ? takt_ : start_)[selected][band] = text.toStdString();
}

void SettingsDialog::cmdCP_Click(int index)
{
    for (int b = 0; b < kBands; ++b) {
        if (index == 0) {
            copyBuffer_.start[b] = txtTime_[b]->text().toStdString();
            copyBuffer_.takt[b] = txtTakt1_[b]->text().toStdString();
        } else {
            txtTime_[b]->setText(qs(copyBuffer_.start[b]));
            txtTakt1_[b]->setText(qs(copyBuffer_.takt[b]));
        }
    }
}

DialogSettings SettingsDialog::dialogSettings() const
{
    DialogSettings result;
    result.start = start_;
    result.takt = takt_;
    result.hangupSound = ui_->chkSnd_1->isChecked();
    result.warnSound = ui_->chkSnd_0->isChecked();
    result.vorlaufText = ui_->txtVorlauf->text().toStdString();
    result.autoHangup = ui_->chkAutoHangup->isChecked();
    result.hangupBytesText = ui_->cboBytes->currentText().toStdString();
    result.hangupTakte = ui_->cboTakte->currentIndex() + 1;
    result.showSpeed = ui_->chkShowSpeed->isChecked();
    result.showOnlineTime = ui_->chkShowOnlineTime->isChecked();
    result.showRest = ui_->chkShowRest->isChecked();
    return result;
}

bool SettingsDialog::refuseUnstorableTariff()
{
    const auto bad = findUnstorableTariffText(start_, takt_);
    if (!bad)
        return false;
    if (deps_.warn)
        deps_.warn(this, qs(unstorableTariffMessage(listed_[bad->connection], *bad)));
    // Lead the user to the field; switching the list keeps every edit in the working copies.
    ui_->cboConn->setCurrentIndex(bad->connection);
    QLineEdit* box = bad->takt ? txtTakt1_[bad->band] : txtTime_[bad->band];
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    return true;
}

void SettingsDialog::cmdOK_Click()
{
    if (refuseUnstorableTariff())
        return;
    const bool stored = storeDialogSettings(deps_.store, deps_.connNames, dialogSettings(), deps_.settings);
    if (deps_.setOption)
        deps_.setOption();
    if (!stored && deps_.warn)
        deps_.warn(this,
                   QStringLiteral("Die Einstellungen konnten nicht gespeichert werden.\n"
                                  "Sie gelten nur, bis Zumi beendet wird."));
    accept();
}

bool SettingsDialog::eventFilter(QObject* watched, QEvent* event)
{
    // TextboxGotFocus: entering a box selects its text, except where a click placed the caret.
    // Getting the window back from another program is no entering.
    if (event->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QLineEdit*>(watched)) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::MouseFocusReason && reason != Qt::ActiveWindowFocusReason
                && reason != Qt::PopupFocusReason)
                box->selectAll();
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zumi
