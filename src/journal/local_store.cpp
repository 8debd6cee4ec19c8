#include "journal/local_store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "common/language.h"

namespace trivo::journal {

namespace {

constexpr int kSchemaVersion = 2;

// The statements that take a database from version N-1 to N, N from 1.
const char* const kMigrations[] = {
    "CREATE TABLE journal ("
    " seq INTEGER PRIMARY KEY AUTOINCREMENT,"
    " id TEXT NOT NULL UNIQUE, horodatage TEXT NOT NULL, poste TEXT NOT NULL, operateur TEXT NOT NULL,"
    " lot TEXT NOT NULL, afficheur TEXT NOT NULL, chemin TEXT NOT NULL, version TEXT NOT NULL,"
    " operation TEXT NOT NULL, resultat TEXT NOT NULL, message TEXT NOT NULL, empreinte_avant TEXT NOT NULL,"
    " empreinte_apres TEXT NOT NULL, empreinte_fichier TEXT NOT NULL, fichier TEXT NOT NULL,"
    " duree_ms INTEGER NOT NULL, envoye INTEGER NOT NULL DEFAULT 0);"
    "CREATE INDEX journal_a_envoyer ON journal(seq) WHERE envoye = 0;"
    "CREATE INDEX journal_afficheur ON journal(afficheur);"
    "CREATE INDEX journal_chemin ON journal(chemin);",
    // 2: training records apart; who writes a record still "en cours" (so that only a dead program's record
    // is taken for interrupted); why the server refused a record set aside (it is not sent again).
    "ALTER TABLE journal ADD COLUMN formation INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE journal ADD COLUMN proprietaire TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE journal ADD COLUMN rejet TEXT NOT NULL DEFAULT '';",
};

// Finished and not sent: what the sender takes. A record still running is sent once it ends; one the server
// refused is kept aside.
const char* const kWaiting = "envoye = 0 AND rejet = '' AND resultat <> 'en cours'";
const char* const kSetAside = "envoye = 0 AND rejet <> ''";

const char* const kColumns = "seq, id, horodatage, poste, operateur, lot, afficheur, chemin, version, operation, "
                             "resultat, message, empreinte_avant, empreinte_apres, empreinte_fichier, fichier, "
                             "duree_ms, formation";

// SQLite's primary result codes that the operator is told about in French.
enum SqliteCode { kBusy = 5, kLocked = 6, kReadOnly = 8, kIoError = 10, kCorrupt = 11, kFull = 13, kCantOpen = 14,
                  kNotADatabase = 26 };

int sqliteCode(const QSqlError& error) { return error.nativeErrorCode().toInt() & 0xff; }

bool isDamage(const QSqlError& error)
{
    const int code = sqliteCode(error);
    return code == kCorrupt || code == kNotADatabase;
}

QString reasonOf(const QSqlError& error)
{
    switch (sqliteCode(error)) {
    case kBusy:
    case kLocked: return T("la base est verrouillée par un autre programme");
    case kReadOnly: return T("la base est en lecture seule");
    case kIoError: return T("erreur d'entrée-sortie sur le disque");
    case kCorrupt:
    case kNotADatabase: return T("la base est endommagée");
    case kFull: return T("le disque est plein");
    case kCantOpen: return T("la base ne peut pas être ouverte");
    default: break;
    }
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.isEmpty() ? T("erreur inconnue") : text;
}

JournalRecord recordFrom(const QSqlQuery& q)
{
    JournalRecord r;
    r.id = q.value(1).toString();
    r.at = timeFromText(q.value(2).toString());
    r.station = q.value(3).toString();
    r.operatorName = q.value(4).toString();
    r.lot = q.value(5).toString();
    r.serial = q.value(6).toString();
    r.usbPath = q.value(7).toString();
    r.version = q.value(8).toString();
    r.operation = operationFromName(q.value(9).toString()).value_or(Operation::Command);
    r.outcome = resultFromWord(q.value(10).toString());
    r.message = q.value(11).toString();
    r.hashBefore = q.value(12).toString();
    r.hashAfter = q.value(13).toString();
    r.hashFile = q.value(14).toString();
    r.fileName = q.value(15).toString();
    r.durationMs = q.value(16).toLongLong();
    r.training = q.value(17).toInt() != 0;
    return r;
}

std::atomic<int> connectionCount{0};

}  // namespace

// The store's thread: every statement runs here, in the order asked.
class LocalStore::Worker {
public:
    explicit Worker(StoreOptions options)
        : options_(std::move(options)),
          connection_(QStringLiteral("trivo-journal-%1").arg(connectionCount.fetch_add(1)))
    {
        thread_ = std::thread([this] { loop(); });
        run([this] { open(); });
    }

