#pragma once

class QCoreApplication;

namespace zumi {

// Qt's own texts (message-box buttons, dialog buttons) in German whatever the
// user's locale, as the rest of the program. False when Qt's German
// translations are not installed; the buttons then stay in English.
bool loadGermanQtTexts(QCoreApplication& application);

} // namespace zumi
