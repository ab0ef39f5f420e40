#pragma once
#include <QString>

namespace zumi {

// The program's message boxes, all titled "Zumi". Behind an interface so the
// commands that show them can run without a screen.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Yes and No buttons, question icon; true for Yes.
    virtual bool question(const QString& text) = 0;
    // OK button, exclamation icon.
    virtual void exclamation(const QString& text) = 0;
    // Exclamation icon and OK button; shows the box and returns at once.
    virtual void warnWithoutWaiting(const QString& text) = 0;
};

} // namespace zumi
