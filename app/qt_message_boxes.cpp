#include "app/qt_message_boxes.h"

#include <QMessageBox>

namespace zumi {

bool QtMessageBoxes::question(const QString& text)
{
    return QMessageBox::question(nullptr, QStringLiteral("Zumi"), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes)
        == QMessageBox::Yes;
}

void QtMessageBoxes::exclamation(const QString& text)
{
    QMessageBox::warning(nullptr, QStringLiteral("Zumi"), text, QMessageBox::Ok);
}

} // namespace zumi
