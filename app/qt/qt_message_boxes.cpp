#include "app/qt/qt_message_boxes.h"

#include <QMessageBox>

namespace zumi {

bool QtMessageBoxes::question(const QString& text)
{
    dialogSetup_.prepare();
    return QMessageBox::question(nullptr, QStringLiteral("Zumi"), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes)
        == QMessageBox::Yes;
}

void QtMessageBoxes::exclamation(const QString& text)
{
    dialogSetup_.prepare();
    QMessageBox::warning(nullptr, QStringLiteral("Zumi"), text, QMessageBox::Ok);
}

void QtMessageBoxes::warnWithoutWaiting(const QString& text)
{
    dialogSetup_.prepare();
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Zumi"), text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

} // namespace zumi
