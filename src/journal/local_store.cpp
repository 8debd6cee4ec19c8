#include "journal/local_store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "common/language.h"

namespace trivo::journal {

namespace {

constexpr int kSchemaVersion = 4;

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
    "ALTER TABLE journal ADD COLUMN rejet TEXT NOT NULL DEFAULT '';"
    "CREATE INDEX journal_en_cours ON journal(seq) WHERE resultat = 'en cours';",
    // 3: the lots defined on this station (without a shared server): each revision's files kept whole, and
    // the units reserved and made, by which the quantity is kept; a unit's record names its revision.
    "ALTER TABLE journal ADD COLUMN empreinte_lot TEXT NOT NULL DEFAULT '';"
    "CREATE TABLE lot (nom TEXT PRIMARY KEY, clos INTEGER NOT NULL DEFAULT 0, horodatage TEXT NOT NULL,"
    " poste TEXT NOT NULL, operateur TEXT NOT NULL);"
    "CREATE TABLE lot_revision (lot TEXT NOT NULL REFERENCES lot (nom), revision INTEGER NOT NULL,"
    " modele BLOB NOT NULL, fichier_modele TEXT NOT NULL, empreinte_modele TEXT NOT NULL, ecran BLOB NOT NULL,"
    " fichier_ecran TEXT NOT NULL, empreinte_ecran TEXT NOT NULL, version_attendue TEXT NOT NULL,"
    " quantite INTEGER NOT NULL, note TEXT NOT NULL, poste TEXT NOT NULL, operateur TEXT NOT NULL,"
    " horodatage TEXT NOT NULL, empreinte TEXT NOT NULL, PRIMARY KEY (lot, revision));"
    "CREATE TABLE lot_unite (id TEXT PRIMARY KEY, lot TEXT NOT NULL REFERENCES lot (nom), revision INTEGER NOT NULL,"
    " poste TEXT NOT NULL, etat TEXT NOT NULL, horodatage TEXT NOT NULL, processus INTEGER NOT NULL DEFAULT 0);"
    "CREATE INDEX lot_unite_lot ON lot_unite (lot);",
    // 4: what the history and the figures ask for, in the journal's order of time (each index ends with the
    // record's place): a page costs the same in a journal of ten million records as in one of ten.
    "CREATE INDEX journal_horodatage ON journal(horodatage);"
    "DROP INDEX journal_afficheur;"
    "CREATE INDEX journal_afficheur ON journal(afficheur, horodatage);"
    "DROP INDEX journal_chemin;"
    "CREATE INDEX journal_chemin ON journal(chemin, horodatage);"
    "CREATE INDEX journal_lot ON journal(lot, horodatage);"
    "CREATE INDEX journal_resultat ON journal(resultat, horodatage);"
    "CREATE INDEX journal_operation ON journal(operation, horodatage);",
};

// Finished and not sent: what the sender takes. A record still running is sent once it ends; one the server
// refused is kept aside.
const char* const kWaiting = "envoye = 0 AND rejet = '' AND resultat <> 'en cours'";
const char* const kSetAside = "envoye = 0 AND rejet <> ''";
// Records marked sent by one statement: a statement's text stays far within SQLite's bounds.
constexpr qsizetype kMarkedPerStatement = 10000;

const char* const kColumns = "seq, id, horodatage, poste, operateur, lot, afficheur, chemin, version, operation, "
                             "resultat, message, empreinte_avant, empreinte_apres, empreinte_fichier, fichier, "
                             "duree_ms, formation, empreinte_lot";

// SQLite's primary result codes that the operator is told about in French.
enum SqliteCode { kBusy = 5, kLocked = 6, kReadOnly = 8, kIoError = 10, kCorrupt = 11, kFull = 13, kCantOpen = 14,
                  kNotADatabase = 26 };

int sqliteCode(const QSqlError& error) { return error.nativeErrorCode().toInt() & 0xff; }

bool isDamage(const QSqlError& error)
{
    const int code = sqliteCode(error);
    return code == kCorrupt || code == kNotADatabase;
}

QString reasonText(const QSqlError& error)
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
    r.lotHash = q.value(18).toString();
    return r;
}

