#pragma once

class QCoreApplication;

namespace zumi {

// Qt's own texts (message-box buttons, dialog buttons) in German whatever the
// user's locale, as the rest of the program. False when Qt's German
// translations are not installed; the buttons then stay in English.
bool loadGermanQtTexts(QCoreApplication& application);

// What only the program's dialogs and message boxes need - Qt's German texts
// and the window icon - set up when the first of them is about to open, not
// at start: a program that mostly only meters would keep them mapped all day
// (the icon is converted for every window it goes to).
class DialogSetup {
public:
    // Once; says on standard error, once, when the German texts are missing.
    void prepare();

private:
    bool prepared_ = false;
};

} // namespace zumi
