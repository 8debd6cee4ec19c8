// historique, synchroniser and base: the service journal read and sent from the command line, the shared
// server's schema made by its administrator; the global options that say who records, for which lot, and
// where the shared journal is.
#include <algorithm>

#include "cli/cli_support.h"
#include "journal/journal.h"
#include "journal/recording.h"

namespace trivo {

using namespace journal;

namespace {

// How long a command waits at its end for its records to leave; then they wait for the next one.
constexpr int kEndWaitMs = 2000;

// The result in the words of the human lines (without accents, as they always were).
QString resultText(Result result)
{
    switch (result) {
    case Result::Succeeded: return T("reussi");
    case Result::Failed: return T("echec");
    case Result::Running: return T("en cours");
    case Result::Interrupted: return T("interrompu");
    }
    return T("echec");
}

// One record on one line for a person: local time, operation, result, display, who, lot, message (as it
// was recorded).
QString humanLine(const JournalRecord& r)
{
    QString line = QStringLiteral("%1  %2  %3  %4  %5@%6")
                       .arg(r.at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                            operationShown(r.operation).leftJustified(13), resultText(r.outcome).leftJustified(6),
                            r.display(), r.operatorName, r.station);
    if (!r.lot.isEmpty())
        line += T("  lot %1").arg(r.lot);
    return line + QStringLiteral("  ") + r.message;
}

}  // namespace

int takeJournalOption(const QStringList& args, int& i, JournalOptions& options, QTextStream& err)
{
    const struct {
        const char* name;
        QString JournalOptions::*field;
    } kOptions[] = {{"--operateur", &JournalOptions::operatorName},
                    {"--lot", &JournalOptions::lot},
                    {"--base", &JournalOptions::serverUri},
                    {"--poste", &JournalOptions::station}};
    const QString& a = args[i];
    for (const auto& o : kOptions) {
        const QString name = QString::fromLatin1(o.name);
        if (a.startsWith(name + QLatin1Char('='))) {
            options.*o.field = a.mid(name.size() + 1);
        } else if (a == name) {
            if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
                err << T("%1 demande une valeur.").arg(name) << Qt::endl;
                return -1;
            }
            options.*o.field = args[++i];
        } else {
            continue;
        }
        return 1;
    }
    return 0;
}

Identity cliIdentity(const CliContext& c)
{
    const JournalOptions options = c.journal ? *c.journal : JournalOptions{};
    Identity identity = currentIdentity(options.operatorName, options.lot);
    if (!options.station.isEmpty())
        identity.station = options.station;
    return identity;
}

QString cliServerUri(const CliContext& c)
{
    return c.journal && !c.journal->serverUri.isEmpty() ? c.journal->serverUri : settingsServerUri();
}

std::unique_ptr<Journal> openJournal(CliContext& c)
{
    JournalSettings settings;
    settings.identity = cliIdentity(c);
    settings.trainingSession = c.simulate;
    settings.serverUri = cliServerUri(c);
    auto journal = std::make_unique<Journal>(settings);
    if (const QString why = journal->openError(); !why.isEmpty()) {
        c.err << T("Journal de service inutilisable : %1").arg(why) << Qt::endl;
        return nullptr;
    }
    if (!journal->notice().isEmpty())
        c.err << T(journal->notice()) << Qt::endl;
    return journal;
}

void reportWaiting(CliContext& c, Journal& journal)
{
    if (!journal.hasServer())
        return;
    const SyncResult sync = journal.flush(kEndWaitMs);
    if (sync.waiting > 0)
        c.err << (sync.waiting > 1 ? T("Journal de service : %1 enregistrements attendent le serveur (%2) ; "
                                       "trivo-cp-cli synchroniser les enverra.")
                                   : T("Journal de service : %1 enregistrement attend le serveur (%2) ; "
                                       "trivo-cp-cli synchroniser les enverra."))
                     .arg(QString::number(sync.waiting), sync.error)
              << Qt::endl;
}

int openRecorder(CliContext& c, CliRecorder& r)
{
    r.journal = openJournal(c);
    return r.journal ? kCliOk : kCliBadFile;
}

journal::Recorder CliRecorder::recorder(CliContext& c, Progress& shown, std::function<void(const OperationResult&)> settle)
{
    return {journal.get(), &shown, [this, &c, settle = std::move(settle)](const OperationResult& result) {
                if (settle)
                    settle(result);
                if (c.session)
                    sessionSaved = saveSession(*c.session, c.err);
            }};
}

int CliRecorder::refused(CliContext& c, const OperationResult& refusal)
{
    printFailure(c.err, refusal);
    return kCliBadFile;
}

int CliRecorder::finish(CliContext& c, const QString& missing, int status, const std::function<void()>& tell)
{
    if (!sessionSaved && status == kCliOk)
        status = kCliBadFile;
    if (tell)
        tell();
    if (!missing.isEmpty()) {
        c.err << T(missing) << Qt::endl;
        if (status == kCliOk)
            status = kCliBadFile;
    }
    reportWaiting(c, *journal);
    return status;
}

