#pragma once
// The options both programs take (trivo-cp and trivo-cp-cli), defined once for Qt's QCommandLineParser:
// their names, value names and descriptions, and the checks of their values with the texts both print.
// A program adds the ones it takes; its help and its own options stay its own.
#include <QCommandLineOption>
#include <QString>

#include <optional>

namespace trivo::options {

QCommandLineOption simulate();  // --simule: the emulated display (the command line's =ETAT aside)
QCommandLineOption units();     // --unites N
QCommandLineOption latency();   // --latence MS
QCommandLineOption trace();     // --trace FICHIER
QCommandLineOption language();  // --langue LANGUE
QCommandLineOption theme();     // --theme THEME (the windows only)
// The service journal's: described by the command line's own help only.
QCommandLineOption base();          // --base URI
QCommandLineOption operatorName();  // --operateur NOM
QCommandLineOption lot();           // --lot LOT

// --latence's value, 0 to 60000 ms; nothing (and latencyError()) otherwise.
std::optional<int> latencyMs(const QString& value);
QString latencyError();
QString languageError();
QString traceOpenError(const QString& path, const QString& why);
QString traceIncompleteError(const QString& path, const QString& why);

}  // namespace trivo::options
