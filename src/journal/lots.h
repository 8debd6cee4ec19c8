#pragma once
// Lots defined once for every station: what a lot's units are programmed with (the model's and the
// picture's bytes, kept whole), the firmware version they must have, how many are to pass, and how far the
// lot stands. Kept with the journal: on the shared server when there is one, else in the station's
// database. A revision never changes once written: a change makes the next revision, and each unit is tied
// to the revision it was made with.
//
// The quantity holds across stations because a station reserves each unit before touching the display, in
// one transaction that counts the passed and reserved units under the lot's lock; a failed unit gives its
// place back.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

#include <memory>
#include <optional>

namespace trivo::journal {

// Letters, digits, '-', '_' and '.', at least one: a name that is also a file's name in the cache.
bool validLotName(const QString& name);

struct LotRevision {
    int number = 0;
    QByteArray model;  // the configuration file's bytes (read with files only)
    QString modelName;
    QString modelSha;
    QByteArray picture;  // empty with pictureSha empty: no picture
    QString pictureName;
    QString pictureSha;
    QString expectedVersion;  // "0102"; empty: any
    int quantity = 0;         // 0: no limit
    QString note;
    QString station;
    QString operatorName;
    QDateTime at;
    QString hash;  // the revision's own SHA-256 (see revisionHash)
};

// The SHA-256 of what makes the revision: the lot, its number, the files' hashes, the version, the quantity
// and the note. Two revisions never share it.
QString revisionHash(const QString& lot, const LotRevision& revision);

struct LotCount {
    int made = 0;  // passed and failed
    int passed = 0;
    int failed = 0;
    int reserved = 0;  // being made now
};

struct LotProgress {
    LotCount all;
    QMap<QString, LotCount> stations;
    QMap<int, LotCount> revisions;
};

struct LotDefinition {
    QString name;
    bool closed = false;
    QString station;
    QString operatorName;
    QDateTime at;
    QList<LotRevision> revisions;  // oldest first, never empty
    const LotRevision& current() const { return revisions.back(); }
};

enum class LotStatus { Done, Exists, Unknown, Closed, Full, Failed };

struct LotAnswer {
    LotStatus status = LotStatus::Done;
    QString reason;  // in the program's language; "" when done
    bool ok() const { return status == LotStatus::Done; }
};

inline const QString kReservedWord = QStringLiteral("reserve");

class LotBook {
public:
    // The server's lots with `serverUri`, else the station's database at `databasePath`.
    LotBook(const QString& databasePath, const QString& serverUri);
    ~LotBook();
    LotBook(const LotBook&) = delete;
    LotBook& operator=(const LotBook&) = delete;

    bool onServer() const;
    // "" or why the lots cannot be reached at all (the station's database that does not open).
    QString openError() const;

    // A new lot (its first revision), or with `newRevision` the next revision of a lot open; `revision`
    // gets its number and hash. Two stations at once: one is kept, the other told (Exists).
    LotAnswer define(const QString& lot, LotRevision& revision, bool newRevision);
    QList<LotDefinition> list(QString* error);
    // The lot with its revisions; the current revision's files with `withFiles`. Unknown when it is not.
    std::optional<LotDefinition> find(const QString& lot, bool withFiles, LotAnswer* answer);
    LotProgress progress(const QString& lot, QString* error);
    LotAnswer close(const QString& lot);
    // A place in the quantity for the unit `unitId` (the id of its journal record): Full when the passed
    // and reserved units reach it, Closed for a lot closed meanwhile.
    LotAnswer reserve(const QString& lot, int revision, const QString& unitId, const QString& station);
    // The unit's end: passed, or failed (its place goes back to the quantity).
    LotAnswer settle(const QString& unitId, bool passed);

    class Db;

private:
    template <typename F>
    LotAnswer transaction(F work);

    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace trivo::journal
