#pragma once
#include "app/qt/message_boxes.h"
#include "app/tray_menu.h"

#include <QString>

namespace zumi {

// The menu's boxes shown as the program's "Zumi" message boxes.
class MenuMessageBoxes final : public MenuMessages {
public:
    explicit MenuMessageBoxes(MessageBoxes& boxes)
        : boxes_(boxes)
    {
    }
    bool question(const std::string& text) override { return boxes_.question(QString::fromStdString(text)); }
    void exclamation(const std::string& text) override { boxes_.exclamation(QString::fromStdString(text)); }

private:
    MessageBoxes& boxes_;
};

} // namespace zumi