    ~Worker()
    {
        run([this] {
            {
                QSqlDatabase db = QSqlDatabase::database(connection_, false);
                db.close();
            }
            QSqlDatabase::removeDatabase(connection_);
        });
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

    template <typename F>
    auto run(F f) -> decltype(f())
    {
        using R = decltype(f());
        std::packaged_task<R()> task(std::move(f));
        std::future<R> result = task.get_future();
        {
            std::lock_guard lock(mutex_);
            tasks_.emplace_back([&task] { task(); });
        }
        wake_.notify_one();
        return result.get();
    }

    // --- on the store's thread --------------------------------------------------------------------
    QSqlDatabase db() const { return QSqlDatabase::database(connection_, false); }

    QString writeError(const QString& reason) const
    {
        return T("le journal de service %1 ne peut pas être écrit : %2")
            .arg(QDir::toNativeSeparators(options_.path), reason);
    }

    void open()
    {
        openError_.clear();
        const QFileInfo file(options_.path);
        if (!QDir().mkpath(file.absolutePath())) {
            openError_ = writeError(T("le dossier %1 ne peut pas être créé")
                                        .arg(QDir::toNativeSeparators(file.absolutePath())));
            return;
        }
        QSqlError error;
        if (openDatabase(&error))
            return;
        if (!isDamage(error)) {
            openError_ = writeError(reasonOf(error));
            return;
        }
        // Kept for whoever wants to look into it; the station goes on with a new one.
        closeDatabase();
        if (!setAside()) {
            openError_ = writeError(T("la base est endommagée et ne peut pas être mise de côté"));
            return;
        }
        if (!openDatabase(&error))
            openError_ = writeError(reasonOf(error));
    }

    bool openDatabase(QSqlError* error)
    {
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
            openError_ = writeError(T("le pilote SQLite de Qt manque (paquet libqt6sql6-sqlite)"));
            return true;  // nothing else to try
        }
        QSqlDatabase db = QSqlDatabase::contains(connection_)
            ? QSqlDatabase::database(connection_, false)
            : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
        db.setDatabaseName(options_.path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(options_.busyTimeoutMs));
        if (!db.open()) {
            *error = db.lastError();
            return false;
        }
        QSqlQuery q(db);
        // WAL: readers (the history) never wait for the line's writes. FULL: each commit is synced.
        for (const char* pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL", "PRAGMA quick_check"}) {
            if (!q.exec(QString::fromLatin1(pragma))) {
                *error = q.lastError();
                return false;
            }
            if (QLatin1String(pragma) == QLatin1String("PRAGMA quick_check")
                && (!q.next() || q.value(0).toString() != QLatin1String("ok"))) {
                *error = QSqlError(QString(), QStringLiteral("quick_check"), QSqlError::StatementError,
                                   QString::number(kCorrupt));
                return false;
            }
        }
        return migrate(db, error);
    }

