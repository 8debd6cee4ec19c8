#include "common/program_options.h"

#include "common/language.h"

namespace trivo::options {

QCommandLineOption simulate()
{
    return QCommandLineOption(QStringLiteral("simule"), T("Mode formation : afficheur émulé au lieu du matériel."));
}

QCommandLineOption units()
{
    return QCommandLineOption(QStringLiteral("unites"),
                              T("Mode formation : un banc de N afficheurs émulés branchés à la fois, "
                                "chacun avec son numéro de série."),
                              QStringLiteral("N"));
}

QCommandLineOption latency()
{
    return QCommandLineOption(QStringLiteral("latence"),
                              T("Mode formation : chaque échange avec l'afficheur émulé prend MS "
                                "millisecondes, comme sur un vrai câble."),
                              QStringLiteral("MS"));
}

QCommandLineOption trace()
{
    return QCommandLineOption(QStringLiteral("trace"), T("Ajoute chaque rapport échangé avec l'afficheur au FICHIER."),
                              T("FICHIER"));
}

QCommandLineOption language()
{
    return QCommandLineOption(QStringLiteral("langue"),
                              T("Langue des fenêtres : « fr » (le français, par défaut) ou « en » "
                                "(l'anglais) ; sinon, celle choisie dans le menu Langue."),
                              T("LANGUE"));
}

QCommandLineOption theme()
{
    return QCommandLineOption(QStringLiteral("theme"),
                              T("Palette des fenêtres : « sombre » impose la palette sombre "
                                "(sinon, celle du bureau)."),
                              QStringLiteral("THEME"));
}

QCommandLineOption base()
{
    return QCommandLineOption(QStringLiteral("base"), QString(),
                              QStringLiteral("URI"));
}

QCommandLineOption operatorName()
{
    return QCommandLineOption(QStringLiteral("operateur"), QString(),
                              QStringLiteral("NOM"));
}

QCommandLineOption lot()
{
    return QCommandLineOption(QStringLiteral("lot"), QString(), QStringLiteral("LOT"));
}

std::optional<int> latencyMs(const QString& value)
{
    bool ok = false;
    const int ms = value.toInt(&ok);
    if (!ok || ms < 0 || ms > 60000)
        return std::nullopt;
    return ms;
}

QString latencyError() { return T("--latence demande une durée en millisecondes (0 à 60000)."); }
QString languageError() { return T("--langue ne connaît que « fr » et « en »."); }

QString traceOpenError(const QString& path, const QString& why)
{
    return T("Impossible d'ouvrir le fichier de trace %1 : %2").arg(path, why);
}

QString traceIncompleteError(const QString& path, const QString& why)
{
    return T("Fichier de trace %1 incomplet : %2").arg(path, why);
}

}  // namespace trivo::options
