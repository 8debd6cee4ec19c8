#pragma once
// The journal's database on this station (SQLite through Qt SQL). Every record is committed and synced to
// the disk before append() returns, so a record the operator was told about survives a power cut. A file
// that is not a sound database is renamed aside, never deleted, and a new one is started. Qt SQL wants a
// connection used on the thread that opened it: the store keeps one thread of its own for every
// statement, and is safe to call from any thread.
#include <QList>
#include <QString>

#include <memory>

#include "journal/journal_record.h"
#include "journal/journal_summary.h"

#include <functional>

class QSqlDatabase;
class QSqlError;

namespace trivo::journal {

struct StoreOptions {
    QString path;
    int busyTimeoutMs = 10000;  // how long a statement waits for another program holding the database
    // The whole file is checked for damage in the background at most this often (a stamp beside it, the
    // database's name and ".controle", says when it was last found sound).
    qint64 checkIntervalMs = 24 * 3600 * 1000;
};

// A record not yet sent to the shared server, with its place in this station's order.
struct PendingRecord {
    qint64 seq = 0;
    JournalRecord record;
};

// A record the shared server refused (a constraint, a value it rejects): kept here, never sent again.
struct SetAsideRecord {
    JournalRecord record;
    QString reason;  // the server's
};

class LocalStore {
public:
    explicit LocalStore(StoreOptions options);
    ~LocalStore();
    LocalStore(const LocalStore&) = delete;
    LocalStore& operator=(const LocalStore&) = delete;

    // Why the database could not be opened; "" when it is usable.
    QString openError() const;
    // The name a damaged database was kept under when this store started a new one; "" otherwise.
    QString setAsidePath() const;
    QString path() const;

    // Writes and syncs the record of an operation about to write to a display ("en cours", with this program
    // as its owner); "" or why it could not (in French): then nothing may be sent to the display.
    QString begin(const JournalRecord& record);
    // Replaces the record begun with its end (the same id), synced; "" or why it could not.
    QString finish(const JournalRecord& record);
    // The duration a running operation has reached, kept for the record it leaves if its program dies. Not
    // waited for, not synced.
    void noteProgress(const QString& id, qint64 durationMs);
    // Writes and syncs a record whole at once; "" or why it could not (in French).
    QString append(const JournalRecord& record);
    // Oldest first; the newest `limit` when the filter has one.
    QList<JournalRecord> read(const Filter& filter, QString* error);
    // The figures of the records that match (the display, the lot, the date; `limit` is not used), counted
    // by SQLite in one read transaction.
    JournalSummary summary(const Filter& filter);
    // Up to `query.count` records in the journal's order of time, after `query.after`; `last` is the key of
    // the page's last one (unchanged when the page is empty). The filter's limit is not used.
    QList<JournalRecord> page(const PageQuery& query, PageKey* last, QString* error);
    // The key of the record `skip` places from the newest the filter matches; invalid when there are fewer.
    PageKey keyFromNewest(const Filter& filter, int skip, QString* error);

    // The oldest finished records not sent yet, in order, after the one at `after` in the order (a record "en
    // cours" waits for its end; one set aside is not sent again).
    QList<PendingRecord> pending(int limit, QString* error, qint64 after = 0);
    int pendingCount(QString* error = nullptr);
    // Marks these records (by their place in the order) as sent.
    QString markSent(const QList<qint64>& seqs);
    // Keeps a record the server refused aside with the server's reason: it is not sent again.
    QString setAside(qint64 seq, const QString& reason);
    int setAsideCount(QString* error = nullptr);
    // The records waiting for the server, and those it refused, oldest first.
    QList<JournalRecord> waiting(const Filter& filter, QString* error);
    QList<SetAsideRecord> setAside(const Filter& filter, QString* error);

    // Runs `work` on the store's thread with its database (the lots' statements); "" or why it could not
    // be opened, else what `work` returns.
    QString withDatabase(const std::function<QString(QSqlDatabase&)>& work);
    // Why a statement failed, as the operator is told of the journal's database.
    static QString reasonOf(const QSqlError& error);

private:
    int count(const char* condition, QString* error);
    class Worker;
    std::unique_ptr<Worker> worker_;
};

}  // namespace trivo::journal
