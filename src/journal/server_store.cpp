#include "journal/server_store.h"

#include <QRegularExpression>
#include <QUrl>

#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

#include "common/language.h"

namespace trivo::journal {

namespace {

constexpr int kSchemaVersion = 4;
// Taken while the schema is created or upgraded, so that two administrators at once do it once.
constexpr const char* kSchemaLock = "SELECT pg_advisory_xact_lock(74260124)";

// Every exchange with the server is bounded, unless the connection string says otherwise: the connection,
// a statement, a lock another session holds, a peer that stops acknowledging, an idle link gone dead.
const char* const kConnectionKeys[] = {"connect_timeout", "application_name", "client_encoding", "options",
                                       "keepalives",      "keepalives_idle",  "keepalives_interval",
                                       "keepalives_count", "tcp_user_timeout"};
const char* const kConnectionValues[] = {"5", "trivo-cp", "UTF8", "-c statement_timeout=10000 -c lock_timeout=3000",
                                         "1", "5", "2", "2", "5000"};
constexpr int kDefaultConnectSeconds = 5;
// Our own bound on one exchange, beyond the server's statement time-out: a server that stops answering
// over a Unix socket has no TCP time-out to end the wait.
constexpr qint64 kExchangeMs = 15000;

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
    // 3: lots defined once for every station: each revision's files kept whole, the units reserved and made
    // (by which every station together keeps to the quantity); a unit's record names its revision.
    "ALTER TABLE trivo_journal ADD COLUMN empreinte_lot text NOT NULL DEFAULT '';"
    "CREATE TABLE trivo_lot (nom text PRIMARY KEY, clos boolean NOT NULL DEFAULT false,"
    " horodatage timestamptz NOT NULL DEFAULT now(), poste text NOT NULL, operateur text NOT NULL);"
    "CREATE TABLE trivo_lot_revision (lot text NOT NULL REFERENCES trivo_lot (nom), revision integer NOT NULL,"
    " modele bytea NOT NULL, fichier_modele text NOT NULL, empreinte_modele text NOT NULL, ecran bytea NOT NULL,"
    " fichier_ecran text NOT NULL, empreinte_ecran text NOT NULL, version_attendue text NOT NULL,"
    " quantite integer NOT NULL, note text NOT NULL, poste text NOT NULL, operateur text NOT NULL,"
    " horodatage timestamptz NOT NULL DEFAULT now(), empreinte text NOT NULL, PRIMARY KEY (lot, revision));"
    "CREATE TABLE trivo_lot_unite (id uuid PRIMARY KEY, lot text NOT NULL REFERENCES trivo_lot (nom),"
    " revision integer NOT NULL, poste text NOT NULL, etat text NOT NULL,"
    " horodatage timestamptz NOT NULL DEFAULT now(), processus integer NOT NULL DEFAULT 0);"
    "CREATE INDEX trivo_lot_unite_lot ON trivo_lot_unite (lot);",
    // 4: what the history and the figures ask for, each in the order of time the pages follow.
    "DROP INDEX trivo_journal_horodatage;"
    "CREATE INDEX trivo_journal_horodatage ON trivo_journal (horodatage, seq);"
    "DROP INDEX trivo_journal_lot;"
    "CREATE INDEX trivo_journal_lot ON trivo_journal (lot, horodatage, seq);"
    "CREATE INDEX trivo_journal_resultat ON trivo_journal (resultat, horodatage);"
    "CREATE INDEX trivo_journal_operation ON trivo_journal (operation, horodatage);",
};

const char* const kSelect =
    "SELECT id::text, to_char(horodatage AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"'), poste, operateur,"
    " lot, afficheur, chemin, version, operation, resultat, message, empreinte_avant, empreinte_apres,"
    " empreinte_fichier, fichier, duree_ms, formation, empreinte_lot FROM trivo_journal";

constexpr int kColumns = 18;
#define TRIVO_JOURNAL_COLUMNS                                                                                  \
    "id, horodatage, poste, operateur, lot, afficheur, chemin, version, operation, resultat, message,"         \
    " empreinte_avant, empreinte_apres, empreinte_fichier, fichier, duree_ms, formation, empreinte_lot"
const char* const kInsert = "INSERT INTO trivo_journal (" TRIVO_JOURNAL_COLUMNS ") VALUES ";
const char* const kCopy = "COPY trivo_journal (" TRIVO_JOURNAL_COLUMNS ") FROM STDIN";
#undef TRIVO_JOURNAL_COLUMNS
// When a copy is refused, the records go again in statements of this many (18 parameters each, far from the
// server's 65 535), one by one only in the statement that holds a refused one.
constexpr int kInsertRows = 200;
// A copy's rows go to libpq in pieces of about this size, each sent before the next is made.
constexpr qsizetype kCopyPiece = 256 * 1024;

const QString kMask = QStringLiteral("****");

qint64 nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The errors that belong to one record's values, not to the connection or the server: a data exception
// (22), a constraint (23), a value beyond the server's limits (54, a text too long for an index).
bool isRecordFault(const QString& sqlState)
{
    return sqlState.startsWith(QLatin1String("22")) || sqlState.startsWith(QLatin1String("23"))
        || sqlState.startsWith(QLatin1String("54"));
}

QString text(const PGresult* r, int row, int column) { return QString::fromUtf8(PQgetvalue(r, row, column)); }

QList<QByteArray> fieldsOf(const JournalRecord& r)
{
    return {r.id.toUtf8(),        timeText(r.at).toUtf8(),   r.station.toUtf8(),    r.operatorName.toUtf8(),
            r.lot.toUtf8(),       r.serial.toUtf8(),         r.usbPath.toUtf8(),    r.version.toUtf8(),
            operationName(r.operation).toUtf8(), r.result().toUtf8(), r.message.toUtf8(), r.hashBefore.toUtf8(),
            r.hashAfter.toUtf8(), r.hashFile.toUtf8(),       r.fileName.toUtf8(),   QByteArray::number(r.durationMs),
            r.training ? QByteArray("true") : QByteArray("false"), r.lotHash.toUtf8()};
}

// A field of COPY's text format: its backslash, tab and line ends escaped.
void appendCopyField(QByteArray& out, const QByteArray& field)
{
    if (std::none_of(field.cbegin(), field.cend(), [](char c) { return c == '\\' || c == '\t' || c == '\n' || c == '\r'; })) {
        out += field;
        return;
    }
    for (const char c : field) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
}

JournalRecord recordOf(const PGresult* result, int row)
{
    JournalRecord r;
    r.id = text(result, row, 0);
    r.at = timeFromText(text(result, row, 1));
    r.station = text(result, row, 2);
    r.operatorName = text(result, row, 3);
    r.lot = text(result, row, 4);
    r.serial = text(result, row, 5);
    r.usbPath = text(result, row, 6);
    r.version = text(result, row, 7);
    r.operation = operationFromName(text(result, row, 8)).value_or(Operation::Command);
    r.outcome = resultFromWord(text(result, row, 9));
    r.message = text(result, row, 10);
    r.hashBefore = text(result, row, 11);
    r.hashAfter = text(result, row, 12);
    r.hashFile = text(result, row, 13);
    r.fileName = text(result, row, 14);
    r.durationMs = text(result, row, 15).toLongLong();
    r.training = text(result, row, 16) == QLatin1String("t");
    r.lotHash = text(result, row, 17);
    return r;
}

// The password libpq would use from this connection string; empty when it gives none or cannot be read.
QString passwordOf(const QString& uri)
{
    const QByteArray conninfo = uri.toUtf8();
    char* error = nullptr;
    QString password;
    if (PQconninfoOption* options = PQconninfoParse(conninfo.constData(), &error)) {
        for (const PQconninfoOption* o = options; o->keyword; ++o)
            if (o->val && qstrcmp(o->keyword, "password") == 0)
                password = QString::fromUtf8(o->val);
        PQconninfoFree(options);
    }
    PQfreemem(error);
    return password;
}

bool parses(const QString& uri, QString* why = nullptr)
{
    const QByteArray conninfo = uri.toUtf8();
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.constData(), &error);
    if (why && error)
        *why = QString::fromUtf8(error).trimmed();
    PQfreemem(error);
    PQconninfoFree(options);
    return options != nullptr;
}

}  // namespace