std::atomic<int> connectionCount{0};

QByteArray fileText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed() : QByteArray();
}

// A process's start (clock ticks after boot, field 22 of /proc/PID/stat): with the pid and the boot's id it
// tells a program apart from a later one that got the same pid. Empty when no such process runs (a zombie
// has ended).
QString processStart(const QString& pid)
{
    const QByteArray stat = fileText(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype name = stat.lastIndexOf(')');  // the program's name may hold blanks and brackets
    if (name < 0)
        return {};
    const QList<QByteArray> fields = stat.mid(name + 2).split(' ');
    if (fields.size() < 20 || fields[0] == "Z" || fields[0] == "X")
        return {};
    return QString::fromLatin1(fields[19]);
}

QString bootId() { return QString::fromLatin1(fileText(QStringLiteral("/proc/sys/kernel/random/boot_id"))); }

// Who writes a record "en cours": "host pid start boot".
const QString& ownerTag()
{
    static const QString tag = [] {
        const QString pid = QString::number(::getpid());
        char host[256] = {};
        ::gethostname(host, sizeof host - 1);
        return QStringList{QString::fromLocal8Bit(host), pid, processStart(pid), bootId()}.join(QLatin1Char(' '));
    }();
    return tag;
}

// False when the program that wrote the record has ended: this machine, and its pid gone, reused by another
// program, or from before the machine started again. What cannot be judged (another machine's program, a
// start time that could not be read) counts as alive: a live program's record is never touched.
bool ownerAlive(const QString& tag)
{
    const QStringList mine = ownerTag().split(QLatin1Char(' '));
    const QStringList owner = tag.split(QLatin1Char(' '));
    if (owner.size() != 4)
        return false;
    if (owner[0] != mine[0] || owner[2].isEmpty())
        return true;
    if (owner[3] != mine[3])
        return false;
    return processStart(owner[1]) == owner[2];
}

// The whole file's check, on a connection of its own (SQLite's own API, so that it can be interrupted).
enum class Check { Sound, Damaged, Unknown };

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
        stopCheck();
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
        if (!openDatabase(&error)) {
            if (!isDamage(error)) {
                openError_ = writeError(reasonText(error));
                return;
            }
            // Kept for whoever wants to look into it; the station goes on with a new one.
            if (!startAgain())
                return;
        }
        if (!openError_.isEmpty())
            return;
        settleInterrupted();
        startCheck();
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
        // WAL: readers (the history) never wait for the line's writes. FULL: each commit is synced. Nothing
        // reads the whole file here: opening costs the same whatever the journal's size (the check of the
        // whole file runs in the background, see startCheck).
        for (const char* pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL"}) {
            if (!q.exec(QString::fromLatin1(pragma))) {
                *error = q.lastError();
                return false;
            }
            // A statement not finished keeps its read transaction: a write asked for next would be refused
            // at once instead of waiting its turn behind the other programs.
            q.finish();
        }
        return migrate(db, error);
    }

    bool migrate(QSqlDatabase& db, QSqlError* error)
    {
        QSqlQuery q(db);
        // Up to date, as it nearly always is: no write lock is asked for.
        if (q.exec(QStringLiteral("SELECT version FROM journal_version")) && q.next()
            && q.value(0).toInt() == kSchemaVersion) {
            q.finish();
            return true;
        }
        if (isDamage(q.lastError())) {
            *error = q.lastError();
            return false;
        }
        q.finish();
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

    // A record "en cours" whose program has ended (killed, crashed, the power cut) becomes "interrompu", with
    // the duration last noted; it is then sent like any other. A live program's record is left alone.
    void settleInterrupted()
    {
        QSqlQuery q(db());
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT id, proprietaire FROM journal WHERE resultat = '%1'").arg(kRunningWord)))
            return;  // tried again at the next start
        QStringList ended;
        while (q.next())
            if (!ownerAlive(q.value(1).toString()))
                ended << q.value(0).toString();
        q.finish();
        if (ended.isEmpty())
            return;
        bool ok = q.exec(QStringLiteral("BEGIN IMMEDIATE"));
        q.prepare(QStringLiteral("UPDATE journal SET resultat = ?, message = ?, proprietaire = '' "
                                 "WHERE id = ? AND resultat = ?"));
        for (const QString& id : ended) {
            if (!ok)
                break;
            q.addBindValue(kInterruptedWord);
            q.addBindValue(kInterruptedMessage);
            q.addBindValue(id);
            q.addBindValue(kRunningWord);
            ok = q.exec();
        }
        QSqlQuery end(db());
        if (!ok || !end.exec(QStringLiteral("COMMIT")))
            end.exec(QStringLiteral("ROLLBACK"));
    }

    enum class Write { Whole, Begin, Finish };

    bool insert(const JournalRecord& r, const QString& owner, QSqlError* error)
    {
        QSqlQuery q(db());
        q.prepare(QStringLiteral("INSERT INTO journal (id, horodatage, poste, operateur, lot, afficheur, chemin, "
                                 "version, operation, resultat, message, empreinte_avant, empreinte_apres, "
                                 "empreinte_fichier, fichier, duree_ms, formation, empreinte_lot, proprietaire) "
                                 "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
        bindRecord(q, r);
        q.addBindValue(owner.isNull() ? QString(QLatin1String("")) : owner);
        if (q.exec())
            return true;
        *error = q.lastError();
        return false;
    }

    // The operation's end in place of its "en cours" record (inserted when there is none: the database was
    // set aside meanwhile).
    bool update(const JournalRecord& r, QSqlError* error)
    {
        QSqlQuery q(db());
        q.prepare(QStringLiteral("UPDATE journal SET id = ?, horodatage = ?, poste = ?, operateur = ?, lot = ?, "
                                 "afficheur = ?, chemin = ?, version = ?, operation = ?, resultat = ?, message = ?, "
                                 "empreinte_avant = ?, empreinte_apres = ?, empreinte_fichier = ?, fichier = ?, "
                                 "duree_ms = ?, formation = ?, empreinte_lot = ?, proprietaire = '' WHERE id = ?"));
        bindRecord(q, r);
        q.addBindValue(r.id);
        if (!q.exec()) {
            *error = q.lastError();
            return false;
        }
        return q.numRowsAffected() > 0 || insert(r, QString(), error);
    }

    static void bindRecord(QSqlQuery& q, const JournalRecord& r)
    {
        for (const QString& v : {r.id, timeText(r.at), r.station, r.operatorName, r.lot, r.serial, r.usbPath, r.version,
                                 operationName(r.operation), r.result(), r.message, r.hashBefore, r.hashAfter,
                                 r.hashFile, r.fileName})
            q.addBindValue(v.isNull() ? QString(QLatin1String("")) : v);
        q.addBindValue(r.durationMs);
        q.addBindValue(r.training ? 1 : 0);
        q.addBindValue(r.lotHash.isNull() ? QString(QLatin1String("")) : r.lotHash);
    }

    struct WriteJob {
        Write kind;
        const JournalRecord* record;
        std::promise<QString>* done;
    };

    // The writes in one transaction, synced once: the places of a line that finish together wait for one
    // sync, not one each.
    bool writeAll(const std::vector<WriteJob>& jobs, QSqlError* error)
    {
        QSqlQuery q(db());
        if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
            *error = q.lastError();
            return false;
        }
        for (const WriteJob& job : jobs) {
            const bool written = job.kind == Write::Finish
                ? update(*job.record, error)
                : insert(*job.record, job.kind == Write::Begin ? ownerTag() : QString(), error);
            if (!written) {
                q.exec(QStringLiteral("ROLLBACK"));
                return false;
            }
        }
        if (q.exec(QStringLiteral("COMMIT")))
            return true;
        *error = q.lastError();
        q.exec(QStringLiteral("ROLLBACK"));
        return false;
    }

    QString write(const std::vector<WriteJob>& jobs)
    {
        if (!openError_.isEmpty())
            return openError_;
        QSqlError error;
        if (writeAll(jobs, &error))
            return {};
        if (!isDamage(error))
            return writeError(reasonText(error));
        // Damaged while in use (a disk fault): the records go into a new database rather than nowhere.
        if (!startAgain() || !writeAll(jobs, &error))
            return openError_.isEmpty() ? writeError(reasonText(error)) : openError_;
        return {};
    }

    // A new database in place of a damaged one, kept aside.
    bool startAgain()
    {
        closeDatabase();
        QSqlError error;
        if (!setAside()) {
            openError_ = writeError(T("la base est endommagée et ne peut pas être mise de côté"));
            return false;
        }
        if (!openDatabase(&error) && openError_.isEmpty())
            openError_ = writeError(reasonText(error));
        return openError_.isEmpty();
    }

    // Called from any thread: waits until the write is committed with those queued beside it.
    QString queueWrite(Write kind, const JournalRecord& record)
    {
        std::promise<QString> done;
        std::future<QString> result = done.get_future();
        {
            std::lock_guard lock(mutex_);
            writes_.push_back({kind, &record, &done});
        }
        wake_.notify_one();
        return result.get();
    }

    // Not waited for: the task runs after what is queued before it.
    void post(std::function<void()> task)
    {
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
        }
        wake_.notify_one();
    }

    // How long a running operation has gone, for the record it leaves if its program dies. A commit that is
    // not synced: a power cut may lose it (the record then says the time it was begun), a killed program
    // does not.
    void noteProgress(const QString& id, qint64 durationMs)
    {
        if (!openError_.isEmpty())
            return;
        QSqlQuery q(db());
        q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
        q.prepare(QStringLiteral("UPDATE journal SET duree_ms = ? WHERE id = ? AND resultat = ?"));
        q.addBindValue(durationMs);
        q.addBindValue(id);
        q.addBindValue(kRunningWord);
        q.exec();
        q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    }

    // The check of the whole file, at most once in checkIntervalMs (a stamp beside the database says when it
    // last found it sound), on a thread of its own: opening never waits for it. What it finds damaged is set
    // aside, as a damage met by a statement is.
    void startCheck()
    {
        const QString stamp = options_.path + QStringLiteral(".controle");
        const QFileInfo last(stamp);
        if (last.exists()
            && last.lastModified().msecsTo(QDateTime::currentDateTime()) < options_.checkIntervalMs)
            return;
        checker_ = std::thread([this, stamp, path = QFile::encodeName(options_.path)] {
            const Check found = checkWholeFile(path);
            if (found == Check::Sound) {
                QFile f(stamp);
                if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
                    f.write(timeText(QDateTime::currentDateTimeUtc()).toLatin1() + '\n');
            } else if (found == Check::Damaged) {
                post([this] {
                    if (openError_.isEmpty())
                        startAgain();
                });
            }
        });
    }

    Check checkWholeFile(const QByteArray& path)
    {
        sqlite3* handle = nullptr;
        if (sqlite3_open_v2(path.constData(), &handle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            sqlite3_close(handle);
            return Check::Unknown;
        }
        {
            std::lock_guard lock(checkMutex_);
            if (stopChecking_) {
                sqlite3_close(handle);
                return Check::Unknown;
            }
            checking_ = handle;
        }
        sqlite3_busy_timeout(handle, options_.busyTimeoutMs);
        sqlite3_stmt* statement = nullptr;
        Check found = Check::Unknown;
        int code = sqlite3_prepare_v2(handle, "PRAGMA quick_check", -1, &statement, nullptr);
        if (code == SQLITE_OK)
            code = sqlite3_step(statement);
        if (code == SQLITE_ROW)
            found = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))) == "ok" ? Check::Sound
                                                                                                      : Check::Damaged;
        else if ((code & 0xff) == SQLITE_CORRUPT || (code & 0xff) == SQLITE_NOTADB)
            found = Check::Damaged;
        sqlite3_finalize(statement);
        {
            std::lock_guard lock(checkMutex_);
            checking_ = nullptr;
        }
        sqlite3_close(handle);
        return found;
    }

    // A program that ends does not wait for the check of a large file: it is given up, to run another day.
    void stopCheck()
    {
        {
            std::lock_guard lock(checkMutex_);
            stopChecking_ = true;
            if (checking_)
                sqlite3_interrupt(checking_);
        }
        if (checker_.joinable())
            checker_.join();
    }

    // The filter as SQL conditions on the journal (from " WHERE"), its values in `values`.
    static QString whereOf(const Filter& f, QVariantList& values, const char* condition = nullptr)
    {
        QString where = QStringLiteral(" WHERE 1=1");
        if (condition)
            where += QStringLiteral(" AND ") + QLatin1String(condition);
        if (!f.display.isEmpty()) {
            where += QStringLiteral(" AND (afficheur = ? OR chemin = ?)");
            values << f.display << f.display;
        }
        if (!f.otherDisplays.isEmpty()) {
            where += QStringLiteral(" AND afficheur <> ? AND chemin <> ?");
            values << f.otherDisplays << f.otherDisplays;
        }
        if (!f.lot.isEmpty()) {
            where += QStringLiteral(" AND lot = ?");
            values << f.lot;
        }
        if (f.since.isValid()) {
            where += QStringLiteral(" AND horodatage >= ?");
            values << timeText(f.since);
        }
        if (f.until.isValid()) {
            where += QStringLiteral(" AND horodatage < ?");
            values << timeText(f.until);
        }
        if (!f.training)
            where += QStringLiteral(" AND formation = 0");
        return where;
    }

    // `condition`: an SQL condition more on the records; `reasons`: each record's reason to be set aside.
    QList<JournalRecord> read(const Filter& f, QString* error, const char* condition = nullptr,
                              QStringList* reasons = nullptr)
    {
        QVariantList values;
        const QString where = whereOf(f, values, condition);
        const QString columns = QLatin1String(kColumns) + (reasons ? QStringLiteral(", rejet") : QString());
        QString sql = QStringLiteral("SELECT %1 FROM journal%2 ORDER BY seq").arg(columns, where);
        if (f.limit > 0)
            sql = QStringLiteral("SELECT * FROM (SELECT %1 FROM journal%2 ORDER BY seq DESC LIMIT %3) ORDER BY seq")
                      .arg(columns, where)
                      .arg(f.limit);
        return select(sql, values, error, nullptr, reasons);
    }

    // The figures in one pass over the records that match, grouped as they stream by. SQLite groups by
    // sorting (a temporary B-tree for each GROUP BY): four groupings of a month of records cost seconds,
    // one scan a fraction of one. The statement runs on SQLite's own API, without a QVariant per value.
    JournalSummary summary(const Filter& f)
    {
        JournalSummary s;
        if (!openError_.isEmpty()) {
            s.error = openError_;
            return s;
        }
        // A record still running is no unit yet; any finished word but a success is a failure.
        QString where = QStringLiteral(" WHERE resultat <> 'en cours'");
        QList<QByteArray> values;
        if (!f.display.isEmpty()) {
            where += QStringLiteral(" AND (afficheur = ? OR chemin = ?)");
            values << f.display.toUtf8() << f.display.toUtf8();
        }
        if (!f.lot.isEmpty()) {
            where += QStringLiteral(" AND lot = ?");
            values << f.lot.toUtf8();
        }
        if (f.since.isValid()) {
            where += QStringLiteral(" AND horodatage >= ?");
            values << timeText(f.since).toUtf8();
        }
        if (!f.training)
            where += QStringLiteral(" AND formation = 0");
        const QByteArray sql = QStringLiteral("SELECT horodatage, lot, poste, operateur, resultat = 'reussi', message "
                                              "FROM journal%1 ORDER BY seq")
                                   .arg(where)
                                   .toUtf8();
        const QVariant handle = db().driver()->handle();
        sqlite3* connection = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
            ? *static_cast<sqlite3* const*>(handle.constData())
            : nullptr;
        sqlite3_stmt* statement = nullptr;
        int code = connection ? sqlite3_prepare_v2(connection, sql.constData(), int(sql.size()), &statement, nullptr)
                              : SQLITE_MISUSE;
        for (int i = 0; code == SQLITE_OK && i < values.size(); ++i)
            code = sqlite3_bind_text(statement, i + 1, values[i].constData(), int(values[i].size()), SQLITE_TRANSIENT);

        struct Counts {
            int passed = 0;
            int failed = 0;
            std::string first, last;
        };
        std::map<std::string, Counts, std::less<>> hours, lots, people;
        std::map<std::string, int, std::less<>> reasons;
        // The records come in their order: an hour, a lot, mostly follow one another.
        Counts* hour = nullptr;
        Counts* lot = nullptr;
        std::string_view hourKey, lotKey;
        const auto text = [&](int column) {
            return std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                                    std::size_t(sqlite3_column_bytes(statement, column)));
        };
        const auto entry = [](auto& map, std::string_view key) -> auto& {
            auto it = map.find(key);
            if (it == map.end())
                it = map.emplace(std::string(key), typename std::decay_t<decltype(map)>::mapped_type{}).first;
            return it->second;
        };
        std::string person;
        while ((code == SQLITE_OK || code == SQLITE_ROW) && (code = sqlite3_step(statement)) == SQLITE_ROW) {
            const std::string_view at = text(0);
            const bool passed = sqlite3_column_int(statement, 4) != 0;
            const std::string_view h = at.substr(0, 13);  // ISO 8601 in UTC: the hour
            if (!hour || h != hourKey) {
                hour = &entry(hours, h);
                hourKey = hours.find(h)->first;
            }
            const std::string_view l = text(1);
            if (!lot || l != lotKey) {
                lot = &entry(lots, l);
                lotKey = lots.find(l)->first;
            }
            person.assign(text(2));
            person += '\0';  // below every character: (station, operator) in the order of each
            person += text(3);
            Counts& who = entry(people, person);
            for (Counts* c : {hour, lot, &who})
                ++(passed ? c->passed : c->failed);
            if (who.first.empty() || at < who.first)
                who.first = at;
            if (at > who.last)
                who.last = at;
            if (!passed)
                ++entry(reasons, text(5));
        }
        sqlite3_finalize(statement);
        if (code != SQLITE_DONE) {
            s.error = T("le journal de service %1 ne peut pas être lu : %2")
                          .arg(QDir::toNativeSeparators(options_.path),
                               connection ? QString::fromUtf8(sqlite3_errmsg(connection)) : T("erreur inconnue"));
            return s;
        }
        const auto qs = [](std::string_view v) { return QString::fromUtf8(v.data(), qsizetype(v.size())); };
        for (const auto& [key, c] : hours) {
            s.hours << HourFigures{timeFromText(qs(key) + QStringLiteral(":00:00.000Z")), c.passed, c.failed};
            s.passed += c.passed;
            s.failed += c.failed;
        }
        for (const auto& [key, c] : lots)
            s.lots << LotFigures{qs(key), c.passed, c.failed};
        for (const auto& [key, count] : reasons)
            s.reasons << ReasonFigures{qs(key), count};
        std::stable_sort(s.reasons.begin(), s.reasons.end(),
                         [](const ReasonFigures& a, const ReasonFigures& b) { return a.count > b.count; });
        for (const auto& [key, c] : people) {
            const std::size_t cut = key.find('\0');
            s.people << PersonFigures{qs(std::string_view(key).substr(0, cut)), qs(std::string_view(key).substr(cut + 1)),
                                      c.passed, c.failed, timeFromText(qs(c.first)), timeFromText(qs(c.last))};
        }
        return s;
    }

    // In the order of the time index (time, then place), which the page's conditions and order follow. A
    // display's records are those of its serial number and those of its path, each read in order from its
    // own index and merged: no sort of all the records of a path that every unit of a place shares.
    QList<JournalRecord> page(const PageQuery& query, PageKey* last, QString* error)
    {
        Filter rest = query.filter;
        rest.display.clear();
        QVariantList values;
        const auto side = [&](const QString& condition, const QVariantList& own) {
            QString where = whereOf(rest, values) + condition;
            values += own;
            if (query.after.valid()) {
                where += query.newestFirst ? QStringLiteral(" AND (horodatage, seq) < (?, ?)")
                                           : QStringLiteral(" AND (horodatage, seq) > (?, ?)");
                values << query.after.at << query.after.seq;
            }
            return QStringLiteral("SELECT %1 FROM journal%2").arg(QLatin1String(kColumns), where);
        };
        const QString& display = query.filter.display;
        QString select;
        if (display.isEmpty()) {
            select = side(QString(), {});
        } else {
            // One after the other: the values follow the text's order.
            select = side(QStringLiteral(" AND afficheur = ?"), {display});
            select += QStringLiteral(" UNION ALL ") + side(QStringLiteral(" AND chemin = ? AND afficheur <> ?"), {display, display});
        }
        const char* const direction = query.newestFirst ? " DESC" : "";
        const QString sql = QStringLiteral("%1 ORDER BY horodatage%2, seq%2 LIMIT %3")
                                .arg(select, QLatin1String(direction))
                                .arg(std::max(1, query.count));
        QList<JournalRecord> records;
        QSqlQuery q(db());
        if (!prepared(q, sql, values, error))
            return records;
        records.reserve(query.count);
        while (q.next()) {
            records << recordFrom(q);
            last->at = q.value(2).toString();
            last->seq = q.value(0).toLongLong();
        }
        return records;
    }

    PageKey keyFromNewest(const Filter& f, int skip, QString* error)
    {
        QVariantList values;
        const QString sql = QStringLiteral("SELECT horodatage, seq FROM journal%1 ORDER BY horodatage DESC, seq DESC "
                                           "LIMIT 1 OFFSET %2")
                                .arg(whereOf(f, values))
                                .arg(std::max(0, skip));
        PageKey key;
        QSqlQuery q(db());
        if (prepared(q, sql, values, error) && q.next())
            key = {q.value(0).toString(), q.value(1).toLongLong()};
        return key;
    }

    // A forward-only statement executed; false with why in `error` when it could not be.
    bool prepared(QSqlQuery& q, const QString& sql, const QVariantList& values, QString* error)
    {
        if (!openError_.isEmpty()) {
            if (error)
                *error = openError_;
            return false;
        }
        q.setForwardOnly(true);
        q.prepare(sql);
        for (const QVariant& v : values)
            q.addBindValue(v);
        if (q.exec())
            return true;
        if (error)
            *error = T("le journal de service %1 ne peut pas être lu : %2")
                         .arg(QDir::toNativeSeparators(options_.path), reasonOf(q.lastError()));
        return false;
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
                             .arg(QDir::toNativeSeparators(options_.path), reasonText(q.lastError()));
            return records;
        }
        while (q.next()) {
            records << recordFrom(q);
            if (seqs)
                *seqs << q.value(0).toLongLong();
            if (reasons)
                *reasons << q.value(19).toString();
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
        // One statement for a whole batch (numbers only, nothing to quote), not one each.
        for (qsizetype from = 0; ok && from < seqs.size(); from += kMarkedPerStatement) {
            QString list;
            for (qsizetype i = from; i < std::min(seqs.size(), from + kMarkedPerStatement); ++i)
                list += (list.isEmpty() ? QString() : QStringLiteral(",")) + QString::number(seqs[i]);
            ok = q.exec(QStringLiteral("UPDATE journal SET envoye = 1 WHERE seq IN (%1)").arg(list));
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
        return ok ? QString() : writeError(reasonText(error));
    }

    StoreOptions options_;
    QString connection_;
    QString openError_;
    QString setAsidePath_;

private:
    void loop()
    {
        for (;;) {
            std::function<void()> task;
            std::vector<WriteJob> writes;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return stop_ || !tasks_.empty() || !writes_.empty(); });
                if (!writes_.empty()) {
                    writes.swap(writes_);
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
            const QString why = write(writes);
            for (WriteJob& job : writes)
                job.done->set_value(why);
        }
    }

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> tasks_;
    std::vector<WriteJob> writes_;
    bool stop_ = false;

    std::thread checker_;
    std::mutex checkMutex_;
    sqlite3* checking_ = nullptr;
    bool stopChecking_ = false;
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