    bool migrate(QSqlDatabase& db, QSqlError* error)
    {
        QSqlQuery q(db);
        auto fail = [&] {
            *error = q.lastError();
            q.exec(QStringLiteral("ROLLBACK"));
            return false;
        };
        // One program at a time upgrades the database; the others find it done.
        if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
            return fail();
        if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS journal_version (version INTEGER NOT NULL)")))
            return fail();
        if (!q.exec(QStringLiteral("SELECT version FROM journal_version")))
            return fail();
        const int version = q.next() ? q.value(0).toInt() : 0;
        if (version > kSchemaVersion) {
            q.exec(QStringLiteral("ROLLBACK"));
            openError_ = writeError(T("la base vient d'une version plus récente du programme"));
            return true;
        }
        for (int v = version; v < kSchemaVersion; ++v)
            for (const QString& statement : QString::fromLatin1(kMigrations[v]).split(QLatin1Char(';'), Qt::SkipEmptyParts))
                if (!q.exec(statement))
                    return fail();
        if (version != kSchemaVersion) {
            q.exec(QStringLiteral("DELETE FROM journal_version"));
            q.prepare(QStringLiteral("INSERT INTO journal_version (version) VALUES (?)"));
            q.addBindValue(kSchemaVersion);
            if (!q.exec())
                return fail();
        }
        if (!q.exec(QStringLiteral("COMMIT")))
            return fail();
        return true;
    }

    void closeDatabase()
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }

    bool setAside()
    {
        const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString target = options_.path + QStringLiteral(".endommage-") + stamp;
        for (int n = 2; QFile::exists(target); ++n)
            target = options_.path + QStringLiteral(".endommage-%1-%2").arg(stamp).arg(n);
        if (!QFile::rename(options_.path, target))
            return false;
        // The write-ahead log belongs with its database: renamed along, so that it is never applied to the new one.
        for (const char* suffix : {"-wal", "-shm"})
            if (QFile::exists(options_.path + QLatin1String(suffix)))
                QFile::rename(options_.path + QLatin1String(suffix), target + QLatin1String(suffix));
        setAsidePath_ = target;
        return true;
    }

    QString ready()
    {
        if (!openError_.isEmpty())
            return openError_;
        QSqlQuery q(db());
        if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
            return writeError(reasonOf(q.lastError()));
        q.exec(QStringLiteral("ROLLBACK"));
        return {};
    }

