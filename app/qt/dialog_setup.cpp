#include "app/qt/dialog_setup.h"

#include "app/qt/tray_pictures.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

namespace zumi {

bool loadGermanQtTexts(QCoreApplication& application)
{
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

void DialogSetup::prepare()
{
    if (prepared_)
        return;
    prepared_ = true;
    QApplication::setWindowIcon(trayPicture(TrayIcon::Offline));
    if (!loadGermanQtTexts(*QCoreApplication::instance()))
        std::fprintf(stderr,
                     "Zumi: Qts deutsche Texte fehlen (Paket qt6-translations-l10n); "
                     "Knöpfe erscheinen englisch.\n");
}

} // namespace zumi