struct ServerStore::Exec {
    PGresult* result = nullptr;  // the last result, or the first that failed
    Wait wait = Wait::Ready;
    QString sqlState;
    QString message;  // the server's reason, or libpq's

    Exec() = default;
    Exec(Exec&& other) noexcept
        : result(std::exchange(other.result, nullptr)), wait(other.wait), sqlState(std::move(other.sqlState)),
          message(std::move(other.message))
    {
    }
    Exec& operator=(Exec&&) = delete;
    ~Exec() { PQclear(result); }
    bool ok() const
    {
        if (wait != Wait::Ready || !result)
            return false;
        const ExecStatusType s = PQresultStatus(result);
        return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
    }
};

ServerStore::ServerStore(QString uri) : uri_(std::move(uri)), wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

ServerStore::~ServerStore()
{
    disconnect();
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
}

int ServerStore::schemaVersion() { return kSchemaVersion; }

QString ServerStore::masked(const QString& text, const QString& uri)
{
    QString out = text;
    // What libpq would send, wherever it is quoted, in its own spelling and as a URI spells it.
    if (const QString password = passwordOf(uri); !password.isEmpty()) {
        out.replace(password, kMask);
        out.replace(QString::fromLatin1(QUrl::toPercentEncoding(password)), kMask);
    }
    // The places a password stands in a connection string, for a string libpq cannot read.
    static const QRegularExpression userInfo(QStringLiteral(R"(((?:postgres|postgresql)://[^:@/?#\s]*):[^@/?#\s]*@)"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression keyword(QStringLiteral(R"((\bpassword\s*=\s*)('(?:[^'\\]|\\.)*'?|[^\s&']*))"),
                                            QRegularExpression::CaseInsensitiveOption);
    out.replace(userInfo, QStringLiteral("\\1:****@"));
    out.replace(keyword, QStringLiteral("\\1****"));
    return out;
}

QString ServerStore::shown(const QString& uri)
{
    // A string libpq cannot read may hold a password where no rule finds it ("password S3CRET"): not shown.
    if (!parses(uri))
        return T("(adresse illisible)");
    return masked(uri, uri);
}

void ServerStore::interrupt()
{
    interrupted_ = true;
    const uint64_t one = 1;
    if (wakeFd_ >= 0)
        [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

void ServerStore::clearInterrupt()
{
    uint64_t count = 0;
    if (wakeFd_ >= 0)
        [[maybe_unused]] const ssize_t read = ::read(wakeFd_, &count, sizeof count);
    interrupted_ = false;
}

void ServerStore::disconnect()
{
    if (conn_)
        PQfinish(conn_);
    conn_ = nullptr;
}

QString ServerStore::fail(const QString& what, const QString& reason)
{
    QString why = reason;
    if (why.isNull() && conn_)
        why = QString::fromUtf8(PQerrorMessage(conn_));
    why = masked(why.simplified(), uri_);
    disconnect();
    return T("serveur du journal %1 : %2%3")
        .arg(shown(uri_), what, why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why));
}

QString ServerStore::failResult(const QString& what, const Exec& result)
{
    switch (result.wait) {
    case Wait::Interrupted: return fail(what, T("échange interrompu"));
    case Wait::TimedOut: return fail(what, T("pas de réponse en %1 s").arg(kExchangeMs / 1000));
    case Wait::Ready: break;
    }
    return fail(what, result.message);
}

ServerStore::Wait ServerStore::waitSocket(bool forWrite, qint64 deadlineMs)
{
    for (;;) {
        if (interrupted_)
            return Wait::Interrupted;
        pollfd fds[2] = {{PQsocket(conn_), short(POLLIN | (forWrite ? POLLOUT : 0)), 0}, {wakeFd_, POLLIN, 0}};
        if (fds[0].fd < 0)
            return Wait::Ready;  // libpq tells why at its next call
        const int timeout = deadlineMs < 0 ? -1 : int(std::max<qint64>(0, deadlineMs - nowMs()));
        const int n = ::poll(fds, wakeFd_ >= 0 ? 2 : 1, timeout);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            return Wait::TimedOut;
        if (wakeFd_ >= 0 && (fds[1].revents & POLLIN))
            return Wait::Interrupted;
        return Wait::Ready;
    }
}

ServerStore::Exec ServerStore::exec(const QByteArray& sql, const QList<QByteArray>& params, bool oneStatement)
{
    Exec out;
    if (interrupted_) {
        out.wait = Wait::Interrupted;
        return out;
    }
    std::vector<const char*> values;
    for (const QByteArray& p : params)
        values.push_back(p.constData());
    const int sent = oneStatement
        ? PQsendQueryParams(conn_, sql.constData(), int(values.size()), nullptr, values.data(), nullptr, nullptr, 0)
        : PQsendQuery(conn_, sql.constData());
    if (!sent) {
        out.message = QString::fromUtf8(PQerrorMessage(conn_));
        return out;
    }
    const qint64 deadline = nowMs() + kExchangeMs;
    if (flushOut(out, deadline))
        collect(out, deadline);
    return out;
}

bool ServerStore::flushOut(Exec& out, qint64 deadlineMs)
{
    for (int flushed; (flushed = PQflush(conn_)) != 0;) {
        if (flushed < 0) {
            out.message = QString::fromUtf8(PQerrorMessage(conn_));
            return false;
        }
        if ((out.wait = waitSocket(true, deadlineMs)) != Wait::Ready)
            return false;
        PQconsumeInput(conn_);
    }
    return true;
}

void ServerStore::collect(Exec& out, qint64 deadlineMs)
{
    for (;;) {
        while (PQisBusy(conn_)) {
            if ((out.wait = waitSocket(false, deadlineMs)) != Wait::Ready)
                return;
            if (!PQconsumeInput(conn_)) {
                out.message = QString::fromUtf8(PQerrorMessage(conn_));
                return;
            }
        }
        PGresult* r = PQgetResult(conn_);
        if (!r)
            break;
        const ExecStatusType s = PQresultStatus(r);
        // The server waits for the rows: libpq would give this result again at each call.
        if (s == PGRES_COPY_IN) {
            PQclear(out.result);
            out.result = r;
            return;
        }
        const bool failed = s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK;
        if (out.result && PQresultStatus(out.result) != PGRES_COMMAND_OK && PQresultStatus(out.result) != PGRES_TUPLES_OK) {
            PQclear(r);  // the first failure is the one that tells
            continue;
        }
        PQclear(out.result);
        out.result = r;
        if (failed) {
            out.sqlState = QString::fromLatin1(PQresultErrorField(r, PG_DIAG_SQLSTATE));
            out.message = QString::fromUtf8(PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY));
            if (out.message.isEmpty())
                out.message = QString::fromUtf8(PQerrorMessage(conn_));
        }
    }
}

QString ServerStore::connect()
{
    if (conn_ && PQstatus(conn_) == CONNECTION_OK)
        return {};
    if (const QString why = open(); !why.isEmpty())
        return why;
    return checkSchema();
}

QString ServerStore::open()
{
    disconnect();
    QString parseError;
    if (!parses(uri_, &parseError)) {
        // libpq quotes the piece it could not read, which may be the password: the quotes are left out.
        static const QRegularExpression quoted(QStringLiteral(R"("[^"]*")"));
        return T("adresse du serveur du journal illisible (%1)")
            .arg(masked(parseError.replace(quoted, QStringLiteral("\"…\"")), uri_));
    }
    if (interrupted_)
        return fail(T("injoignable"), T("échange interrompu"));
    // The connection string comes last: what it says wins over the bounds given here.
    const QByteArray uri = uri_.toUtf8();
    std::vector<const char*> keys(std::begin(kConnectionKeys), std::end(kConnectionKeys));
    std::vector<const char*> values(std::begin(kConnectionValues), std::end(kConnectionValues));
    keys.push_back("dbname");
    values.push_back(uri.constData());
    keys.push_back(nullptr);
    values.push_back(nullptr);
    conn_ = PQconnectStartParams(keys.data(), values.data(), 1);
    if (!conn_ || PQstatus(conn_) == CONNECTION_BAD)
        return fail(T("injoignable"));
    int seconds = kDefaultConnectSeconds;
    if (PQconninfoOption* options = PQconninfo(conn_)) {
        for (const PQconninfoOption* o = options; o->keyword; ++o)
            if (o->val && qstrcmp(o->keyword, "connect_timeout") == 0)
                seconds = QByteArray(o->val).toInt();
        PQconninfoFree(options);
    }
    // As libpq itself: 0 waits for ever, and never less than 2 s.
    const qint64 deadline = seconds <= 0 ? -1 : nowMs() + std::max(seconds, 2) * 1000;
    for (PostgresPollingStatusType status = PGRES_POLLING_WRITING; status != PGRES_POLLING_OK;) {
        if (status == PGRES_POLLING_FAILED)
            return fail(T("injoignable"));
        switch (waitSocket(status == PGRES_POLLING_WRITING, deadline)) {
        case Wait::Interrupted: return fail(T("injoignable"), T("échange interrompu"));
        case Wait::TimedOut: return fail(T("injoignable"), T("pas de réponse en %1 s").arg(std::max(seconds, 2)));
        case Wait::Ready: break;
        }
        status = PQconnectPoll(conn_);
    }
    PQsetnonblocking(conn_, 1);
    // The server's notices (a shutdown) would land on the operator's terminal.
    PQsetNoticeProcessor(conn_, [](void*, const char*) {}, nullptr);
    return {};
}

QString ServerStore::checkSchema()
{
    const Exec found = exec("SELECT to_regclass('trivo_journal_version') IS NOT NULL AND to_regclass('trivo_journal') IS NOT NULL");
    if (!found.ok())
        return failResult(T("schéma illisible"), found);
    if (text(found.result, 0, 0) != QLatin1String("t")) {
        disconnect();
        return T("serveur du journal %1 : le schéma du journal n'existe pas sur le serveur ; un administrateur le "
                 "crée avec trivo-cp-cli --base URI base initialiser")
            .arg(shown(uri_));
    }
    const Exec current = exec("SELECT coalesce(max(version), 0) FROM trivo_journal_version");
    if (!current.ok())
        return failResult(T("schéma illisible"), current);
    const int version = text(current.result, 0, 0).toInt();
    if (version == kSchemaVersion)
        return {};
    disconnect();
    if (version > kSchemaVersion)
        return T("serveur du journal %1 : schéma d'une version plus récente du programme (%2 ; celui-ci connaît la %3)")
            .arg(shown(uri_))
            .arg(version)
            .arg(kSchemaVersion);
    return T("serveur du journal %1 : schéma d'une version ancienne (%2) ; un administrateur le met à jour avec "
             "trivo-cp-cli --base URI base initialiser")
        .arg(shown(uri_))
        .arg(version);
}

QString ServerStore::insertBatch(const QList<JournalRecord>& records, int from, int count, Refusal* refused)
{
    QByteArray sql = kInsert;
    QList<QByteArray> params;
    for (int i = from; i < from + count; ++i) {
        sql += i == from ? "(" : ",(";
        for (int c = 0; c < kColumns; ++c)
            sql += (c ? ",$" : "$") + QByteArray::number(int(params.size()) + c + 1);
        sql += ")";
        params << fieldsOf(records[i]);
    }
    sql += " ON CONFLICT (id) DO NOTHING";
    const Exec inserted = exec(sql, params);
    if (inserted.ok())
        return {};
    if (inserted.wait == Wait::Ready && isRecordFault(inserted.sqlState)) {
        refused->index = from;
        refused->reason = masked(inserted.message.simplified(), uri_);
        return refused->reason;
    }
    return failResult(T("envoi impossible"), inserted);
}

QString ServerStore::copyBatch(const QList<JournalRecord>& records, bool* recordFault)
{
    *recordFault = false;
    Exec out;
    if (interrupted_)
        out.wait = Wait::Interrupted;
    else if (!PQsendQuery(conn_, kCopy))
        out.message = QString::fromUtf8(PQerrorMessage(conn_));
    else if (qint64 deadline = nowMs() + kExchangeMs; flushOut(out, deadline)) {
        collect(out, deadline);
        if (out.wait == Wait::Ready && out.result && PQresultStatus(out.result) == PGRES_COPY_IN) {
            bool put = true;
            QByteArray piece;
            for (qsizetype i = 0; i <= records.size() && put && out.wait == Wait::Ready; ++i) {
                if (i < records.size()) {
                    const QList<QByteArray> fields = fieldsOf(records[i]);
                    for (qsizetype c = 0; c < fields.size(); ++c) {
                        if (c)
                            piece += '\t';
                        appendCopyField(piece, fields[c]);
                    }
                    piece += '\n';
                }
                if (piece.size() >= kCopyPiece || (i == records.size() && !piece.isEmpty())) {
                    // -1: the server ended the copy (a row it refused); its reason is read below.
                    put = PQputCopyData(conn_, piece.constData(), int(piece.size())) == 1 && flushOut(out, deadline);
                    piece.clear();
                    // A server that takes the rows is not stalled: the bound runs from the last piece taken.
                    deadline = nowMs() + kExchangeMs;
                }
            }
            if (put && out.wait == Wait::Ready)
                put = PQputCopyEnd(conn_, nullptr) == 1 && flushOut(out, deadline);
            if (out.wait == Wait::Ready) {
                PQclear(std::exchange(out.result, nullptr));
                collect(out, deadline);
                if (!put && out.ok()) {
                    PQclear(std::exchange(out.result, nullptr));
                    out.message = QString::fromUtf8(PQerrorMessage(conn_));
                }
            }
        }
    }
    if (out.ok())
        return {};
    if (out.wait == Wait::Ready && isRecordFault(out.sqlState)) {
        *recordFault = true;
        return masked(out.message.simplified(), uri_);
    }
    return failResult(T("envoi impossible"), out);
}

InsertOutcome ServerStore::insert(const QList<JournalRecord>& records)
{
    InsertOutcome out;
    if ((out.error = connect()); !out.error.isEmpty())
        return out;
    const int size = int(records.size());
    // The whole batch in one copy, which the server takes whole or not at all.
    bool recordFault = false;
    out.error = copyBatch(records, &recordFault);
    if (out.error.isEmpty() || !recordFault) {
        out.processed = out.error.isEmpty() ? size : 0;
        return out;
    }
    // A record refused, or one the server has already (sent again, its acknowledgement lost): in statements
    // that pass over the ones it has, and one by one in a statement refused, so that the refused ones are
    // found and the others go through.
    out.error.clear();
    for (int from = 0; from < size; from += kInsertRows) {
        const int count = std::min(kInsertRows, size - from);
        Refusal refused{-1, {}};
        const QString why = insertBatch(records, from, count, &refused);
        if (why.isEmpty())
            continue;
        if (refused.index < 0) {
            out.processed = from;
            out.error = why;
            return out;
        }
        for (int i = from; i < from + count; ++i) {
            refused.index = -1;
            const QString one = insertBatch(records, i, 1, &refused);
            if (one.isEmpty())
                continue;
            if (refused.index < 0) {
                out.processed = i;
                out.error = one;
                return out;
            }
            out.refused << refused;
        }
    }
    out.processed = size;
    return out;
}

namespace {

// The filter as SQL conditions (from " WHERE"), its values added to `params` as $1, $2...
QByteArray whereOf(const Filter& f, QList<QByteArray>& params)
{
    QByteArray where = " WHERE true";
    auto param = [&](const QString& v) {
        params << v.toUtf8();
        return "$" + QByteArray::number(params.size());
    };
    if (!f.display.isEmpty()) {
        const QByteArray p = param(f.display);
        where += " AND (afficheur = " + p + " OR chemin = " + p + ")";
    }
    if (!f.otherDisplays.isEmpty()) {
        const QByteArray p = param(f.otherDisplays);
        where += " AND afficheur <> " + p + " AND chemin <> " + p;
    }
    if (!f.lot.isEmpty())
        where += " AND lot = " + param(f.lot);
    if (f.since.isValid())
        where += " AND horodatage >= " + param(timeText(f.since)) + "::timestamptz";
    if (f.until.isValid())
        where += " AND horodatage < " + param(timeText(f.until)) + "::timestamptz";
    if (!f.training)
        where += " AND NOT formation";
    return where;
}

}  // namespace

QList<JournalRecord> ServerStore::read(const Filter& f, QString* error)
{
    QList<JournalRecord> records;
    auto failed = [&](const QString& why) {
        if (error)
            *error = why;
        return QList<JournalRecord>{};
    };
    if (const QString why = connect(); !why.isEmpty())
        return failed(why);
    QList<QByteArray> params;
    const QByteArray where = whereOf(f, params);
    QByteArray sql = QByteArray(kSelect) + where + " ORDER BY horodatage, seq";
    if (f.limit > 0)
        sql = "SELECT * FROM (" + QByteArray(kSelect) + where + " ORDER BY horodatage DESC, seq DESC LIMIT "
            + QByteArray::number(f.limit) + ") newest ORDER BY 2";
    const Exec result = exec(sql, params);
    if (!result.ok())
        return failed(failResult(T("lecture impossible"), result));
    for (int row = 0; row < PQntuples(result.result); ++row)
        records << recordOf(result.result, row);
    return records;
}

JournalSummary ServerStore::summary(const Filter& f)
{
    JournalSummary s;
    s.fromServer = true;
    if ((s.error = connect()); !s.error.isEmpty())
        return s;
    QByteArray where = " WHERE resultat <> 'en cours'";
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
    if (!f.training)
        where += " AND NOT formation";
    const QByteArray counts = "count(*) FILTER (WHERE resultat = 'reussi'), count(*) FILTER (WHERE resultat <> 'reussi')";
    const QByteArray utc = "'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"'";
    const QList<QByteArray> queries = {
        "SELECT to_char(date_trunc('hour', horodatage AT TIME ZONE 'UTC'), " + utc + "), " + counts
            + " FROM trivo_journal" + where + " GROUP BY 1 ORDER BY 1",
        "SELECT lot, " + counts + " FROM trivo_journal" + where + " GROUP BY lot ORDER BY lot COLLATE \"C\"",
        "SELECT message, count(*) FROM trivo_journal" + where
            + " AND resultat <> 'reussi' GROUP BY message ORDER BY 2 DESC, message COLLATE \"C\"",
        "SELECT poste, operateur, " + counts + ", to_char(min(horodatage) AT TIME ZONE 'UTC', " + utc
            + "), to_char(max(horodatage) AT TIME ZONE 'UTC', " + utc + ") FROM trivo_journal" + where
            + " GROUP BY poste, operateur ORDER BY poste COLLATE \"C\", operateur COLLATE \"C\"",
    };
    // One snapshot for the four counts: the stations' records arriving meanwhile do not make them disagree.
    const Exec begun = exec("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    if (!begun.ok()) {
        s.error = failResult(T("lecture impossible"), begun);
        return s;
    }
    for (int k = 0; k < queries.size(); ++k) {
        const Exec r = exec(queries[k], params);
        if (!r.ok()) {
            const QString why = failResult(T("lecture impossible"), r);
            s = JournalSummary{};
            s.fromServer = true;
            s.error = why;
            return s;
        }
        for (int row = 0; row < PQntuples(r.result); ++row) {
            const auto number = [&](int column) { return text(r.result, row, column).toInt(); };
            switch (k) {
            case 0:
                s.hours << HourFigures{timeFromText(text(r.result, row, 0)), number(1), number(2)};
                s.passed += number(1);
                s.failed += number(2);
                break;
            case 1: s.lots << LotFigures{text(r.result, row, 0), number(1), number(2)}; break;
            case 2: s.reasons << ReasonFigures{text(r.result, row, 0), number(1)}; break;
            default:
                s.people << PersonFigures{text(r.result, row, 0), text(r.result, row, 1), number(2), number(3),
                                          timeFromText(text(r.result, row, 4)), timeFromText(text(r.result, row, 5))};
            }
        }
    }
    if (const Exec ended = exec("COMMIT"); !ended.ok()) {
        const QString why = failResult(T("lecture impossible"), ended);
        s = JournalSummary{};
        s.fromServer = true;
        s.error = why;
    }
    return s;
}

ServerRows ServerStore::query(const QByteArray& sql, const QList<QByteArray>& params)
{
    ServerRows out;
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
        out.error = fail(T("injoignable"));
        return out;
    }
    const Exec r = exec(sql, params);
    if (!r.ok()) {
        out.sqlState = r.sqlState;
        // A value or a constraint refused: the connection stays, the caller tells the reason.
        if (r.wait == Wait::Ready && isRecordFault(r.sqlState))
            out.error = masked(r.message.simplified(), uri_);
        else
            out.error = failResult(T("requête impossible"), r);
        return out;
    }
    for (int row = 0; row < PQntuples(r.result); ++row) {
        QList<QByteArray> values;
        for (int c = 0; c < PQnfields(r.result); ++c)
            values << QByteArray(PQgetvalue(r.result, row, c), PQgetlength(r.result, row, c));
        out.rows << values;
    }
    return out;
}

QList<JournalRecord> ServerStore::page(const PageQuery& query, PageKey* last, QString* error)
{
    QList<JournalRecord> records;
    if (const QString why = connect(); !why.isEmpty()) {
        if (error)
            *error = why;
        return records;
    }
    QList<QByteArray> params;
    QByteArray where = whereOf(query.filter, params);
    if (query.after.valid()) {
        params << query.after.at.toUtf8() << QByteArray::number(query.after.seq);
        where += " AND (horodatage, seq) " + QByteArray(query.newestFirst ? "<" : ">") + " ($"
            + QByteArray::number(params.size() - 1) + "::timestamptz, $" + QByteArray::number(params.size())
            + "::bigint)";
    }
    const QByteArray direction = query.newestFirst ? " DESC" : "";
    // The record's place beside its columns, for the key of the page's last one.
    const QByteArray sql = QByteArray(kSelect).replace(" FROM trivo_journal", ", seq FROM trivo_journal") + where
        + " ORDER BY horodatage" + direction + ", seq" + direction + " LIMIT " + QByteArray::number(std::max(1, query.count));
    const Exec result = exec(sql, params);
    if (!result.ok()) {
        if (error)
            *error = failResult(T("lecture impossible"), result);
        return records;
    }
    const int rows = PQntuples(result.result);
    records.reserve(rows);
    for (int row = 0; row < rows; ++row)
        records << recordOf(result.result, row);
    if (rows > 0)
        *last = {text(result.result, rows - 1, 1), text(result.result, rows - 1, kColumns).toLongLong()};
    return records;
}

PageKey ServerStore::keyFromNewest(const Filter& filter, int skip, QString* error)
{
    PageKey key;
    if (const QString why = connect(); !why.isEmpty()) {
        if (error)
            *error = why;
        return key;
    }
    QList<QByteArray> params;
    const QByteArray sql = "SELECT to_char(horodatage AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"'), seq "
                           "FROM trivo_journal" + whereOf(filter, params) + " ORDER BY horodatage DESC, seq DESC LIMIT 1 OFFSET "
        + QByteArray::number(std::max(0, skip));
    const Exec result = exec(sql, params);
    if (!result.ok()) {
        if (error)
            *error = failResult(T("lecture impossible"), result);
    } else if (PQntuples(result.result) > 0) {
        key = {text(result.result, 0, 0), text(result.result, 0, 1).toLongLong()};
    }
    return key;
}

SchemaOutcome ServerStore::initialise()
{
    SchemaOutcome out;
    // Not the station's check: the schema is what this command is there to make.
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK)
        if ((out.error = open()); !out.error.isEmpty())
            return out;
    auto step = [&](const QByteArray& sql, const QString& what, bool oneStatement = true) {
        const Exec r = exec(sql, {}, oneStatement);
        if (!r.ok()) {
            out.error = failResult(what, r);
            return false;
        }
        return true;
    };
    if (!step("BEGIN", T("schéma impossible à créer")) || !step(kSchemaLock, T("schéma impossible à créer"))
        || !step("CREATE TABLE IF NOT EXISTS trivo_journal_version (version integer NOT NULL)",
                 T("schéma impossible à créer")))
        return out;
    const Exec current = exec("SELECT coalesce(max(version), 0) FROM trivo_journal_version");
    if (!current.ok()) {
        out.error = failResult(T("schéma illisible"), current);
        return out;
    }
    out.from = text(current.result, 0, 0).toInt();
    out.to = out.from;
    if (out.from > kSchemaVersion) {
        disconnect();
        out.error = T("serveur du journal %1 : schéma d'une version plus récente du programme (%2 ; celui-ci connaît la %3)")
                        .arg(shown(uri_))
                        .arg(out.from)
                        .arg(kSchemaVersion);
        return out;
    }
    for (int v = out.from; v < kSchemaVersion; ++v)
        if (!step(kMigrations[v], T("schéma impossible à mettre à jour"), false))
            return out;
    if (out.from != kSchemaVersion
        && !step("DELETE FROM trivo_journal_version; INSERT INTO trivo_journal_version VALUES ("
                     + QByteArray::number(kSchemaVersion) + ")",
                 T("schéma impossible à mettre à jour"), false))
        return out;
    if (!step("COMMIT", T("schéma impossible à créer")))
        return out;
    out.to = kSchemaVersion;
    return out;
}

}  // namespace trivo::journal