    bool insert(const JournalRecord& r, QSqlError* error)
    {
        QSqlQuery q(db());
        q.prepare(QStringLiteral("INSERT INTO journal (id, horodatage, poste, operateur, lot, afficheur, chemin, "
                                 "version, operation, resultat, message, empreinte_avant, empreinte_apres, "
                                 "empreinte_fichier, fichier, duree_ms, formation) "
                                 "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
        for (const QString& v : {r.id, timeText(r.at), r.station, r.operatorName, r.lot, r.serial, r.usbPath, r.version,
                                 operationName(r.operation), r.result(), r.message, r.hashBefore, r.hashAfter,
                                 r.hashFile, r.fileName})
            q.addBindValue(v.isNull() ? QString(QLatin1String("")) : v);
        q.addBindValue(r.durationMs);
        q.addBindValue(r.training ? 1 : 0);
        if (q.exec())
            return true;
        *error = q.lastError();
        return false;
    }

    // The records in one transaction, synced once: the places of a line that finish together wait for one
    // sync, not one each.
    bool insertAll(const std::vector<const JournalRecord*>& records, QSqlError* error)
    {
        QSqlQuery q(db());
        if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
            *error = q.lastError();
            return false;
        }
        for (const JournalRecord* r : records)
            if (!insert(*r, error)) {
                q.exec(QStringLiteral("ROLLBACK"));
                return false;
            }
        if (q.exec(QStringLiteral("COMMIT")))
            return true;
        *error = q.lastError();
        q.exec(QStringLiteral("ROLLBACK"));
        return false;
    }

    QString append(const std::vector<const JournalRecord*>& records)
    {
        if (!openError_.isEmpty())
            return openError_;
        QSqlError error;
        if (insertAll(records, &error))
            return {};
        if (!isDamage(error))
            return writeError(reasonOf(error));
        // Damaged while in use (a disk fault): the records go into a new database rather than nowhere.
        closeDatabase();
        if (!setAside() || !openDatabase(&error) || !openError_.isEmpty() || !insertAll(records, &error))
            return openError_.isEmpty() ? writeError(reasonOf(error)) : openError_;
        return {};
    }

    // Called from any thread: waits until the record is committed with those queued beside it.
    QString queueAppend(const JournalRecord& record)
    {
        std::promise<QString> done;
        std::future<QString> result = done.get_future();
        {
            std::lock_guard lock(mutex_);
            appends_.push_back({&record, &done});
        }
        wake_.notify_one();
        return result.get();
    }

    // `condition`: an SQL condition more on the records; `reasons`: each record's reason to be set aside.
    QList<JournalRecord> read(const Filter& f, QString* error, const char* condition = nullptr,
                              QStringList* reasons = nullptr)
    {
        QString where = QStringLiteral(" WHERE 1=1");
        if (condition)
            where += QStringLiteral(" AND ") + QLatin1String(condition);
        QVariantList values;
        if (!f.display.isEmpty()) {
            where += QStringLiteral(" AND (afficheur = ? OR chemin = ?)");
            values << f.display << f.display;
        }
        if (!f.lot.isEmpty()) {
            where += QStringLiteral(" AND lot = ?");
            values << f.lot;
        }
        if (f.since.isValid()) {
            where += QStringLiteral(" AND horodatage >= ?");
            values << timeText(f.since);
        }
        const QString columns = QLatin1String(kColumns) + (reasons ? QStringLiteral(", rejet") : QString());
        QString sql = QStringLiteral("SELECT %1 FROM journal%2 ORDER BY seq").arg(columns, where);
        if (f.limit > 0)
            sql = QStringLiteral("SELECT * FROM (SELECT %1 FROM journal%2 ORDER BY seq DESC LIMIT %3) ORDER BY seq")
                      .arg(columns, where)
                      .arg(f.limit);
        return select(sql, values, error, nullptr, reasons);
    }

    QList<JournalRecord> select(const QString& sql, const QVariantList& values, QString* error, QList<qint64>* seqs = nullptr,
                                QStringList* reasons = nullptr)
    {
        QList<JournalRecord> records;
        if (!openError_.isEmpty()) {
            if (error)
                *error = openError_;
            return records;
        }
        QSqlQuery q(db());
        q.setForwardOnly(true);
        q.prepare(sql);
        for (const QVariant& v : values)
            q.addBindValue(v);
        if (!q.exec()) {
            if (error)
                *error = T("le journal de service %1 ne peut pas être lu : %2")
                             .arg(QDir::toNativeSeparators(options_.path), reasonOf(q.lastError()));
            return records;
        }
        while (q.next()) {
            records << recordFrom(q);
            if (seqs)
                *seqs << q.value(0).toLongLong();
            if (reasons)
                *reasons << q.value(18).toString();
        }
        return records;
    }

    QString markSent(const QList<qint64>& seqs)
    {
        if (!openError_.isEmpty())
            return openError_;
        QSqlQuery q(db());
        // A mark lost to a power cut only means the record is sent again, which the server ignores: this
        // commit need not wait for the disk.
        q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
        bool ok = q.exec(QStringLiteral("BEGIN IMMEDIATE"));
        q.prepare(QStringLiteral("UPDATE journal SET envoye = 1 WHERE seq = ?"));
        for (qint64 seq : seqs) {
            if (!ok)
                break;
            q.bindValue(0, seq);
            ok = q.exec();
        }
        QSqlError error = q.lastError();
        QSqlQuery end(db());
        if (ok)
            ok = end.exec(QStringLiteral("COMMIT"));
        if (!ok) {
            error = end.lastError().isValid() ? end.lastError() : error;
            end.exec(QStringLiteral("ROLLBACK"));
        }
        end.exec(QStringLiteral("PRAGMA synchronous=FULL"));
        return ok ? QString() : writeError(reasonOf(error));
    }

    StoreOptions options_;
    QString connection_;
    QString openError_;
    QString setAsidePath_;

private:
    struct AppendJob {
        const JournalRecord* record;
        std::promise<QString>* done;
    };

    void loop()
    {
        for (;;) {
            std::function<void()> task;
            std::vector<AppendJob> appends;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return stop_ || !tasks_.empty() || !appends_.empty(); });
                if (!appends_.empty()) {
                    appends.swap(appends_);
                } else if (!tasks_.empty()) {
                    task = std::move(tasks_.front());
                    tasks_.pop_front();
                } else {
                    return;
                }
            }
            if (task) {
                task();
                continue;
            }
            std::vector<const JournalRecord*> records;
            for (const AppendJob& job : appends)
                records.push_back(job.record);
            const QString why = append(records);
            for (AppendJob& job : appends)
                job.done->set_value(why);
        }
    }

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> tasks_;
    std::vector<AppendJob> appends_;
    bool stop_ = false;
};

