#include "about/qt/about_box.h"

#include "about/qt/center_form.h"
#include "about/qt/fixed_dialog.h"
#include "ui_frm_about.h"

#include <QClipboard>
#include <QGuiApplication>

namespace zumi {

namespace {

void applyFont(QWidget& widget, const QString& family, double pointSize)
{
    QFont font = widget.font();
    font.setFamily(family);
    font.setPointSizeF(pointSize);
    widget.setFont(font);
}

void applyTextColor(QWidget& widget, const QColor& color)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, color);
    widget.setPalette(palette);
}

} // namespace

AboutBox::AboutBox(const VersionInfo& version, QWidget* parent)
    : QDialog(parent)
    , text_(aboutText(version))
    , ui_(std::make_unique<Ui::frmAbout>())
{
    ui_->setupUi(this);

    applyFont(*ui_->lblApp, QStringLiteral("Arial"), 20.25);
    applyFont(*ui_->lblFreeware, QStringLiteral("MS Sans Serif"), 12);
    applyTextColor(*ui_->lblFreeware, QColor(192, 0, 0));
    applyTextColor(*ui_->frameDev, Qt::black);
    applyFont(*ui_->lblDeveloper, QStringLiteral("MS Sans Serif"), 9.75);
    applyFont(*ui_->Label1_3, QStringLiteral("MS Sans Serif"), 9.75);

    setWindowTitle(QString::fromStdString(text_.windowTitle));
    ui_->lblApp->setText(QString::fromStdString(text_.appTitle));
    ui_->lblBuild->setText(QString::fromStdString(text_.buildLine));
    ui_->lblFreeware->setText(QString::fromStdString(text_.licence));
    ui_->lblDeveloper->setText(QString::fromStdString(text_.developer));
    ui_->Label1_3->setText(QString::fromStdString(text_.email));
    ui_->Label1_0->setText(QString::fromStdString(text_.homePage));

    connect(ui_->cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->cmdCopyHome, &QPushButton::clicked, this, &AboutBox::cmdCopyHome_Click);

    makeFixedDialog(*this, {281, 241});
    centerForm(*this);
}

AboutBox::~AboutBox() = default;

void AboutBox::cmdCopyHome_Click()
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(QString::fromStdString(text_.homePage));
}

void showAboutBox(QWidget* parent)
{
    AboutBox box(programVersion(), parent);
    box.exec();
}

} // namespace zumi
