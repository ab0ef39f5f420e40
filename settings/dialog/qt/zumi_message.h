#pragma once
#include <QString>

#include <functional>

class QWidget;

namespace zumi {

// Shows text in a message box titled "Zumi" with an OK button and an exclamation icon.
using WarningBox = std::function<void(QWidget* parent, const QString& text)>;

void showZumiWarning(QWidget* parent, const QString& text);

} // namespace zumi
