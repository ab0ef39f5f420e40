#pragma once
#include "about/qt/about_box.h"
#include "settings/dialog/copy_buffer.h"
#include "settings/dialog/qt/zumi_message.h"
#include "settings/dialog/settings_dialog_context.h"

#include <QDialog>

#include <functional>
#include <string>

class QWidget;

namespace zumi {

// What the Qt settings dialog works with besides the context; tests may
// take over the modal steps.
struct SettingsDialogDeps {
    SettingsDialogContext context;
    WarningBox warn = showZumiWarning; // message boxes titled "Zumi"
    std::function<void(QWidget* parent)> showAbout = showAboutBox;
    std::function<int(QDialog& dialog)> runModal = [](QDialog& dialog) { return dialog.exec(); };
};

} // namespace zumi
