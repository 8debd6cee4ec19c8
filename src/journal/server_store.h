#pragma once
// The journal that several stations share: a PostgreSQL server reached through libpq with a connection
// string, as a URI ("postgresql://user@host/base", "postgresql://user@/base?host=/run/postgresql") or as
// key=value pairs ("host=h user=u dbname=x"). A record is inserted once whatever happens: its id is unique,
// and sending one again (its acknowledgement lost with the connection) changes nothing.
//
// A station only inserts and reads: the schema is created and upgraded by an administrator's command
// (initialise()). Every exchange is bounded (time-outs in the connection, a deadline of our own) and can be
// interrupted from another thread, so that nothing waits on a server that stalls.
#include <QList>
#include <QString>

#include <atomic>

#include "journal/journal_record.h"
#include "journal/journal_summary.h"

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

namespace trivo::journal {

// A record the server would not take (a constraint, a value it rejects): its place in the batch and the
// server's reason.
struct Refusal {
    int index = 0;
    QString reason;
};

struct InsertOutcome {
    // The first `processed` records are settled: on the server, or refused (in `refused`).
    int processed = 0;
    QList<Refusal> refused;
    QString error;  // why the others were not sent (the connection, the server), "" when all were
};

struct SchemaOutcome {
    int from = 0;  // the version found (0: none)
    int to = 0;    // the version left
    QString error;
};

// The rows of a statement, each value as the server's text gives it; `error` "" when it ran. A value or a
// constraint refused (SQLSTATE in `sqlState`) leaves the connection open; anything else closes it.
struct ServerRows {
    QList<QList<QByteArray>> rows;
    QString sqlState;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

class ServerStore {
public:
    explicit ServerStore(QString uri);
    ~ServerStore();
    ServerStore(const ServerStore&) = delete;
    ServerStore& operator=(const ServerStore&) = delete;

    // The version of the server's schema this program writes.
    static int schemaVersion();

    // Connects when not connected and checks that the schema is the one this program knows; "" or why not.
    QString connect();
    void disconnect();
    // The records, in their order, in one copy. A batch the server refuses for one of its records (or for one
    // it has already) is sent again in statements that pass over the ones it has, one by one in a statement
    // refused, so that the refused ones are found and the others go through.
    InsertOutcome insert(const QList<JournalRecord>& records);
    // Every station's records, oldest first (the newest `limit` when the filter has one).
    QList<JournalRecord> read(const Filter& filter, QString* error);
    // Every station's figures for the records that match, counted by the server in one snapshot.
    JournalSummary summary(const Filter& filter);
    // One statement on the connection open (connect() first; BEGIN and COMMIT are statements too).
    ServerRows query(const QByteArray& sql, const QList<QByteArray>& params = {});
    // Up to `query.count` records in the order of time, after `query.after`; `last` is the key of the page's
    // last one (unchanged when the page is empty). The filter's limit is not used.
    QList<JournalRecord> page(const PageQuery& query, PageKey* last, QString* error);
    // The key of the record `skip` places from the newest the filter matches; invalid when there are fewer.
    PageKey keyFromNewest(const Filter& filter, int skip, QString* error);
    // Creates or upgrades the schema (the administrator's command); needs the right to create tables.
    SchemaOutcome initialise();

    // Ends the exchange under way (or the next one) at once, from any thread: it fails as interrupted and
    // the connection is closed. clearInterrupt() lets the exchanges after it run again.
    void interrupt();
    void clearInterrupt();

    // The connection string as it may be shown: without its password, whatever form it takes.
    static QString shown(const QString& uri);
    // Any text (libpq's messages may quote the connection string) without the password of `uri`.
    static QString masked(const QString& text, const QString& uri);
    QString uri() const { return uri_; }

private:
    enum class Wait { Ready, TimedOut, Interrupted };
    struct Exec;

    QString open();
    QString fail(const QString& what, const QString& reason = QString());
    QString failResult(const QString& what, const Exec& result);
    Wait waitSocket(bool forWrite, qint64 deadlineMs);
    Exec exec(const QByteArray& sql, const QList<QByteArray>& params = {}, bool oneStatement = true);
    // What libpq holds sent; false when it could not be (`out` says why).
    bool flushOut(Exec& out, qint64 deadlineMs);
    // The results into `out` until the last, or until the server waits for a copy's rows.
    void collect(Exec& out, qint64 deadlineMs);
    // "" when every record is on the server; else why not, `recordFault` set when a record is the reason.
    QString copyBatch(const QList<JournalRecord>& records, bool* recordFault);
    QString checkSchema();
    QString insertBatch(const QList<JournalRecord>& records, int from, int count, Refusal* refused);

    QString uri_;
    PGconn* conn_ = nullptr;
    int wakeFd_ = -1;
    std::atomic<bool> interrupted_{false};
};

}  // namespace trivo::journal
