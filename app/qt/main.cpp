#include "app/command_line.h"
#include "app/data_dir.h"
#include "app/desktop.h"
#include "app/qt/app.h"

#include <QApplication>
#include <QFont>
#include <QSessionManager>

#include <cstdio>
#include <memory>

// Zumi: sits in the tray and meters the cost of a dial-up connection.
int main(int argc, char** argv)
{
    // Answered before anything else, without a display and also while the
    // program already runs.
    const zumi::CommandLine commandLine = zumi::parseCommandLine(argc, argv);
    switch (commandLine.action) {
    case zumi::CommandLine::Action::Help:
        std::fputs(zumi::usageText().c_str(), stdout);
        return 0;
    case zumi::CommandLine::Action::Version:
        std::fputs(zumi::versionLine().c_str(), stdout);
        return 0;
    case zumi::CommandLine::Action::Refuse:
        std::fprintf(stderr, "Zumi: „%s“ ist keine Option von Zumi; „zumi --help“ zeigt die Optionen.\n",
                     commandLine.refused.c_str());
        return 2;
    case zumi::CommandLine::Action::Run:
        break;
    }

    // A second start of the same user's program ends at once and silently,
    // before it touches the display or the settings.
    const std::unique_ptr<zumi::SingleInstance> instance = zumi::claimSingleInstance();
    if (instance->state() == zumi::SingleInstance::State::RunningElsewhere)
        return 0;
    if (instance->state() == zumi::SingleInstance::State::Unsafe) {
        // Someone else's file in the way must never lead to a second metering instance.
        std::fprintf(stderr,
                     "Zumi: Die Sperre %s gehört einem anderen Benutzer oder ist nicht sicher "
                     "nutzbar. Damit Zumi nicht doppelt zählt, startet es nicht. Bitte den Ordner "
                     "oder die Datei entfernen.\n",
                     instance->lockFile().c_str());
        return 1;
    }

    zumi::prepareToolkit();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zumi"));
    QApplication::setDesktopFileName(QStringLiteral("zumi"));
    // Closing a message box or the settings dialog must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    // German texts need no shaping (no ligatures, no joined scripts): Qt then
    // measures and draws them without running HarfBuzz over the face's
    // shaping tables, which would stay resident for good.
    {
        QFont font = QApplication::font();
        font.setStyleStrategy(QFont::PreferNoShaping);
        QApplication::setFont(font);
    }
    zumi::App app(zumi::findDataDir(QCoreApplication::applicationDirPath().toStdString()), commandLine.keepCallLog);

    // The desktop session ends: the same orderly end as "&Beenden".
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &app,
                     [&app](QSessionManager&) { app.shutdown(); });
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &app, [&app] { app.shutdown(); });

    app.start();
    return QApplication::exec();
}
