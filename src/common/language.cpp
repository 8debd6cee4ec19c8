#include "common/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QTranslator>

#include <vector>

namespace trivo {

namespace {
// One context for every text: a text is translated the same wherever it is shown.
constexpr const char* kContext = "trivo";

Language current = Language::French;
// One catalogue per translation file (translations/*.ts), all installed together.
std::vector<QTranslator*> translators;
constexpr const char* kEnglishCatalogues = ":/i18n/en";
}  // namespace

std::optional<Language> parseLanguage(const QString& code)
{
    if (code == QLatin1String("fr"))
        return Language::French;
    if (code == QLatin1String("en"))
        return Language::English;
    return std::nullopt;
}

QString languageCode(Language language)
{
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("fr");
}

std::optional<Language> languageFromArguments(const QStringList& arguments, bool* valid)
{
    if (valid)
        *valid = true;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--"))
            break;
        QString code;
        if (a == QLatin1String("--langue")) {
            if (i + 1 >= arguments.size()) {
                if (valid)
                    *valid = false;
                return std::nullopt;
            }
            code = arguments[i + 1];
        } else if (a.startsWith(QLatin1String("--langue="))) {
            code = a.mid(9);
        } else {
            continue;
        }
        const std::optional<Language> language = parseLanguage(code);
        if (!language && valid)
            *valid = false;
        return language;
    }
    return std::nullopt;
}

bool setLanguage(Language language)
{
    for (QTranslator* translator : translators) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    translators.clear();
    current = Language::French;
    if (language == Language::French)
        return true;
    const QDir catalogues(QString::fromLatin1(kEnglishCatalogues));
    const QStringList names = catalogues.entryList({QStringLiteral("*.qm")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        auto* loaded = new QTranslator;
        if (!loaded->load(catalogues.filePath(name)) || !QCoreApplication::installTranslator(loaded)) {
            delete loaded;
            setLanguage(Language::French);
            return false;
        }
        translators.push_back(loaded);
    }
    if (translators.empty())
        return false;
    current = language;
    return true;
}

Language language() { return current; }

QString T(const char* french)
{
    if (current == Language::French)
        return QString::fromUtf8(french);
    return QCoreApplication::translate(kContext, french);
}

QString T(const QString& french)
{
    if (current == Language::French || french.isEmpty())
        return french;
    return QCoreApplication::translate(kContext, french.toUtf8().constData());
}

QString shownPieces(const QString& text, const QString& separator)
{
    const QString whole = T(text);
    if (whole != text || !text.contains(separator))
        return whole;
    QStringList pieces = text.split(separator);
    for (QString& piece : pieces)
        piece = T(piece);
    return pieces.join(separator);
}

}  // namespace trivo
