#pragma once
// The service journal: every operation that writes to a display leaves one record, written and synced on
// this station before the operator is told the result. With a shared server the records are sent from the
// local database in the background, in their order and each once; while the server cannot be reached the
// operations go on and the records wait for it.
//
// Recording an operation:
//     if (const QString why = journal.ready(); !why.isEmpty()) -> stop before writing to the display
//     JournalEntry entry(Operation::Programming, link.device(), journal.identity());
//     entry.setBlockBefore(...); ... the operation ...; entry.setBlockAfter(...); entry.setFile(...);
//     entry.finish(result.ok(), what the operator is told);
//     if (const QString why = journal.append(entry.record()); !why.isEmpty()) -> tell the operator
#include <QList>
#include <QString>

#include <memory>

#include "journal/journal_record.h"

namespace trivo::journal {

struct JournalSettings {
    QString databasePath;  // empty: defaultDatabasePath()
    QString serverUri;     // empty: this station only
    Identity identity;
    int busyTimeoutMs = 10000;
    // A server that could not be reached is tried again after this long, or at the next record.
    int retryMs = 10000;
};

// journal.sqlite in the user's data folder of the program.
QString defaultDatabasePath();
// The shared server of the settings ("journal/base"), for a station that does not give one.
QString settingsServerUri();
inline const QString kServerUriSetting = QStringLiteral("journal/base");

struct SyncResult {
    int sent = 0;
    int waiting = 0;
    QString error;  // why records still wait
};

class Journal {
public:
    explicit Journal(JournalSettings settings);
    // Stops sending in the background, then tries once more to send what waits.
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
    QString serverShown() const;  // the server's URI without its password

    // "" when a record can be written now: call before writing to the display.
    QString ready();
    // Writes and syncs the record; "" or why it could not be written. Safe from any thread.
    QString append(const JournalRecord& record);

    // This station's records.
    QList<JournalRecord> readLocal(const Filter& filter, QString* error);
    // Every station's records on the shared server (after sending what waits here).
    QList<JournalRecord> readServer(const Filter& filter, QString* error);

    // Sends what waits, now; blocks until done or the server failed.
    SyncResult synchronise();
    int waiting();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// A display's last `count` operations as the service sheet lists them, newest first: from the shared server
// when there is one and it answers, else from this station. Nothing when the journal cannot be read.
QStringList lastOperations(Journal& journal, const QString& display, int count = 5);
// "02/05/2024 10:00  programmation  réussi  marie@atelier-2  Programmation effectuée." (local time)
QString operationLine(const JournalRecord& record);

}  // namespace trivo::journal
