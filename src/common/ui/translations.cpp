#include "common/ui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace trivo {

bool installFrenchTranslations(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    const QLocale french(QLocale::French, QLocale::France);
    if (!translator->load(french, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace trivo
