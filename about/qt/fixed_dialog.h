#pragma once
#include <QSize>

class QDialog;
class QWidget;

namespace zumi {

// Makes the dialog a fixed dialog of the given client size: a close button
// but no minimise, maximise or resize, and the largest size (up to the one
// designed) of its font at which every caption of the fixed layout shows whole.
void makeFixedDialog(QDialog& dialog, QSize clientSize);

} // namespace zumi
