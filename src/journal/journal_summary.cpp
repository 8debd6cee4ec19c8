#include "journal/journal_summary.h"

#include <QJsonArray>
#include <QJsonValue>

#include <cmath>

namespace trivo::journal {

namespace {

QJsonValue orNull(const QString& text) { return text.isEmpty() ? QJsonValue() : QJsonValue(text); }

}  // namespace

QJsonObject toJson(const JournalSummary& s)
{
    QJsonArray hours;
    for (const HourFigures& h : s.hours)
        hours.append(QJsonObject{{QStringLiteral("heure"), timeText(h.hour)},
                                 {QStringLiteral("reussis"), h.passed},
                                 {QStringLiteral("echecs"), h.failed}});
    QJsonArray lots;
    for (const LotFigures& l : s.lots)
        lots.append(QJsonObject{{QStringLiteral("lot"), orNull(l.lot)},
                                {QStringLiteral("reussis"), l.passed},
                                {QStringLiteral("echecs"), l.failed}});
    QJsonArray reasons;
    const QList<double> shares = cumulativeShares(s.reasons);
    for (qsizetype i = 0; i < s.reasons.size(); ++i)
        reasons.append(QJsonObject{{QStringLiteral("raison"), s.reasons[i].reason},
                                   {QStringLiteral("nombre"), s.reasons[i].count},
                                   {QStringLiteral("cumul_pourcent"), std::round(shares[i] * 10) / 10}});
    QJsonArray people;
    for (const PersonFigures& p : s.people)
        people.append(QJsonObject{{QStringLiteral("poste"), p.station},
                                  {QStringLiteral("operateur"), p.operatorName},
                                  {QStringLiteral("reussis"), p.passed},
                                  {QStringLiteral("echecs"), p.failed},
                                  {QStringLiteral("premier"), timeText(p.first)},
                                  {QStringLiteral("dernier"), timeText(p.last)}});
    return {{QStringLiteral("source"), s.fromServer ? QStringLiteral("serveur") : QStringLiteral("poste")},
            {QStringLiteral("reussis"), s.passed},
            {QStringLiteral("echecs"), s.failed},
            {QStringLiteral("par_heure"), hours},
            {QStringLiteral("par_lot"), lots},
            {QStringLiteral("raisons"), reasons},
            {QStringLiteral("postes_operateurs"), people}};
}

QList<double> cumulativeShares(const QList<ReasonFigures>& reasons)
{
    qint64 total = 0;
    for (const ReasonFigures& r : reasons)
        total += r.count;
    QList<double> shares;
    qint64 sum = 0;
    for (const ReasonFigures& r : reasons) {
        sum += r.count;
        shares << (total > 0 ? 100.0 * double(sum) / double(total) : 0.0);
    }
    return shares;
}

}  // namespace trivo::journal
