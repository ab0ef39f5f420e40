#include "app/german_qt_texts.h"

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

void GermanQtTexts::install()
{
    if (tried_)
        return;
    tried_ = true;
    if (!loadGermanQtTexts(*QCoreApplication::instance()))
        std::fprintf(stderr,
                     "Zumi: Qts deutsche Texte fehlen (Paket qt6-translations-l10n); "
                     "Knöpfe erscheinen englisch.\n");
}

} // namespace zumi
