#pragma once
// A comparison as the operator reads it: the table rows (every compared setting, then any byte no label
// shows), the one-line summary, the text a clipboard or a terminal gets and the JSON a script gets. The
// window's dialog and the command line build on these, so both say the same: in the program's language,
// but for the JSON, which stays in French.
#include <QJsonObject>
#include <QList>
#include <QString>

#include "config/verification.h"

namespace trivo {

struct ComparisonRow {
    QString label;
    QString expected;
    QString actual;  // the display's
    bool differs = false;
};

// Every row of `comparison.rows` in order, then the differences that have no row of their own (bytes no
// label shows).
QList<ComparisonRow> comparisonRows(const Comparison& comparison);

// "Identique." or "2 paramètres diffèrent : Mode, Seuil relais 1.": in the program's language, or in
// French for what is kept (the service journal, a log).
QString comparisonSummary(const Comparison& comparison, Wording wording = Wording::Shown);

// A tab-separated table with a header line (marker, Paramètre, Attendu, Afficheur): pastes into a
// spreadsheet as it is. Differing rows carry "≠" in the first column.
QString comparisonTable(const Comparison& comparison, bool differencesOnly);

// The differing fields, one a line, aligned like the settings that "lire" prints.
QString differenceLines(const Comparison& comparison);

// {"identique": bool, "differences": n, "parametres": [{"parametre", "attendu", "afficheur", "different"}]}
QJsonObject comparisonJson(const Comparison& comparison);

}  // namespace trivo
