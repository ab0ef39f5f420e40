#pragma once

class QCoreApplication;

namespace zumi {

// Qt's own texts (message-box buttons, dialog buttons) in German whatever the
// user's locale, as the rest of the program. False when Qt's German
// translations are not installed; the buttons then stay in English.
bool loadGermanQtTexts(QCoreApplication& application);

// Loads them when the first window that shows them is about to open, not at
// start: a program that mostly only meters would keep them mapped all day.
class GermanQtTexts {
public:
    // Once; says on standard error, once, when they are missing.
    void install();

private:
    bool tried_ = false;
};

} // namespace zumi
