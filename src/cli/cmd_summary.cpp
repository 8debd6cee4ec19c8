// bilan: the journal's figures for a period, counted by the database that holds the records (the station's
// or the shared server), as aligned text for a person or as JSON for a script.
#include <QJsonDocument>

#include "cli/cli_support.h"
#include "journal/journal.h"
#include "journal/journal_summary.h"

namespace trivo {

using namespace journal;

namespace {

// As historique: how long this station's records are given to reach the server before it counts.
constexpr int kEndWaitMs = 2000;

// Columns padded to their widest cell; the numbers on the right.
QString aligned(const QList<QStringList>& rows, const QList<bool>& numeric)
{
    QList<qsizetype> widths;
    for (const QStringList& row : rows)
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (widths.size() <= c)
                widths << 0;
            widths[c] = std::max(widths[c], row[c].size());
        }
    QString text;
    for (const QStringList& row : rows) {
        QStringList cells;
        for (qsizetype c = 0; c < row.size(); ++c) {
            const bool last = c == row.size() - 1;
            cells << (numeric.value(c) ? row[c].rightJustified(widths[c]) : last ? row[c] : row[c].leftJustified(widths[c]));
        }
        text += QStringLiteral("  ") + cells.join(QStringLiteral("  ")) + QLatin1Char('\n');
    }
    return text;
}

QString localTime(const QDateTime& at) { return at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")); }

QString humanSummary(const JournalSummary& s)
{
    if (s.total() == 0)
        return T("Aucune opération terminée dans la période.") + QLatin1Char('\n');
    QString text = T("Opérations : %1 (réussies %2, en échec %3)\n").arg(s.total()).arg(s.passed).arg(s.failed);
    const QString passed = T("Réussies"), failed = T("Échecs");

    QList<QStringList> hours{{T("Heure"), passed, failed}};
    for (const HourFigures& h : s.hours)
        hours << QStringList{localTime(h.hour), QString::number(h.passed), QString::number(h.failed)};
    text += QLatin1Char('\n') + T("Par heure :") + QLatin1Char('\n') + aligned(hours, {false, true, true});

    QList<QStringList> lots{{T("Lot"), passed, failed}};
    for (const LotFigures& l : s.lots)
        lots << QStringList{l.lot.isEmpty() ? T("(sans lot)") : l.lot, QString::number(l.passed), QString::number(l.failed)};
    text += QLatin1Char('\n') + T("Par lot :") + QLatin1Char('\n') + aligned(lots, {false, true, true});

    if (!s.reasons.isEmpty()) {
        QList<QStringList> reasons{{T("Nombre"), T("Cumul"), T("Raison")}};
        const QList<double> shares = cumulativeShares(s.reasons);
        for (qsizetype i = 0; i < s.reasons.size(); ++i)
            reasons << QStringList{QString::number(s.reasons[i].count), QStringLiteral("%1 %").arg(qRound(shares[i])),
                                   s.reasons[i].reason.isEmpty() ? T("(sans message)") : s.reasons[i].reason};
        text += QLatin1Char('\n') + T("Raisons des échecs, les plus fréquentes d'abord :") + QLatin1Char('\n')
            + aligned(reasons, {true, true, false});
    }

    QList<QStringList> people{{T("Poste"), T("Opérateur"), passed, failed, T("Première"), T("Dernière")}};
    for (const PersonFigures& p : s.people)
        people << QStringList{p.station, p.operatorName, QString::number(p.passed), QString::number(p.failed),
                              localTime(p.first), localTime(p.last)};
    text += QLatin1Char('\n') + T("Postes et opérateurs :") + QLatin1Char('\n')
        + aligned(people, {false, false, true, true, false, false});
    return text;
}

}  // namespace

int cmdBilan(CliContext& c, const QStringList& args)
{
    Filter filter;
    // As historique: a training session counts its training records too; --formation asks for them anywhere.
    filter.training = c.simulate;
    bool json = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool valued = a == QLatin1String("--lot") || a == QLatin1String("--depuis");
        if (valued && i + 1 >= args.size()) {
            c.err << T("%1 demande une valeur.").arg(a) << Qt::endl << commandHelp(QStringLiteral("bilan"));
            return kCliUsage;
        }
        if (a == QLatin1String("--lot")) {
            filter.lot = args[++i];
        } else if (a == QLatin1String("--depuis")) {
            filter.since = parseSince(args[++i]);
            if (!filter.since.isValid()) {
                c.err << T("--depuis demande une date (AAAA-MM-JJ ou AAAA-MM-JJTHH:MM[:SS][Z]) : %1").arg(args[i])
                      << Qt::endl;
                return kCliUsage;
            }
        } else if (a == QLatin1String("--json")) {
            json = true;
        } else if (a == QLatin1String("--formation")) {
            filter.training = true;
        } else {
            c.err << T("Argument inconnu : %1").arg(a) << Qt::endl << commandHelp(QStringLiteral("bilan"));
            return kCliUsage;
        }
    }
    const std::unique_ptr<Journal> journal = openJournal(c);
    if (!journal)
        return kCliBadFile;
    int status = kCliOk;
    JournalSummary summary;
    if (journal->hasServer()) {
        journal->flush(kEndWaitMs);
        summary = journal->summaryNow(filter, true);
        if (!summary.error.isEmpty()) {
            c.err << T("Journal de service partagé illisible : %1").arg(summary.error) << Qt::endl;
            if (summary.fromServer)  // the station's could not be counted either
                return kCliFailed;
            c.err << T("Voici le bilan du journal de ce poste seulement.") << Qt::endl;
            status = kCliFailed;
        }
    } else {
        summary = journal->summaryNow(filter);
        if (!summary.error.isEmpty()) {
            c.err << T("Journal de service illisible : %1").arg(summary.error) << Qt::endl;
            return kCliBadFile;
        }
    }
    if (json)
        c.out << QJsonDocument(toJson(summary)).toJson(QJsonDocument::Indented);
    else
        c.out << humanSummary(summary);
    return status;
}

}  // namespace trivo
