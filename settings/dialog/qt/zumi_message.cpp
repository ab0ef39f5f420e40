#include "settings/dialog/qt/zumi_message.h"

#include <QMessageBox>

namespace zumi {

void showZumiWarning(QWidget* parent, const QString& text)
{
    QMessageBox::warning(parent, QStringLiteral("Zumi"), text, QMessageBox::Ok);
}

} // namespace zumi
