#include "journal/server_store.h"

#include <QUrl>

#include <libpq-fe.h>

#include <vector>

#include "common/language.h"

namespace trivo::journal {

namespace {

constexpr int kSchemaVersion = 2;
// Taken while the schema is created or upgraded, so that two stations starting at once do it once.
constexpr const char* kSchemaLock = "SELECT pg_advisory_xact_lock(74260124)";
// How long a station waits for a server that does not answer, unless the URI says otherwise.
constexpr const char* kConnectTimeoutSeconds = "5";

const char* const kMigrations[] = {
    "CREATE TABLE trivo_journal ("
    " seq bigserial PRIMARY KEY,"
    " id uuid NOT NULL UNIQUE, horodatage timestamptz NOT NULL, poste text NOT NULL, operateur text NOT NULL,"
    " lot text NOT NULL, afficheur text NOT NULL, chemin text NOT NULL, version text NOT NULL,"
    " operation text NOT NULL, resultat text NOT NULL, message text NOT NULL, empreinte_avant text NOT NULL,"
    " empreinte_apres text NOT NULL, empreinte_fichier text NOT NULL, fichier text NOT NULL,"
    " duree_ms bigint NOT NULL, recu timestamptz NOT NULL DEFAULT now());"
    "CREATE INDEX trivo_journal_afficheur ON trivo_journal (afficheur);"
    "CREATE INDEX trivo_journal_chemin ON trivo_journal (chemin);"
    "CREATE INDEX trivo_journal_lot ON trivo_journal (lot);"
    "CREATE INDEX trivo_journal_horodatage ON trivo_journal (horodatage);",
    // 2: training records apart from the service records.
    "ALTER TABLE trivo_journal ADD COLUMN formation boolean NOT NULL DEFAULT false;",
};

const char* const kSelect =
    "SELECT id::text, to_char(horodatage AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"'), poste, operateur,"
    " lot, afficheur, chemin, version, operation, resultat, message, empreinte_avant, empreinte_apres,"
    " empreinte_fichier, fichier, duree_ms, formation FROM trivo_journal";

QString text(const PGresult* r, int row, int column)
{
    return QString::fromUtf8(PQgetvalue(r, row, column));
}

// A result freed whatever path leaves the scope.
struct PgResult {
    PGresult* r;
    ~PgResult() { PQclear(r); }
    bool ok() const
    {
        const ExecStatusType s = PQresultStatus(r);
        return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
    }
};

}  // namespace

ServerStore::ServerStore(QString uri) : uri_(std::move(uri)) {}

ServerStore::~ServerStore() { disconnect(); }

QString ServerStore::shown(const QString& uri)
{
    const QUrl url(uri);
    if (!url.isValid() || url.scheme().isEmpty())
        return uri;
    return url.toString(QUrl::RemovePassword);
}

void ServerStore::disconnect()
{
    if (conn_)
        PQfinish(conn_);
    conn_ = nullptr;
}

QString ServerStore::fail(const QString& what)
{
    QString reason = conn_ ? QString::fromUtf8(PQerrorMessage(conn_)).trimmed() : QString();
    reason = reason.simplified();
    disconnect();
    return T("serveur du journal %1 : %2%3")
        .arg(shown(uri_), what, reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reason));
}

QString ServerStore::connect()
{
    if (conn_ && PQstatus(conn_) == CONNECTION_OK)
        return {};
    disconnect();
    const QByteArray uri = uri_.toUtf8();
    char* parseError = nullptr;
    if (PQconninfoOption* options = PQconninfoParse(uri.constData(), &parseError)) {
        PQconninfoFree(options);
    } else {
        const QString why = parseError ? QString::fromUtf8(parseError).trimmed() : QString();
        PQfreemem(parseError);
        return T("adresse du serveur du journal invalide : %1 (%2)").arg(shown(uri_), why);
    }
    // The URI comes last: what it says about the time-out wins over the default.
    const char* keys[] = {"connect_timeout", "application_name", "dbname", nullptr};
    const char* values[] = {kConnectTimeoutSeconds, "trivo-cp", uri.constData(), nullptr};
    conn_ = PQconnectdbParams(keys, values, 1);
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK)
        return fail(T("injoignable"));
    // The server's notices ("already exists, skipping", a shutdown) would land on the operator's terminal.
    PQsetNoticeProcessor(conn_, [](void*, const char*) {}, nullptr);
    return ensureSchema();
}

QString ServerStore::ensureSchema()
{
    auto exec = [this](const char* sql) { return PgResult{PQexec(conn_, sql)}; };
    if (!exec("BEGIN").ok() || !exec(kSchemaLock).ok()
        || !exec("CREATE TABLE IF NOT EXISTS trivo_journal_version (version integer NOT NULL)").ok())
        return fail(T("schéma impossible à créer"));
    const PgResult current = exec("SELECT max(version) FROM trivo_journal_version");
    if (!current.ok())
        return fail(T("schéma illisible"));
    const int version = PQntuples(current.r) > 0 ? QByteArray(PQgetvalue(current.r, 0, 0)).toInt() : 0;
    if (version > kSchemaVersion) {
        exec("ROLLBACK");
        disconnect();
        return T("serveur du journal %1 : schéma d'une version plus récente du programme (%2)")
            .arg(shown(uri_))
            .arg(version);
    }
    for (int v = version; v < kSchemaVersion; ++v)
        if (!exec(kMigrations[v]).ok())
            return fail(T("schéma impossible à mettre à jour"));
    if (version != kSchemaVersion) {
        const QByteArray update = "DELETE FROM trivo_journal_version; INSERT INTO trivo_journal_version VALUES ("
            + QByteArray::number(kSchemaVersion) + ")";
        if (!exec(update.constData()).ok())
            return fail(T("schéma impossible à mettre à jour"));
    }
    if (!exec("COMMIT").ok())
        return fail(T("schéma impossible à créer"));
    return {};
}

