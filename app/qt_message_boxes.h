#pragma once
#include "app/german_qt_texts.h"
#include "app/message_boxes.h"

namespace zumi {

class QtMessageBoxes final : public MessageBoxes {
public:
    explicit QtMessageBoxes(GermanQtTexts& qtTexts)
        : qtTexts_(qtTexts)
    {
    }
    bool question(const QString& text) override;
    void exclamation(const QString& text) override;
    void warnWithoutWaiting(const QString& text) override;

private:
    GermanQtTexts& qtTexts_;
};

} // namespace zumi