LocalStore::LocalStore(StoreOptions options) : worker_(std::make_unique<Worker>(std::move(options))) {}

LocalStore::~LocalStore() = default;

QString LocalStore::openError() const
{
    return worker_->run([this] { return worker_->openError_; });
}

QString LocalStore::setAsidePath() const
{
    return worker_->run([this] { return worker_->setAsidePath_; });
}

QString LocalStore::path() const { return worker_->options_.path; }

QString LocalStore::ready()
{
    return worker_->run([this] { return worker_->ready(); });
}

QString LocalStore::append(const JournalRecord& record)
{
    return worker_->queueAppend(record);
}

QList<JournalRecord> LocalStore::read(const Filter& filter, QString* error)
{
    return worker_->run([this, &filter, error] { return worker_->read(filter, error); });
}

QList<PendingRecord> LocalStore::pending(int limit, QString* error)
{
    return worker_->run([this, limit, error] {
        QList<qint64> seqs;
        const QList<JournalRecord> records = worker_->select(
            QStringLiteral("SELECT %1 FROM journal WHERE %2 ORDER BY seq LIMIT %3")
                .arg(QLatin1String(kColumns), QLatin1String(kWaiting))
                .arg(limit),
            {}, error, &seqs);
        QList<PendingRecord> pending;
        for (qsizetype i = 0; i < records.size(); ++i)
            pending << PendingRecord{seqs[i], records[i]};
        return pending;
    });
}

int LocalStore::pendingCount(QString* error)
{
    return count(kWaiting, error);
}

int LocalStore::setAsideCount(QString* error)
{
    return count(kSetAside, error);
}

int LocalStore::count(const char* condition, QString* error)
{
    return worker_->run([this, condition, error] {
        if (!worker_->openError_.isEmpty()) {
            if (error)
                *error = worker_->openError_;
            return 0;
        }
        QSqlQuery q(worker_->db());
        if (!q.exec(QStringLiteral("SELECT count(*) FROM journal WHERE ") + QLatin1String(condition)) || !q.next()) {
            if (error)
                *error = reasonOf(q.lastError());
            return 0;
        }
        return q.value(0).toInt();
    });
}

QString LocalStore::markSent(const QList<qint64>& seqs)
{
    return worker_->run([this, &seqs] { return worker_->markSent(seqs); });
}

QString LocalStore::setAside(qint64 seq, const QString& reason)
{
    return worker_->run([this, seq, &reason] {
        if (!worker_->openError_.isEmpty())
            return worker_->openError_;
        QSqlQuery q(worker_->db());
        q.prepare(QStringLiteral("UPDATE journal SET rejet = ? WHERE seq = ?"));
        // An empty reason would leave the record waiting: it is sent again and refused again.
        q.addBindValue(reason.isEmpty() ? QStringLiteral("?") : reason);
        q.addBindValue(seq);
        return q.exec() ? QString() : worker_->writeError(reasonOf(q.lastError()));
    });
}

QList<JournalRecord> LocalStore::waiting(const Filter& filter, QString* error)
{
    return worker_->run([this, &filter, error] { return worker_->read(filter, error, kWaiting); });
}

QList<SetAsideRecord> LocalStore::setAside(const Filter& filter, QString* error)
{
    return worker_->run([this, &filter, error] {
        QStringList reasons;
        const QList<JournalRecord> records = worker_->read(filter, error, kSetAside, &reasons);
        QList<SetAsideRecord> aside;
        for (qsizetype i = 0; i < records.size(); ++i)
            aside << SetAsideRecord{records[i], reasons.value(i)};
        return aside;
    });
}

}  // namespace trivo::journal
