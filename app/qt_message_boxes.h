#pragma once
#include "app/message_boxes.h"

namespace zumi {

class QtMessageBoxes final : public MessageBoxes {
public:
    bool question(const QString& text) override;
    void exclamation(const QString& text) override;
    void warnWithoutWaiting(const QString& text) override;
};

} // namespace zumi
