#include "config/comparison_report.h"

#include <QJsonArray>
#include <QStringList>

#include "common/language.h"

namespace trivo {

namespace {
// The width "lire" gives its labels.
constexpr int kLabelWidth = 40;
}  // namespace

namespace {

// Entry i of a comparison's list as the operator is shown it: from the shown list when the comparison
// has it, the French one otherwise.
const SettingDifference& shownAt(const QList<SettingDifference>& french, const QList<SettingDifference>& shown,
                                 qsizetype i)
{
    return shown.size() == french.size() ? shown[i] : french[i];
}

}  // namespace

QList<ComparisonRow> comparisonRows(const Comparison& comparison)
{
    QList<ComparisonRow> rows;
    for (qsizetype i = 0; i < comparison.rows.size(); ++i) {
        const SettingDifference& r = comparison.rows[i];
        const SettingDifference& shown = shownAt(comparison.rows, comparison.shownRows, i);
        rows.append({shown.label, shown.expected, shown.actual, r.expected != r.actual});
    }
    for (qsizetype i = 0; i < comparison.differences.size(); ++i)
        if (!comparison.rows.contains(comparison.differences[i])) {
            const SettingDifference& shown = shownAt(comparison.differences, comparison.shownDifferences, i);
            rows.append({shown.label, shown.expected, shown.actual, true});
        }
    return rows;
}

QString comparisonSummary(const Comparison& comparison, Wording wording)
{
    const auto words = [wording](const QString& french) { return wording == Wording::Shown ? T(french) : french; };
    if (comparison.identical())
        return words(kIdenticalText);
    QStringList labels;
    for (qsizetype i = 0; i < comparison.differences.size(); ++i)
        labels << (wording == Wording::Shown ? shownAt(comparison.differences, comparison.shownDifferences, i)
                                             : comparison.differences[i])
                      .label;
    const QString list = labels.join(QStringLiteral(", "));
    if (labels.size() == 1)
        return words(FR("1 paramètre diffère : %1.")).arg(list);
    return words(FR("%1 paramètres diffèrent : %2.")).arg(labels.size()).arg(list);
}

QString comparisonTable(const Comparison& comparison, bool differencesOnly)
{
    QString text = QLatin1Char('\t') + T("Paramètre") + QLatin1Char('\t') + T("Attendu") + QLatin1Char('\t')
        + T("Afficheur") + QLatin1Char('\n');
    for (const ComparisonRow& r : comparisonRows(comparison)) {
        if (differencesOnly && !r.differs)
            continue;
        text += (r.differs ? QStringLiteral("≠") : QString()) + QLatin1Char('\t') + r.label + QLatin1Char('\t')
            + r.expected + QLatin1Char('\t') + r.actual + QLatin1Char('\n');
    }
    return text;
}

QString differenceLines(const Comparison& comparison)
{
    QString text;
    for (qsizetype i = 0; i < comparison.differences.size(); ++i) {
        const SettingDifference& d = shownAt(comparison.differences, comparison.shownDifferences, i);
        text += T("%1attendu : %2   afficheur : %3")
                    .arg(d.label.leftJustified(kLabelWidth, QLatin1Char(' ')), d.expected, d.actual)
            + QLatin1Char('\n');
    }
    return text;
}

// For scripts: the French rows, whatever the program's language.
QJsonObject comparisonJson(const Comparison& comparison)
{
    QJsonArray rows;
    const auto row = [&rows](const SettingDifference& r, bool differs) {
        rows.append(QJsonObject{{QStringLiteral("parametre"), r.label},
                                {QStringLiteral("attendu"), r.expected},
                                {QStringLiteral("afficheur"), r.actual},
                                {QStringLiteral("different"), differs}});
    };
    for (const SettingDifference& r : comparison.rows)
        row(r, r.expected != r.actual);
    for (const SettingDifference& d : comparison.differences)
        if (!comparison.rows.contains(d))
            row(d, true);
    return QJsonObject{{QStringLiteral("identique"), comparison.identical()},
                       {QStringLiteral("differences"), int(comparison.differences.size())},
                       {QStringLiteral("parametres"), rows}};
}

}  // namespace trivo
