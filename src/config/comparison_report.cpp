#include "config/comparison_report.h"

#include <QJsonArray>
#include <QStringList>

namespace trivo {

namespace {
// The width "lire" gives its labels.
constexpr int kLabelWidth = 40;
}  // namespace

QList<ComparisonRow> comparisonRows(const Comparison& comparison)
{
    QList<ComparisonRow> rows;
    for (const SettingDifference& r : comparison.rows)
        rows.append({r.label, r.expected, r.actual, r.expected != r.actual});
    for (const SettingDifference& d : comparison.differences)
        if (!comparison.rows.contains(d))
            rows.append({d.label, d.expected, d.actual, true});
    return rows;
}

QString comparisonSummary(const Comparison& comparison)
{
    if (comparison.identical())
        return kIdenticalText;
    QStringList labels;
    for (const SettingDifference& d : comparison.differences)
        labels << d.label;
    const QString list = labels.join(QStringLiteral(", "));
    if (labels.size() == 1)
        return QStringLiteral("1 paramètre diffère : %1.").arg(list);
    return QStringLiteral("%1 paramètres diffèrent : %2.").arg(labels.size()).arg(list);
}

QString comparisonTable(const Comparison& comparison, bool differencesOnly)
{
    QString text = QStringLiteral("\tParamètre\tAttendu\tAfficheur\n");
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
    for (const SettingDifference& d : comparison.differences)
        text += d.label.leftJustified(kLabelWidth, QLatin1Char(' ')) + QStringLiteral("attendu : ") + d.expected
            + QStringLiteral("   afficheur : ") + d.actual + QLatin1Char('\n');
    return text;
}

QJsonObject comparisonJson(const Comparison& comparison)
{
    QJsonArray rows;
    for (const ComparisonRow& r : comparisonRows(comparison))
        rows.append(QJsonObject{{QStringLiteral("parametre"), r.label},
                                {QStringLiteral("attendu"), r.expected},
                                {QStringLiteral("afficheur"), r.actual},
                                {QStringLiteral("different"), r.differs}});
    return QJsonObject{{QStringLiteral("identique"), comparison.identical()},
                       {QStringLiteral("differences"), int(comparison.differences.size())},
                       {QStringLiteral("parametres"), rows}};
}

}  // namespace trivo