// Records per page of "historique": its memory stays the same whatever the journal's size.
constexpr int kStreamPage = 2000;

namespace {

// What "historique" asks for.
struct HistoryOptions {
    Filter filter;
    bool json = false;
    bool csv = false;
    int limit = 0;  // the newest N; 0: all
};

// kCliOk, or kCliUsage said on err.
int parseHistoryOptions(CliContext& c, const QStringList& args, HistoryOptions& o)
{
    // A training session shows its training records beside the service ones; --formation asks for them anywhere.
    o.filter.training = c.simulate;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool valued = a == QLatin1String("--afficheur") || a == QLatin1String("--lot") || a == QLatin1String("--depuis")
            || a == QLatin1String("--jusqu-a") || a == QLatin1String("--limite");
        if (valued && i + 1 >= args.size()) {
            c.err << T("%1 demande une valeur.").arg(a) << Qt::endl << commandHelp(QStringLiteral("historique"));
            return kCliUsage;
        }
        if (a == QLatin1String("--afficheur")) {
            o.filter.display = args[++i];
        } else if (a == QLatin1String("--lot")) {
            o.filter.lot = args[++i];
        } else if (a == QLatin1String("--depuis") || a == QLatin1String("--jusqu-a")) {
            const bool since = a == QLatin1String("--depuis");
            const QDateTime at = since ? parseSince(args[++i]) : parseUntil(args[++i]);
            if (!at.isValid()) {
                c.err << (since ? T("--depuis demande une date (AAAA-MM-JJ ou AAAA-MM-JJTHH:MM[:SS][Z]) : %1")
                                : T("--jusqu-a demande une date (AAAA-MM-JJ ou AAAA-MM-JJTHH:MM[:SS][Z]) : %1"))
                             .arg(args[i])
                      << Qt::endl;
                return kCliUsage;
            }
            (since ? o.filter.since : o.filter.until) = at;
        } else if (a == QLatin1String("--limite")) {
            bool ok = false;
            o.limit = args[++i].toInt(&ok);
            if (!ok || o.limit < 1) {
                c.err << T("--limite demande un nombre d'opérations (1 ou plus) : %1").arg(args[i]) << Qt::endl;
                return kCliUsage;
            }
        } else if (a == QLatin1String("--json")) {
            o.json = true;
        } else if (a == QLatin1String("--csv")) {
            o.csv = true;
        } else if (a == QLatin1String("--formation")) {
            o.filter.training = true;
        } else {
            c.err << T("Argument inconnu : %1").arg(a) << Qt::endl << commandHelp(QStringLiteral("historique"));
            return kCliUsage;
        }
    }
    if (o.json && o.csv) {
        c.err << T("--json et --csv ne vont pas ensemble.") << Qt::endl;
        return kCliUsage;
    }
    return kCliOk;
}

// A server that cannot be read at the first page: what it lacks of this station is still told, and the
// script knows the rest is missing.
void tellServerUnreadable(CliContext& c, JournalPage& page)
{
    c.err << T("Journal de service partagé illisible : %1").arg(page.error) << Qt::endl;
    const QList<JournalRecord>& waiting = page.waiting;
    c.err << (waiting.size() > 1 ? T("Voici les %1 enregistrements de ce poste qui attendent le serveur.").arg(waiting.size())
              : waiting.size() == 1 ? T("Voici l'enregistrement de ce poste qui attend le serveur.")
                                    : T("Aucun enregistrement de ce poste n'attend le serveur."))
          << Qt::endl;
    page.records = waiting;
    page.atEnd = true;
}

void tellSetAside(CliContext& c, const JournalPage& page)
{
    if (page.setAside.isEmpty())
        return;
    c.err << (page.setAside.size() > 1
                  ? T("%1 enregistrements de ce poste ont été refusés par le serveur et mis de côté ; "
                      "trivo-cp-cli synchroniser les montre.")
                  : T("%1 enregistrement de ce poste a été refusé par le serveur et mis de côté ; "
                      "trivo-cp-cli synchroniser le montre."))
                 .arg(page.setAside.size())
          << Qt::endl;
}

