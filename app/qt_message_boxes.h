#pragma once
#include "app/dialog_setup.h"
#include "app/message_boxes.h"

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
