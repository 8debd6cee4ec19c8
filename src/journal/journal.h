#pragma once
// The service journal: every operation that writes to a display leaves one record, written and synced on
// this station before the operator is told the result. With a shared server the records are sent from the
// local database in the background, in their order and each once; while the server cannot be reached the
// operations go on and the records wait for it.
//
// Recording an operation (Recording, recording.h, does this for the windows and the command line):
//     JournalEntry entry(Operation::Programming, link.device(), journal.identity());
//     if (const QString why = journal.begin(entry.record()); !why.isEmpty()) -> stop before writing to the display
//     entry.setBlockBefore(...); ... the operation ...; entry.setBlockAfter(...); entry.setFile(...);
//     entry.finish(result.ok(), what the operator is told);
//     if (const QString why = journal.finish(entry.record()); !why.isEmpty()) -> tell the operator
//     ... and only then tell the operator the result.
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>

#include "journal/journal_record.h"
#include "journal/journal_summary.h"
#include "journal/local_store.h"
#include "journal/server_store.h"

class QObject;

namespace trivo::journal {

struct JournalSettings {
    QString databasePath;  // empty: defaultDatabasePath()
    QString serverUri;     // empty: this station only
    Identity identity;
    int busyTimeoutMs = 10000;
    // A server that could not be reached is tried again after this long, or at the next record.
    int retryMs = 10000;
    // A training session (the emulated display): its readers show the training records beside the service ones.
    bool trainingSession = false;
    qint64 checkIntervalMs = 24 * 3600 * 1000;  // how often the local file is checked whole, in the background
};

// journal.sqlite in the user's data folder of the program.
QString defaultDatabasePath();
// The shared server of the settings ("journal/base"), for a station that does not give one.
QString settingsServerUri();
inline const QString kServerUriSetting = QStringLiteral("journal/base");

struct SyncResult {
    int sent = 0;      // sent by this program since its journal opened, every batch counted
    int waiting = 0;   // this station's finished records not on the server yet
    int setAside = 0;  // this station's records the server refused, kept here with its reason
    QString error;     // why records still wait
};

// What a read of the journal brings back.
struct JournalPage {
    QList<JournalRecord> records;  // oldest first: every station's from the server, else this station's
    bool fromServer = false;
    QString error;                 // "" when read
    // With a server: this station's records that have not reached it (waiting, or refused by it).
    QList<JournalRecord> waiting;
    QList<SetAsideRecord> setAside;
    // A page's read (readPage): the key of its last record, to read the next page after it, and whether the
    // records matched end with it.
    PageKey last;
    bool atEnd = false;
};

// A read under way off the caller's thread. cancel() ends it: its answer never comes, and the server
// exchange it is in stops at once.
class ReadTicket {
public:
    explicit ReadTicket(std::function<void()> onCancel = {}) : onCancel_(std::move(onCancel)) {}
    void cancel();
    bool cancelled() const;
    // The reader's side: runs `deliver` unless cancelled, a cancel waiting until it has run.
    bool deliver(const std::function<void()>& deliver);

private:
    mutable std::mutex mutex_;
    bool cancelled_ = false;
    std::function<void()> onCancel_;
};

class Journal {
public:
    explicit Journal(JournalSettings settings);
    // Ends the server exchanges under way at once: what waits is sent by the next run, or by synchroniser.
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // Why the local journal cannot be used; "" when it can.
    QString openError() const;
    // What the operator should hear of once: a damaged database kept aside under another name.
    QString notice() const;
    QString databasePath() const;
    const Identity& identity() const;
    bool hasServer() const;
    QString serverShown() const;  // the server's connection string without its password

    bool trainingSession() const;

    // Writes and syncs the record of an operation before it writes to a display ("en cours"); "" or why it
    // could not, and then nothing may be sent. Safe from any thread.
    QString begin(const JournalRecord& record);
    // The record begun, now with its end, synced; "" or why it could not be written. The record goes to the
    // shared server in the background.
    QString finish(const JournalRecord& record);
    // How long the running operation of that record has gone (kept should its program die); not waited for.
    void noteProgress(const QString& id, qint64 durationMs);
    // Writes and syncs a record whole at once; "" or why it could not be written. Safe from any thread. The
    // record goes to the shared server in the background.
    QString append(const JournalRecord& record);

    // This station's records.
    QList<JournalRecord> readLocal(const Filter& filter, QString* error);
    // Reads off the calling thread: the shared server when there is one (this station's waiting and refused
    // records beside it), else this station's database; with `stationIfNoServer`, this station's records
    // when the server cannot be read. `done` runs once, on `context`'s thread, unless the ticket is cancelled
    // or `context` destroyed first.
    std::shared_ptr<ReadTicket> read(const Filter& filter, QObject* context, std::function<void(const JournalPage&)> done,
                                     bool stationIfNoServer = false);
    // The same, waiting for the answer (the command line).
    JournalPage readNow(const Filter& filter, bool stationIfNoServer = false);
    // One page of the records in the order of time (the shared server's when there is one, else this
    // station's), read off the calling thread as read() is. With `withWaiting` and a server, this station's
    // records that are not on it come beside the page (waiting, refused), as with read().
    std::shared_ptr<ReadTicket> readPage(const PageQuery& query, bool withWaiting, QObject* context,
                                         std::function<void(const JournalPage&)> done);
    JournalPage readPageNow(const PageQuery& query, bool withWaiting = false);
    // The key of the record `skip` places from the newest the filter matches (on the server when there is
    // one); invalid when there are fewer.
    PageKey keyFromNewest(const Filter& filter, int skip, QString* error);
    // Every station's records on the shared server.
    QList<JournalRecord> readServer(const Filter& filter, QString* error);
    // The figures of the records that match (journal_summary.h), counted by the shared server when there
    // is one, else by this station's database, off the calling thread as read() is. With
    // `stationIfNoServer`, this station's figures when the server cannot be read (its reason in `error`,
    // `fromServer` false).
    std::shared_ptr<ReadTicket> summarise(const Filter& filter, QObject* context,
                                          std::function<void(const JournalSummary&)> done, bool stationIfNoServer = false);
    // The same, waiting for the answer (the command line).
    JournalSummary summaryNow(const Filter& filter, bool stationIfNoServer = false);

    // Waits at most `waitMs` (-1: until done or the server failed) for this station's records to leave.
    SyncResult flush(int waitMs);
    SyncResult synchronise() { return flush(-1); }
    int waiting();
    // This station's records the server refused, with its reasons, oldest first.
    QList<SetAsideRecord> setAside(const Filter& filter, QString* error);
    // Ends every server exchange and wait of this journal at once; its records stay waiting.
    void interrupt();
    // The same for every journal of the program, and those it opens after (the command line's Ctrl+C).
    static void interruptAll();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// A display's last `count` operations as the service sheet lists them, newest first: from the shared server
// when there is one and it answers, else from this station; the training ones only in a training session.
// Nothing when the journal cannot be read.
QStringList lastOperations(Journal& journal, const QString& display, int count = 5);
// The same read off the caller's thread, `done` called on `context`'s thread.
std::shared_ptr<ReadTicket> lastOperations(Journal& journal, const QString& display, QObject* context,
                                           std::function<void(const QStringList&)> done, int count = 5);
// "02/05/2024 10:00  programmation  réussi  marie@atelier-2  Programmation effectuée." (local time)
QString operationLine(const JournalRecord& record);

}  // namespace trivo::journal