// Oldest first, a page at a time, each written before the next is read; with --limite, from after the
// newest records but N.
int streamHistory(CliContext& c, Journal& journal, const HistoryOptions& o)
{
    PageQuery query;
    query.filter = o.filter;
    query.filter.limit = o.limit;  // for the station's records that wait for the server
    query.newestFirst = false;
    query.count = o.limit > 0 ? std::min(o.limit, kStreamPage) : kStreamPage;
    if (o.limit > 0) {
        QString error;
        query.after = journal.keyFromNewest(o.filter, o.limit, &error);
    }
    int status = kCliOk;
    qint64 written = 0;
    if (o.json)
        c.out << jsonArrayOpening();
    else if (o.csv)
        c.out << journal::csvHeader() << '\n';
    for (bool first = true;; first = false) {
        JournalPage page = journal.readPageNow(query, first);
        if (!page.error.isEmpty()) {
            if (!journal.hasServer()) {
                c.err << T("Journal de service illisible : %1").arg(page.error) << Qt::endl;
                c.out.flush();
                return kCliBadFile;
            }
            status = kCliFailed;
            if (!first) {
                c.err << T("Journal de service partagé illisible : %1").arg(page.error) << Qt::endl;
                break;
            }
            tellServerUnreadable(c, page);
        }
        if (first)
            tellSetAside(c, page);
        // Records written since the command started come after the N asked for.
        for (qsizetype k = 0; k < page.records.size() && (o.limit == 0 || written < o.limit); ++k, ++written) {
            const JournalRecord& r = page.records[k];
            if (o.json)
                c.out << jsonArrayItem(r, written == 0);
            else if (o.csv)
                c.out << journal::csvLine(r) << '\n';
            else
                c.out << humanLine(r) << '\n';
        }
        if (page.atEnd || (o.limit > 0 && written >= o.limit))
            break;
        query.after = page.last;
    }
    if (o.json)
        c.out << jsonArrayEnd();
    else if (!o.csv && written == 0 && status == kCliOk)
        c.out << T("Aucune opération dans le journal.") << '\n';
    return status;
}

}  // namespace

int cmdHistorique(CliContext& c, const QStringList& args)
{
    HistoryOptions options;
    if (const int status = parseHistoryOptions(c, args, options); status != kCliOk)
        return status;
    const std::unique_ptr<Journal> journal = openJournal(c);
    if (!journal)
        return kCliBadFile;
    // This station's own records first, as far as they go in the time a command waits for them.
    if (journal->hasServer())
        journal->flush(kEndWaitMs);
    return streamHistory(c, *journal, options);
}

int cmdSynchroniser(CliContext& c, const QStringList& args)
{
    if (!onlyOptions(c, QStringLiteral("synchroniser"), args, {}))
        return kCliUsage;
    const std::unique_ptr<Journal> journal = openJournal(c);
    if (!journal)
        return kCliBadFile;
    if (!journal->hasServer()) {
        c.err << T("synchroniser demande le serveur du journal : --base URI (ou le réglage %1).").arg(kServerUriSetting)
              << Qt::endl;
        return kCliUsage;
    }
    const SyncResult sync = journal->synchronise();
    c.out << (sync.sent > 1 ? T("%1 enregistrements envoyés à %2, %3 en attente, %4 mis de côté.")
                            : T("%1 enregistrement envoyé à %2, %3 en attente, %4 mis de côté."))
                 .arg(QString::number(sync.sent), journal->serverShown(), QString::number(sync.waiting),
                      QString::number(sync.setAside))
          << '\n';
    QString error;
    for (const SetAsideRecord& aside : journal->setAside({}, &error))
        c.out << T("Mis de côté : %1 ; refusé par le serveur : %2").arg(humanLine(aside.record), aside.reason) << '\n';
    if (!error.isEmpty())
        c.err << error << Qt::endl;
    if (sync.waiting > 0)
        c.err << sync.error << Qt::endl;
    return sync.waiting > 0 || sync.setAside > 0 || !error.isEmpty() ? kCliFailed : kCliOk;
}

int cmdBase(CliContext& c, const QStringList& args)
{
    if (args.size() != 1 || args[0] != QLatin1String("initialiser")) {
        c.err << commandHelp(QStringLiteral("base"));
        return kCliUsage;
    }
    const QString uri = c.journal && !c.journal->serverUri.isEmpty() ? c.journal->serverUri : settingsServerUri();
    if (uri.isEmpty()) {
        c.err << T("base initialiser demande le serveur du journal : --base URI (ou le réglage %1).").arg(kServerUriSetting)
              << Qt::endl;
        return kCliUsage;
    }
    ServerStore server(uri);
    const SchemaOutcome made = server.initialise();
    if (!made.error.isEmpty()) {
        c.err << made.error << Qt::endl;
        return kCliFailed;
    }
    if (made.from == made.to)
        c.out << T("Le schéma du journal de %1 est à jour (version %2).").arg(ServerStore::shown(uri)).arg(made.to) << '\n';
    else if (made.from == 0)
        c.out << T("Schéma du journal créé sur %1 (version %2).").arg(ServerStore::shown(uri)).arg(made.to) << '\n';
    else
        c.out << T("Schéma du journal de %1 mis à jour de la version %2 à la version %3.")
                     .arg(ServerStore::shown(uri))
                     .arg(made.from)
                     .arg(made.to)
              << '\n';
    return kCliOk;
}

}  // namespace trivo