QString ServerStore::insert(const QList<JournalRecord>& records)
{
    if (const QString why = connect(); !why.isEmpty())
        return why;
    if (!PgResult{PQexec(conn_, "BEGIN")}.ok())
        return fail(T("envoi interrompu"));
    for (const JournalRecord& r : records) {
        const QList<QByteArray> fields = {
            r.id.toUtf8(),        timeText(r.at).toUtf8(),   r.station.toUtf8(),    r.operatorName.toUtf8(),
            r.lot.toUtf8(),       r.serial.toUtf8(),         r.usbPath.toUtf8(),    r.version.toUtf8(),
            operationName(r.operation).toUtf8(), r.result().toUtf8(), r.message.toUtf8(), r.hashBefore.toUtf8(),
            r.hashAfter.toUtf8(), r.hashFile.toUtf8(),       r.fileName.toUtf8(),   QByteArray::number(r.durationMs),
            r.training ? QByteArray("true") : QByteArray("false")};
        std::vector<const char*> values;
        for (const QByteArray& f : fields)
            values.push_back(f.constData());
        const PgResult inserted{PQexecParams(
            conn_,
            "INSERT INTO trivo_journal (id, horodatage, poste, operateur, lot, afficheur, chemin, version, operation,"
            " resultat, message, empreinte_avant, empreinte_apres, empreinte_fichier, fichier, duree_ms, formation)"
            " VALUES ($1,$2,$3,$4,$5,$6,$7,$8,$9,$10,$11,$12,$13,$14,$15,$16,$17) ON CONFLICT (id) DO NOTHING",
            int(values.size()), nullptr, values.data(), nullptr, nullptr, 0)};
        if (!inserted.ok())
            return fail(T("envoi refusé"));
    }
    if (!PgResult{PQexec(conn_, "COMMIT")}.ok())
        return fail(T("envoi interrompu"));
    return {};
}

QList<JournalRecord> ServerStore::read(const Filter& f, QString* error)
{
    QList<JournalRecord> records;
    if (const QString why = connect(); !why.isEmpty()) {
        if (error)
            *error = why;
        return records;
    }
    QByteArray where = " WHERE true";
    QList<QByteArray> params;
    auto param = [&](const QString& v) {
        params << v.toUtf8();
        return "$" + QByteArray::number(params.size());
    };
    if (!f.display.isEmpty()) {
        const QByteArray p = param(f.display);
        where += " AND (afficheur = " + p + " OR chemin = " + p + ")";
    }
    if (!f.lot.isEmpty())
        where += " AND lot = " + param(f.lot);
    if (f.since.isValid())
        where += " AND horodatage >= " + param(timeText(f.since)) + "::timestamptz";
    QByteArray sql = QByteArray(kSelect) + where + " ORDER BY horodatage, seq";
    if (f.limit > 0)
        sql = "SELECT * FROM (" + QByteArray(kSelect) + where + " ORDER BY horodatage DESC, seq DESC LIMIT "
            + QByteArray::number(f.limit) + ") newest ORDER BY 2";
    std::vector<const char*> values;
    for (const QByteArray& p : params)
        values.push_back(p.constData());
    const PgResult result{PQexecParams(conn_, sql.constData(), int(values.size()), nullptr, values.data(), nullptr,
                                     nullptr, 0)};
    if (!result.ok()) {
        const QString why = fail(T("lecture impossible"));
        if (error)
            *error = why;
        return records;
    }
    for (int row = 0; row < PQntuples(result.r); ++row) {
        JournalRecord r;
        r.id = text(result.r, row, 0);
        r.at = timeFromText(text(result.r, row, 1));
        r.station = text(result.r, row, 2);
        r.operatorName = text(result.r, row, 3);
        r.lot = text(result.r, row, 4);
        r.serial = text(result.r, row, 5);
        r.usbPath = text(result.r, row, 6);
        r.version = text(result.r, row, 7);
        r.operation = operationFromName(text(result.r, row, 8)).value_or(Operation::Command);
        r.outcome = resultFromWord(text(result.r, row, 9));
        r.message = text(result.r, row, 10);
        r.hashBefore = text(result.r, row, 11);
        r.hashAfter = text(result.r, row, 12);
        r.hashFile = text(result.r, row, 13);
        r.fileName = text(result.r, row, 14);
        r.durationMs = text(result.r, row, 15).toLongLong();
        r.training = text(result.r, row, 16) == QLatin1String("t");
        records << r;
    }
    return records;
}

}  // namespace trivo::journal
