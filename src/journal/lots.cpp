#include "journal/lots.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <cerrno>
#include <csignal>
#include <unistd.h>

#include "common/language.h"
#include "journal/journal_record.h"
#include "journal/local_store.h"
#include "journal/server_store.h"

namespace trivo::journal {

namespace {

const QString kPassed = QStringLiteral("conforme");
const QString kFailed = QStringLiteral("echec");
// A reservation whose program ended without settling it (killed in the middle of a unit): given back.
const QString kAbandoned = QStringLiteral("abandonne");

// The statements are written once for both databases: `?` for a parameter, TS(column) for a time read back
// as the journal's text, @table for a lot table (the server's carry the trivo_ prefix).
// The revision's columns, in the order revisionFrom() reads them.
const char* const kRevisionColumns =
    "r.revision, r.fichier_modele, r.empreinte_modele, r.fichier_ecran, r.empreinte_ecran, r.version_attendue,"
    " r.quantite, r.note, r.poste, r.operateur, TS(r.horodatage), r.empreinte";

}  // namespace

class LotBook::Db {
public:
    struct Result {
        QList<QVariantList> rows;
        bool constraint = false;  // a unique key taken, a reference missing
        QString error;
        bool ok() const { return error.isEmpty(); }
    };
    virtual ~Db() = default;
    virtual QString begin() = 0;
    virtual Result exec(const QString& sql, const QVariantList& params = {}) = 0;
    virtual QByteArray blob(const QVariant& value) const = 0;
    // What a reservation keeps of the program that holds it: SQL that gives a number the database can
    // tell alive or gone.
    virtual QString holder() const = 0;
    // Gives back the lot's reservations whose program is gone.
    virtual Result releaseAbandoned(const QString& lot) = 0;
    void rollback() { exec(QStringLiteral("ROLLBACK")); }
};

using Rows = LotBook::Db::Result;

namespace {

class LocalDb final : public LotBook::Db {
public:
    explicit LocalDb(QSqlDatabase& db) : db_(db) {}
    QString begin() override { return exec(QStringLiteral("BEGIN IMMEDIATE")).error; }
    Result exec(const QString& sql, const QVariantList& params = {}) override
    {
        static const QRegularExpression time(QStringLiteral(R"(TS\(([^)]*)\))"));
        QString text = sql;
        text.replace(time, QStringLiteral("\\1"));
        text.remove(QLatin1Char('@'));
        Result out;
        QSqlQuery q(db_);
        q.setForwardOnly(true);
        if (!q.prepare(text)) {
            out.error = LocalStore::reasonOf(q.lastError());
            return out;
        }
        // A null text or bytes would be bound as NULL: an empty one is meant.
        for (const QVariant& v : params)
            q.addBindValue(v.typeId() == QMetaType::QString && v.toString().isNull() ? QVariant(QString(QLatin1String("")))
                           : v.typeId() == QMetaType::QByteArray && v.toByteArray().isNull() ? QVariant(QByteArray(""))
                                                                                             : v);
        if (!q.exec()) {
            // SQLITE_CONSTRAINT, whatever its extended code.
            out.constraint = (q.lastError().nativeErrorCode().toInt() & 0xff) == 19;
            out.error = LocalStore::reasonOf(q.lastError());
            return out;
        }
        while (q.next()) {
            QVariantList row;
            for (int c = 0; c < q.record().count(); ++c)
                row << q.value(c);
            out.rows << row;
        }
        return out;
    }
    QByteArray blob(const QVariant& value) const override { return value.toByteArray(); }
    // The station's own database: its programs are processes of this machine.
    QString holder() const override { return QString::number(::getpid()); }
    Result releaseAbandoned(const QString& lot) override
    {
        Result held = exec(QStringLiteral("SELECT id, processus FROM lot_unite WHERE lot = ? AND etat = ?"), {lot, kReservedWord});
        for (const QVariantList& row : held.rows) {
            const pid_t pid = pid_t(row[1].toLongLong());
            if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH)
                if (const Result r = exec(QStringLiteral("UPDATE lot_unite SET etat = ? WHERE id = ?"), {kAbandoned, row[0]}); !r.ok())
                    return r;
        }
        return held;
    }

private:
    QSqlDatabase& db_;
};

class ServerDb final : public LotBook::Db {
public:
    explicit ServerDb(ServerStore& server) : server_(server) {}
    QString begin() override { return exec(QStringLiteral("BEGIN")).error; }
    Result exec(const QString& sql, const QVariantList& params = {}) override
    {
        static const QRegularExpression time(QStringLiteral(R"(TS\(([^)]*)\))"));
        QString text = sql;
        text.replace(time, QStringLiteral("to_char(\\1 AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"')"));
        text.replace(QLatin1Char('@'), QLatin1String("trivo_"));
        QString numbered;
        int n = 0;
        for (const QChar c : text)
            numbered += c == QLatin1Char('?') ? QStringLiteral("$%1").arg(++n) : QString(c);
        QList<QByteArray> values;
        for (const QVariant& v : params)
            values << (v.typeId() == QMetaType::QByteArray ? "\\x" + v.toByteArray().toHex() : v.toString().toUtf8());
        const ServerRows rows = server_.query(numbered.toUtf8(), values);
        Result out;
        out.error = rows.error;
        out.constraint = rows.sqlState.startsWith(QLatin1String("23"));
        for (const QList<QByteArray>& r : rows.rows) {
            QVariantList row;
            for (const QByteArray& v : r)
                row << QString::fromUtf8(v);
            out.rows << row;
        }
        return out;
    }
    QByteArray blob(const QVariant& value) const override
    {
        const QString text = value.toString();
        return text.startsWith(QLatin1String("\\x")) ? QByteArray::fromHex(text.mid(2).toLatin1()) : QByteArray();
    }
    // The server's process of the station's connection: it ends with the station's program, however that
    // ends, and the server lists every live one.
    QString holder() const override { return QStringLiteral("pg_backend_pid()"); }
    Result releaseAbandoned(const QString& lot) override
    {
        return exec(QStringLiteral("UPDATE @lot_unite SET etat = ? WHERE lot = ? AND etat = ? AND processus <> 0"
                                   " AND processus NOT IN (SELECT pid FROM pg_stat_activity)"),
                    {kAbandoned, lot, kReservedWord});
    }

private:
    ServerStore& server_;
};

LotRevision revisionFrom(const QVariantList& row, int from)
{
    LotRevision r;
    r.number = row[from].toInt();
    r.modelName = row[from + 1].toString();
    r.modelSha = row[from + 2].toString();
    r.pictureName = row[from + 3].toString();
    r.pictureSha = row[from + 4].toString();
    r.expectedVersion = row[from + 5].toString();
    r.quantity = row[from + 6].toInt();
    r.note = row[from + 7].toString();
    r.station = row[from + 8].toString();
    r.operatorName = row[from + 9].toString();
    r.at = timeFromText(row[from + 10].toString());
    r.hash = row[from + 11].toString();
    return r;
}

QList<LotDefinition> definitionsFrom(const QList<QVariantList>& rows)
{
    QList<LotDefinition> lots;
    for (const QVariantList& row : rows) {
        if (lots.isEmpty() || lots.back().name != row[0].toString()) {
            LotDefinition lot;
            lot.name = row[0].toString();
            const QString closed = row[1].toString();
            lot.closed = closed == QLatin1String("t") || closed == QLatin1String("1") || closed == QLatin1String("true");
            lot.at = timeFromText(row[2].toString());
            lot.station = row[3].toString();
            lot.operatorName = row[4].toString();
            lots << lot;
        }
        lots.back().revisions << revisionFrom(row, 5);
    }
    return lots;
}

QString selectLots(const QString& where)
{
    return QStringLiteral("SELECT l.nom, l.clos, TS(l.horodatage), l.poste, l.operateur, %1 FROM @lot l"
                          " JOIN @lot_revision r ON r.lot = l.nom%2 ORDER BY l.nom, r.revision")
        .arg(QLatin1String(kRevisionColumns), where);
}

LotAnswer failed(const QString& why) { return {LotStatus::Failed, why}; }

}  // namespace

bool validLotName(const QString& name)
{
    static const QRegularExpression allowed(QStringLiteral("^[A-Za-z0-9._-]+$"));
    return allowed.match(name).hasMatch();
}

QString revisionHash(const QString& lot, const LotRevision& r)
{
    const QStringList parts{lot,
                            QString::number(r.number),
                            r.modelSha,
                            r.pictureSha,
                            r.expectedVersion,
                            QString::number(r.quantity),
                            r.note};
    return sha256Hex(parts.join(QLatin1Char('\n')).toUtf8());
}

struct LotBook::Private {
    QString serverUri;
    std::unique_ptr<LocalStore> local;
    std::unique_ptr<ServerStore> server;
};

LotBook::LotBook(const QString& databasePath, const QString& serverUri) : d(std::make_unique<Private>())
{
    d->serverUri = serverUri;
    if (serverUri.isEmpty())
        d->local = std::make_unique<LocalStore>(StoreOptions{databasePath});
    else
        d->server = std::make_unique<ServerStore>(serverUri);
}

LotBook::~LotBook() = default;

bool LotBook::onServer() const { return d->server != nullptr; }

QString LotBook::openError() const { return d->local ? d->local->openError() : QString(); }

// `work` on the database, on the thread its connection belongs to: the server's connection here, the
// station's database on its store's thread.
template <typename F>
LotAnswer LotBook::transaction(F work)
{
    LotAnswer answer;
    if (d->server) {
        if (const QString why = d->server->connect(); !why.isEmpty())
            return failed(why);
        ServerDb db(*d->server);
        answer = work(db);
        return answer;
    }
    const QString why = d->local->withDatabase([&](QSqlDatabase& database) {
        LocalDb db(database);
        answer = work(db);
        return QString();
    });
    return why.isEmpty() ? answer : failed(why);
}

LotAnswer LotBook::define(const QString& lot, LotRevision& revision, bool newRevision)
{
    return transaction([&](Db& db) -> LotAnswer {
        if (const QString why = db.begin(); !why.isEmpty())
            return failed(why);
        auto abandon = [&](LotAnswer answer) {
            db.rollback();
            return answer;
        };
        if (!revision.at.isValid())
            revision.at = QDateTime::currentDateTimeUtc();
        if (newRevision) {
            const Rows found = db.exec(QStringLiteral("SELECT clos FROM @lot WHERE nom = ?%1")
                                             .arg(onServer() ? QStringLiteral(" FOR UPDATE") : QString()),
                                         {lot});
            if (!found.ok())
                return abandon(failed(found.error));
            if (found.rows.isEmpty())
                return abandon({LotStatus::Unknown, T("lot %1 inconnu").arg(lot)});
            const QString closed = found.rows[0][0].toString();
            if (closed == QLatin1String("t") || closed == QLatin1String("1"))
                return abandon({LotStatus::Closed, T("lot %1 clos").arg(lot)});
            const Rows last = db.exec(QStringLiteral("SELECT coalesce(max(revision), 0) FROM @lot_revision WHERE lot = ?"), {lot});
            if (!last.ok() || last.rows.isEmpty())
                return abandon(failed(last.error));
            revision.number = last.rows[0][0].toInt() + 1;
        } else {
            const Rows made = db.exec(QStringLiteral("INSERT INTO @lot (nom, clos, horodatage, poste, operateur) VALUES (?, ?, ?, ?, ?)"),
                                        {lot, onServer() ? QVariant(QStringLiteral("false")) : QVariant(0),
                                         timeText(revision.at), revision.station, revision.operatorName});
            if (!made.ok()) {
                db.rollback();
                if (!made.constraint)
                    return failed(made.error);
                const Rows by = db.exec(QStringLiteral("SELECT poste, operateur FROM @lot WHERE nom = ?"), {lot});
                const QString who = by.ok() && !by.rows.isEmpty()
                    ? QStringLiteral("%1@%2").arg(by.rows[0][1].toString(), by.rows[0][0].toString())
                    : QString();
                return {LotStatus::Exists, T("le lot %1 est déjà défini%2 ; --revision en fait une nouvelle révision")
                                               .arg(lot, who.isEmpty() ? QString() : T(" (par %1)").arg(who))};
            }
            revision.number = 1;
        }
        revision.hash = revisionHash(lot, revision);
        const Rows written = db.exec(
            QStringLiteral("INSERT INTO @lot_revision (lot, revision, modele, fichier_modele, empreinte_modele, ecran,"
                           " fichier_ecran, empreinte_ecran, version_attendue, quantite, note, poste, operateur,"
                           " horodatage, empreinte) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {lot, revision.number, revision.model, revision.modelName, revision.modelSha, revision.picture,
             revision.pictureName, revision.pictureSha, revision.expectedVersion, revision.quantity, revision.note,
             revision.station, revision.operatorName, timeText(revision.at), revision.hash});
        if (!written.ok())
            return abandon(written.constraint
                               ? LotAnswer{LotStatus::Exists, T("la révision %1 du lot %2 vient d'être définie par un autre poste")
                                                                  .arg(revision.number)
                                                                  .arg(lot)}
                               : failed(written.error));
        if (const Rows end = db.exec(QStringLiteral("COMMIT")); !end.ok())
            return abandon(end.constraint ? LotAnswer{LotStatus::Exists, T("le lot %1 vient d'être défini par un autre poste").arg(lot)}
                                          : failed(end.error));
        return {};
    });
}

QList<LotDefinition> LotBook::list(QString* error)
{
    QList<LotDefinition> lots;
    const LotAnswer answer = transaction([&](Db& db) -> LotAnswer {
        const Rows rows = db.exec(selectLots(QString()));
        if (!rows.ok())
            return failed(rows.error);
        lots = definitionsFrom(rows.rows);
        return {};
    });
    if (error)
        *error = answer.reason;
    return lots;
}

std::optional<LotDefinition> LotBook::find(const QString& lot, bool withFiles, LotAnswer* answerOut)
{
    std::optional<LotDefinition> found;
    const LotAnswer answer = transaction([&](Db& db) -> LotAnswer {
        const Rows rows = db.exec(selectLots(QStringLiteral(" WHERE l.nom = ?")), {lot});
        if (!rows.ok())
            return failed(rows.error);
        const QList<LotDefinition> lots = definitionsFrom(rows.rows);
        if (lots.isEmpty())
            return {LotStatus::Unknown, T("lot %1 inconnu").arg(lot)};
        found = lots.front();
        if (!withFiles)
            return {};
        LotRevision& current = found->revisions.back();
        const Rows files = db.exec(QStringLiteral("SELECT modele, ecran FROM @lot_revision WHERE lot = ? AND revision = ?"),
                                     {lot, current.number});
        if (!files.ok() || files.rows.isEmpty()) {
            found.reset();
            return failed(files.error);
        }
        current.model = db.blob(files.rows[0][0]);
        current.picture = db.blob(files.rows[0][1]);
        return {};
    });
    if (answerOut)
        *answerOut = answer;
    return answer.ok() ? found : std::nullopt;
}

LotProgress LotBook::progress(const QString& lot, QString* error)
{
    LotProgress progress;
    const LotAnswer answer = transaction([&](Db& db) -> LotAnswer {
        if (const Rows released = db.releaseAbandoned(lot); !released.ok())
            return failed(released.error);
        const Rows rows = db.exec(
            QStringLiteral("SELECT revision, poste, etat, count(*) FROM @lot_unite WHERE lot = ? GROUP BY revision, poste, etat"),
            {lot});
        if (!rows.ok())
            return failed(rows.error);
        for (const QVariantList& row : rows.rows) {
            const int n = row[3].toInt();
            const QString state = row[2].toString();
            for (LotCount* count : {&progress.all, &progress.stations[row[1].toString()], &progress.revisions[row[0].toInt()]}) {
                if (state == kPassed)
                    count->passed += n;
                else if (state == kFailed)
                    count->failed += n;
                else if (state == kReservedWord)
                    count->reserved += n;
                count->made = count->passed + count->failed;
            }
        }
        return {};
    });
    if (error)
        *error = answer.reason;
    return progress;
}

LotAnswer LotBook::close(const QString& lot)
{
    return transaction([&](Db& db) -> LotAnswer {
        const Rows closed = db.exec(QStringLiteral("UPDATE @lot SET clos = %1 WHERE nom = ? RETURNING nom")
                                          .arg(onServer() ? QStringLiteral("true") : QStringLiteral("1")),
                                      {lot});
        if (!closed.ok())
            return failed(closed.error);
        if (closed.rows.isEmpty())
            return {LotStatus::Unknown, T("lot %1 inconnu").arg(lot)};
        return {};
    });
}

LotAnswer LotBook::reserve(const QString& lot, int revision, const QString& unitId, const QString& station)
{
    return transaction([&](Db& db) -> LotAnswer {
        if (const QString why = db.begin(); !why.isEmpty())
            return failed(why);
        auto abandon = [&](LotAnswer answer) {
            db.rollback();
            return answer;
        };
        // The lot's row locked: the stations reserve one at a time, each counting what the others hold.
        const Rows found = db.exec(QStringLiteral("SELECT clos FROM @lot WHERE nom = ?%1")
                                         .arg(onServer() ? QStringLiteral(" FOR UPDATE") : QString()),
                                     {lot});
        if (!found.ok())
            return abandon(failed(found.error));
        if (found.rows.isEmpty())
            return abandon({LotStatus::Unknown, T("lot %1 inconnu").arg(lot)});
        const QString closed = found.rows[0][0].toString();
        if (closed == QLatin1String("t") || closed == QLatin1String("1"))
            return abandon({LotStatus::Closed, T("lot %1 clos").arg(lot)});
        const Rows quantity = db.exec(
            QStringLiteral("SELECT quantite FROM @lot_revision WHERE lot = ? ORDER BY revision DESC LIMIT 1"), {lot});
        if (!quantity.ok() || quantity.rows.isEmpty())
            return abandon(failed(quantity.error));
        if (const Rows released = db.releaseAbandoned(lot); !released.ok())
            return abandon(failed(released.error));
        if (const int wanted = quantity.rows[0][0].toInt(); wanted > 0) {
            const Rows taken = db.exec(
                QStringLiteral("SELECT count(*) FROM @lot_unite WHERE lot = ? AND etat IN (?, ?)"), {lot, kPassed, kReservedWord});
            if (!taken.ok() || taken.rows.isEmpty())
                return abandon(failed(taken.error));
            if (taken.rows[0][0].toInt() >= wanted)
                return abandon({LotStatus::Full, T("lot %1 : quantité atteinte (%2)").arg(lot).arg(wanted)});
        }
        const Rows made = db.exec(QStringLiteral("INSERT INTO @lot_unite (id, lot, revision, poste, etat, horodatage, processus)"
                                                 " VALUES (?, ?, ?, ?, ?, ?, %1)").arg(db.holder()),
                                    {unitId, lot, revision, station, kReservedWord, timeText(QDateTime::currentDateTimeUtc())});
        if (!made.ok())
            return abandon(failed(made.error));
        if (const Rows end = db.exec(QStringLiteral("COMMIT")); !end.ok())
            return abandon(failed(end.error));
        return {};
    });
}

LotAnswer LotBook::settle(const QString& unitId, bool passed)
{
    return transaction([&](Db& db) -> LotAnswer {
        const Rows set = db.exec(QStringLiteral("UPDATE @lot_unite SET etat = ? WHERE id = ?"),
                                   {passed ? kPassed : kFailed, unitId});
        return set.ok() ? LotAnswer{} : failed(set.error);
    });
}

}  // namespace trivo::journal