QString LocalStore::begin(const JournalRecord& record) { return worker_->queueWrite(Worker::Write::Begin, record); }

QString LocalStore::finish(const JournalRecord& record) { return worker_->queueWrite(Worker::Write::Finish, record); }

void LocalStore::noteProgress(const QString& id, qint64 durationMs)
{
    worker_->post([this, id, durationMs] { worker_->noteProgress(id, durationMs); });
}

QString LocalStore::append(const JournalRecord& record) { return worker_->queueWrite(Worker::Write::Whole, record); }

QList<JournalRecord> LocalStore::read(const Filter& filter, QString* error)
{
    return worker_->run([this, &filter, error] { return worker_->read(filter, error); });
}

JournalSummary LocalStore::summary(const Filter& filter)
{
    return worker_->run([this, &filter] { return worker_->summary(filter); });
    }

QList<JournalRecord> LocalStore::page(const PageQuery& query, PageKey* last, QString* error)
{
    return worker_->run([this, &query, last, error] { return worker_->page(query, last, error); });
}

PageKey LocalStore::keyFromNewest(const Filter& filter, int skip, QString* error)
{
    return worker_->run([this, &filter, skip, error] { return worker_->keyFromNewest(filter, skip, error); });
}

QList<PendingRecord> LocalStore::pending(int limit, QString* error, qint64 after)
{
    return worker_->run([this, limit, error, after] {
        QList<qint64> seqs;
        const QList<JournalRecord> records = worker_->select(
            QStringLiteral("SELECT %1 FROM journal WHERE seq > ? AND %2 ORDER BY seq LIMIT %3")
                .arg(QLatin1String(kColumns), QLatin1String(kWaiting))
                .arg(limit),
            {after}, error, &seqs);
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
                *error = reasonText(q.lastError());
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
        return q.exec() ? QString() : worker_->writeError(reasonText(q.lastError()));
    });
}

QList<JournalRecord> LocalStore::waiting(const Filter& filter, QString* error)
{
    return worker_->run([this, &filter, error] { return worker_->read(filter, error, kWaiting); });
}

QString LocalStore::withDatabase(const std::function<QString(QSqlDatabase&)>& work)
{
    return worker_->run([this, &work] {
        if (!worker_->openError_.isEmpty())
            return worker_->openError_;
        QSqlDatabase db = worker_->db();
        return work(db);
    });
}

QString LocalStore::reasonOf(const QSqlError& error) { return reasonText(error); }

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
