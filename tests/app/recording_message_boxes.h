#pragma once
#include "message_boxes.h"

#include <string>
#include <vector>

namespace zumi::test {

// Message boxes that are never shown: each one is recorded as "kind: text".
class RecordingMessageBoxes final : public MessageBoxes {
public:
    std::vector<std::string> shown;
    bool answerYes = false;

    bool question(const QString& text) override
    {
        shown.push_back("question: " + text.toStdString());
        return answerYes;
    }
    void exclamation(const QString& text) override { shown.push_back("exclamation: " + text.toStdString()); }
};

} // namespace zumi::test
