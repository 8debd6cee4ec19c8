#pragma once
// The journal that several stations share: a PostgreSQL server reached through libpq with a connection
// URI ("postgresql://user@host/base", "postgresql://user@/base?host=/run/postgresql"). The program creates
// and upgrades the schema itself. A record is inserted once whatever happens: its id is unique, and sending
// one again (its acknowledgement lost with the connection) changes nothing.
#include <QList>
#include <QString>

#include "journal/journal_record.h"

typedef struct pg_conn PGconn;

namespace trivo::journal {

class ServerStore {
public:
    explicit ServerStore(QString uri);
    ~ServerStore();
    ServerStore(const ServerStore&) = delete;
    ServerStore& operator=(const ServerStore&) = delete;

    // Connects when not connected and brings the schema up to date; "" or why not (in French).
    QString connect();
    void disconnect();
    // The records, in their order, in one transaction: all or none.
    QString insert(const QList<JournalRecord>& records);
    // Every station's records, oldest first (the newest `limit` when the filter has one).
    QList<JournalRecord> read(const Filter& filter, QString* error);

    // The URI as it may be shown: without its password.
    static QString shown(const QString& uri);
    QString uri() const { return uri_; }

private:
    QString fail(const QString& what);
    QString ensureSchema();

    QString uri_;
    PGconn* conn_ = nullptr;
};

}  // namespace trivo::journal
