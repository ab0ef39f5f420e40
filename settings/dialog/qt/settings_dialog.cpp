#include "settings/dialog/qt/settings_dialog.h"

#include "about/qt/center_form.h"
#include "about/qt/fixed_dialog.h"
#include "ui_frm_settings.h"

#include <QFocusEvent>
#include <QLineEdit>

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
    , model_({deps.context.store, deps.context.connNames, deps.context.settings, deps.context.setOption}, listed,
             deps.context.phonebookTrouble, copyBuffer)
    , ui_(std::make_unique<Ui::frmSettings>())
{
    ui_->setupUi(this);
    makeFixedDialog(*this, {327, 408});

    txtTime_ = {ui_->txtTime_0, ui_->txtTime_1, ui_->txtTime_2, ui_->txtTime_3,
                ui_->txtTime_4, ui_->txtTime_5, ui_->txtTime_6, ui_->txtTime_7};
    txtTakt1_ = {ui_->txtTakt1_0, ui_->txtTakt1_1, ui_->txtTakt1_2, ui_->txtTakt1_3,
                 ui_->txtTakt1_4, ui_->txtTakt1_5, ui_->txtTakt1_6, ui_->txtTakt1_7};
    for (int b = 0; b < kBands; ++b) {
        txtTime_[b]->installEventFilter(this);
        txtTakt1_[b]->installEventFilter(this);
    }
    ui_->txtVorlauf->installEventFilter(this);

    // Filled before the controls report their changes: loading edits nothing.
    loadControls();
    connectControls();
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::loadControls()
{
    centerForm(*this);

    // Without a connection the tariff boxes would edit nothing: keep them visible but closed.
    const bool editable = !model_.connections().empty();
    for (int b = 0; b < kBands; ++b) {
        txtTime_[b]->setEnabled(editable);
        txtTakt1_[b]->setEnabled(editable);
    }
    ui_->cmdCP_0->setEnabled(editable);
    ui_->cmdCP_1->setEnabled(editable);

    for (const std::string& name : model_.connections())
        ui_->cboConn->addItem(qs(name));
    if (!model_.phonebookTrouble().empty()) {
        // Where the connections would be, why there are none.
        ui_->cboConn->addItem(qs(model_.phonebookTrouble()));
        ui_->cboConn->setToolTip(qs(model_.phonebookTrouble()));
        ui_->cboConn->setEnabled(false);
    }
    if (model_.selected() >= 0)
        ui_->cboConn->setCurrentIndex(model_.selected());
    showTariffs();

    const DialogOptions& options = model_.options();
    ui_->chkSnd_1->setChecked(options.hangupSound);
    ui_->chkSnd_0->setChecked(options.warnSound);
    ui_->txtVorlauf->setText(qs(options.vorlaufText));
    ui_->chkAutoHangup->setChecked(options.autoHangup);
    ui_->cboBytes->setCurrentIndex(ui_->cboBytes->findText(qs(options.hangupBytesText)));
    ui_->cboTakte->setCurrentIndex(options.hangupTakte - 1);
    ui_->chkShowSpeed->setChecked(options.showSpeed);
    ui_->chkShowOnlineTime->setChecked(options.showOnlineTime);
    ui_->chkShowRest->setChecked(options.showRest);
}

void SettingsDialog::connectControls()
{
    for (int b = 0; b < kBands; ++b) {
        connect(txtTime_[b], &QLineEdit::textChanged, this,
                [this, b](const QString& t) { model_.editTariff(b, false, t.toStdString()); });
        connect(txtTakt1_[b], &QLineEdit::textChanged, this,
                [this, b](const QString& t) { model_.editTariff(b, true, t.toStdString()); });
    }
    connect(ui_->cboConn, &QComboBox::currentIndexChanged, this, [this](int position) {
        model_.select(position);
        showTariffs();
    });
    connect(ui_->cmdCP_0, &QPushButton::clicked, this, [this] { model_.copy(); });
    connect(ui_->cmdCP_1, &QPushButton::clicked, this, [this] {
        model_.paste();
        showTariffs();
    });

    DialogOptions& options = model_.options();
    connect(ui_->chkSnd_1, &QCheckBox::toggled, this, [&options](bool on) { options.hangupSound = on; });
    connect(ui_->chkSnd_0, &QCheckBox::toggled, this, [&options](bool on) { options.warnSound = on; });
    connect(ui_->txtVorlauf, &QLineEdit::textChanged, this,
            [&options](const QString& text) { options.vorlaufText = text.toStdString(); });
    connect(ui_->chkAutoHangup, &QCheckBox::toggled, this, [&options](bool on) { options.autoHangup = on; });
    connect(ui_->cboBytes, &QComboBox::currentTextChanged, this,
            [&options](const QString& text) { options.hangupBytesText = text.toStdString(); });
    connect(ui_->cboTakte, &QComboBox::currentIndexChanged, this,
            [&options](int index) { options.hangupTakte = index + 1; });
    connect(ui_->chkShowSpeed, &QCheckBox::toggled, this, [&options](bool on) { options.showSpeed = on; });
    connect(ui_->chkShowOnlineTime, &QCheckBox::toggled, this, [&options](bool on) { options.showOnlineTime = on; });
    connect(ui_->chkShowRest, &QCheckBox::toggled, this, [&options](bool on) { options.showRest = on; });

    connect(ui_->cmdOK, &QPushButton::clicked, this, &SettingsDialog::cmdOK_Click);
    connect(ui_->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->cmdInfo, &QPushButton::clicked, this, [this] {
        if (deps_.showAbout)
            deps_.showAbout(this);
    });
}

// cboChange: the sixteen boxes show the selected connection's working copies.
void SettingsDialog::showTariffs()
{
    if (model_.selected() < 0)
        return;
    for (int b = 0; b < kBands; ++b) {
        // Copies first: while connected, each setText writes back into the model at once.
        const std::string start = model_.tariffText(b, false);
        const std::string takt = model_.tariffText(b, true);
        txtTime_[b]->setText(qs(start));
        txtTakt1_[b]->setText(qs(takt));
    }
}

void SettingsDialog::cmdOK_Click()
{
    const OkAnswer answer = model_.ok();
    if (!answer.warning.empty() && deps_.warn)
        deps_.warn(this, qs(answer.warning));
    if (const auto& bad = answer.leadTo) {
        // Lead the user to the field; switching the list keeps every edit in the working copies.
        ui_->cboConn->setCurrentIndex(bad->connection);
        QLineEdit* box = bad->takt ? txtTakt1_[bad->band] : txtTime_[bad->band];
        box->setFocus(Qt::OtherFocusReason);
        box->selectAll();
    }
    if (answer.accepted)
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
