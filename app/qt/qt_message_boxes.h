#pragma once
#include "app/qt/dialog_setup.h"
#include "app/qt/message_boxes.h"

namespace zumi {

class QtMessageBoxes final : public MessageBoxes {
public:
    explicit QtMessageBoxes(DialogSetup& dialogSetup)
        : dialogSetup_(dialogSetup)
    {
    }
    bool question(const QString& text) override;
    void exclamation(const QString& text) override;
    void warnWithoutWaiting(const QString& text) override;

private:
    DialogSetup& dialogSetup_;
};

} // namespace zumi
