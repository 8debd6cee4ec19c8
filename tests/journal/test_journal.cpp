// The service journal: what a record says, the station's database (filters, a damaged file kept aside, a
// journal that cannot be written), the production line recording into a real PostgreSQL server that goes
// away in the middle of a run, records the server refuses, the rights a station needs and the passwords
// kept out of what is shown.
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include "journal/journal.h"
#include "journal/server_store.h"
#include "link/exchanger.h"
#include "production/emulated_line.h"
#include "production/production_line.h"
#include "support/postgres_server.h"
#include "support/rig.h"

using namespace trivo;
using namespace trivo::journal;
using namespace trivo::production;

namespace {

JournalRecord recordAt(const QString& at, const QString& serial, const QString& path, const QString& lot)
{
    HidInterfaceInfo display;
    display.path = path.toStdString();
    display.serial = serial.toStdString();
    display.version = 0x0102;
    JournalEntry entry(Operation::Programming, display, Identity{QStringLiteral("poste-1"), QStringLiteral("jean"), lot});
    entry.setBlockBefore("avant");
    entry.setFile(QStringLiteral("/dossier/modele.config_CP"), "contenu");
    entry.finish(true, QStringLiteral("Programmation\r\neffectuée."));
    entry.record().at = QDateTime::fromString(at, Qt::ISODateWithMs);
    return entry.record();
}

// What the line told of each unit, and what it wrote to the displays after `quietFrom` was set.
struct Recorder : LineObserver {
    QList<UnitRecord> records;
    std::function<void(int unit)> afterUnit;
    std::atomic<bool> counting{false};
    std::atomic<int> reportsWritten{0};
    void linkReady(int, Exchanger& link) override
    {
        link.setReportObserver([this](bool output, const uint8_t*, std::size_t) {
            if (output && counting)
                ++reportsWritten;
        });
    }
    void unitFinished(int, const UnitRecord& r, bool) override
    {
        records << r;
        if (afterUnit)
            afterUnit(r.unit);
    }
};

// The emulated line's units are training records.
const Filter kTrainingToo{QString(), QString(), QDateTime(), 0, true};

EmulatedLineSettings lineOf(int units)
{
    EmulatedLineSettings settings;
    settings.units = units;
    settings.seed = 3;
    return settings;
}

}  // namespace

class TestJournal : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    Model model_;
    int databases_ = 0;

    JournalSettings settingsFor(const QString& name)
    {
        JournalSettings s;
        s.databasePath = dir_.filePath(name + QStringLiteral("/journal.sqlite"));
        s.identity = Identity{QStringLiteral("poste-1"), QStringLiteral("jean"), QStringLiteral("L1")};
        return s;
    }

    // Holds the database's write lock, as another program writing to it would.
    QSqlDatabase lockDatabase(const QString& path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other-%1").arg(++databases_));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery(db).exec(QStringLiteral("BEGIN IMMEDIATE"));
        return db;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        const ModelLoad loaded = loadModel(QStringLiteral(TRIVO_MODEL), QString());
        QVERIFY2(loaded.ok(), qPrintable(loaded.box.text));
        model_ = loaded.model;
    }

    void recordAsScriptsReadIt()
    {
        const JournalRecord r = recordAt(QStringLiteral("2024-05-02T08:15:00.125Z"), QString(),
                                         QStringLiteral("/dev/hidraw3"), QString());
        const QJsonObject o = toJson(r);
        QCOMPARE(o.keys().size(), 17);
        for (const QString& key : columnNames())
            QVERIFY2(o.contains(key), qPrintable(key));
        QCOMPARE(o[QStringLiteral("horodatage")].toString(), QStringLiteral("2024-05-02T08:15:00.125Z"));
        QCOMPARE(o[QStringLiteral("operation")].toString(), QStringLiteral("programmation"));
        QCOMPARE(o[QStringLiteral("resultat")].toString(), QStringLiteral("reussi"));
        QCOMPARE(o[QStringLiteral("message")].toString(), QStringLiteral("Programmation effectuée."));
        QCOMPARE(o[QStringLiteral("version")].toString(), QStringLiteral("0102"));
        QCOMPARE(o[QStringLiteral("fichier")].toString(), QStringLiteral("modele.config_CP"));
        // The hashes against values made elsewhere (sha256sum; the standard's vectors for "" and "abc").
        QCOMPARE(o[QStringLiteral("empreinte_avant")].toString(), QStringLiteral("74b83cd99a5df0d9b0c10631ea1d2a2f69e95069ffa96925560ced407dee219e"));
        QCOMPARE(sha256Hex(QByteArray()), QStringLiteral("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
        QCOMPARE(sha256Hex("abc"), QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
        // Unknown is null, not "": no lot, no serial number, no block after.
        QVERIFY(o[QStringLiteral("lot")].isNull());
        QVERIFY(o[QStringLiteral("afficheur")].isNull());
        QVERIFY(o[QStringLiteral("empreinte_apres")].isNull());
        QVERIFY(o[QStringLiteral("duree_ms")].isDouble());
        QCOMPARE(o[QStringLiteral("formation")], QJsonValue(false));
        QCOMPARE(journal::csvHeader().split(QLatin1Char(',')), columnNames());
    }

    void sinceDates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("day") << "2024-05-02" << QDate(2024, 5, 2).startOfDay().toUTC();
        QTest::newRow("utc") << "2024-05-02T08:00:00Z" << QDateTime(QDate(2024, 5, 2), QTime(8, 0), Qt::UTC);
        QTest::newRow("offset") << "2024-05-02T10:00:00+02:00" << QDateTime(QDate(2024, 5, 2), QTime(8, 0), Qt::UTC);
        QTest::newRow("not a date") << "hier" << QDateTime();
        QTest::newRow("no such day") << "2024-02-30" << QDateTime();
    }
    void sinceDates()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        QCOMPARE(parseSince(text), expected);
    }

    // The journal's times are read and written by hand: the same as Qt's own ISO 8601 in every case.
    void timesAsQtReadsThem_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("journal's own") << "2024-05-02T08:15:00.125Z";
        QTest::newRow("leap day, last ms") << "2024-02-29T23:59:59.999Z";
        QTest::newRow("midnight") << "2000-01-01T00:00:00.000Z";
        QTest::newRow("no such day") << "2023-02-29T00:00:00.000Z";
        QTest::newRow("no such hour") << "2024-05-02T24:15:00.125Z";
        QTest::newRow("an offset") << "2024-05-02T10:15:00.125+02:00";
        QTest::newRow("no milliseconds") << "2024-05-02T08:15:00Z";
        QTest::newRow("a letter for a digit") << "2024-05-02T08:1x:00.125Z";
    }
    void timesAsQtReadsThem()
    {
        QFETCH(QString, text);
        const QDateTime qt = QDateTime::fromString(text, Qt::ISODateWithMs);
        const QDateTime read = timeFromText(text);
        QCOMPARE(read.isValid(), qt.isValid());
        if (!qt.isValid())
            return;
        QCOMPARE(read, qt);
        QCOMPARE(read.timeSpec(), Qt::UTC);
        QCOMPARE(timeText(read), qt.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ")));
        QCOMPARE(timeText(qt.toTimeZone(QTimeZone(3600 * 5))), timeText(read));
    }

    void filtersOnTheStationsDatabase_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("lot");
        QTest::addColumn<QString>("since");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("expected");  // by time, oldest first
        QTest::newRow("all") << "" << "" << "" << 0 << QStringList{"08", "09", "10", "11"};
        QTest::newRow("by serial") << "SN-7" << "" << "" << 0 << QStringList{"08", "11"};
        QTest::newRow("by path, no serial") << "/dev/hidraw4" << "" << "" << 0 << QStringList{"10"};
        QTest::newRow("by lot") << "" << "L2" << "" << 0 << QStringList{"09", "10"};
        QTest::newRow("since") << "" << "" << "2024-05-02T09:30:00Z" << 0 << QStringList{"10", "11"};
        QTest::newRow("newest two") << "" << "" << "" << 2 << QStringList{"10", "11"};
        QTest::newRow("serial and lot") << "SN-7" << "L2" << "" << 0 << QStringList{};
    }
    void filtersOnTheStationsDatabase()
    {
        QFETCH(QString, display);
        QFETCH(QString, lot);
        QFETCH(QString, since);
        QFETCH(int, limit);
        QFETCH(QStringList, expected);
        Journal journal(settingsFor(QStringLiteral("filters-%1").arg(QTest::currentDataTag())));
        QCOMPARE(journal.openError(), QString());
        const QList<JournalRecord> written = {
            recordAt(QStringLiteral("2024-05-02T08:00:00.000Z"), QStringLiteral("SN-7"), QStringLiteral("/dev/hidraw3"), QStringLiteral("L1")),
            recordAt(QStringLiteral("2024-05-02T09:00:00.000Z"), QStringLiteral("SN-8"), QStringLiteral("/dev/hidraw3"), QStringLiteral("L2")),
            recordAt(QStringLiteral("2024-05-02T10:00:00.000Z"), QString(), QStringLiteral("/dev/hidraw4"), QStringLiteral("L2")),
            recordAt(QStringLiteral("2024-05-02T11:00:00.000Z"), QStringLiteral("SN-7"), QStringLiteral("/dev/hidraw5"), QString()),
        };
        for (const JournalRecord& r : written)
            QCOMPARE(journal.append(r), QString());
        QString error;
        const QList<JournalRecord> read =
            journal.readLocal(Filter{display, lot, since.isEmpty() ? QDateTime() : parseSince(since), limit}, &error);
        QCOMPARE(error, QString());
        QStringList hours;
        for (const JournalRecord& r : read) {
            hours << r.at.toString(QStringLiteral("HH"));
            const auto same = std::find_if(written.begin(), written.end(), [&](const JournalRecord& w) { return w.id == r.id; });
            QVERIFY2(same != written.end(), qPrintable(r.id));
            QCOMPARE(r, *same);
        }
        QCOMPARE(hours, expected);
        QCOMPARE(journal.waiting(), 4);  // no server: every record waits for one
    }

    void damagedDatabaseIsKeptAside_data()
    {
        QTest::addColumn<bool>("wholeFile");
        QTest::newRow("not a database") << true;
        QTest::newRow("damaged pages") << false;
    }
    void damagedDatabaseIsKeptAside()
    {
        QFETCH(bool, wholeFile);
        const JournalSettings settings = settingsFor(QStringLiteral("damaged-%1").arg(QTest::currentDataTag()));
        if (wholeFile) {
            QDir().mkpath(QFileInfo(settings.databasePath).absolutePath());
            QFile f(settings.databasePath);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(8192, 'x'));
        } else {
            Journal first(settings);
            for (int i = 0; i < 200; ++i)
                QCOMPARE(first.append(recordAt(QStringLiteral("2024-05-02T08:00:00.000Z"), QStringLiteral("SN-1"),
                                               QStringLiteral("/dev/hidraw1"), QString())),
                         QString());
        }
        if (!wholeFile) {
            QFile f(settings.databasePath);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.size() > 3 * 4096);
            f.seek(2 * 4096);
            f.write(QByteArray(4096, '\x5a'));
        }
        QFile damaged(settings.databasePath);
        QVERIFY(damaged.open(QIODevice::ReadOnly));
        const QByteArray damagedBytes = damaged.readAll();

        // Opening reads nothing whole: the damaged pages are found by the check of the whole file, in the
        // background (here at every start).
        JournalSettings checking = settings;
        checking.checkIntervalMs = 0;
        Journal journal(checking);
        QCOMPARE(journal.openError(), QString());
        QVERIFY(test::waitFor([&] { return journal.notice().contains(QStringLiteral("endommagé")); }));
        const QStringList aside = QDir(QFileInfo(settings.databasePath).absolutePath())
                                      .entryList({QStringLiteral("journal.sqlite.endommage-*")}, QDir::Files);
        QCOMPARE(aside.filter(QRegularExpression(QStringLiteral("endommage-[0-9-]+$"))).size(), 1);
        QFile kept(QFileInfo(settings.databasePath).absolutePath() + QLatin1Char('/')
                   + aside.filter(QRegularExpression(QStringLiteral("endommage-[0-9-]+$"))).first());
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), damagedBytes);  // kept as it was, byte for byte
        const JournalRecord r = recordAt(QStringLiteral("2024-05-03T08:00:00.000Z"), QString(), QStringLiteral("/p"), QString());
        QCOMPARE(journal.append(r), QString());
        QString error;
        QCOMPARE(journal.readLocal({}, &error), QList<JournalRecord>{r});
    }

    void journalThatCannotBeWritten_data()
    {
        QTest::addColumn<bool>("folderIsAFile");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no data folder") << true << "ne peut pas être créé";
        QTest::newRow("locked by another program") << false << "verrouillée";
    }
    void journalThatCannotBeWritten()
    {
        QFETCH(bool, folderIsAFile);
        QFETCH(QString, reason);
        JournalSettings settings = settingsFor(QStringLiteral("unwritable-%1").arg(QTest::currentDataTag()));
        settings.busyTimeoutMs = 0;
        QSqlDatabase other;
        if (folderIsAFile) {
            QFile blocker(QFileInfo(settings.databasePath).absolutePath());
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            settings.databasePath = blocker.fileName() + QStringLiteral("/sous-dossier/journal.sqlite");
        }
        Journal journal(settings);
        const JournalRecord r = recordAt(QStringLiteral("2024-05-03T08:00:00.000Z"), QString(), QStringLiteral("/p"), QString());
        if (!folderIsAFile) {
            QCOMPARE(journal.begin(r), QString());
            other = lockDatabase(settings.databasePath);
        }
        const QString why =
            journal.begin(recordAt(QStringLiteral("2024-05-03T09:00:00.000Z"), QString(), QStringLiteral("/p"), QString()));
        QVERIFY2(why.contains(reason), qPrintable(why));
        QVERIFY(why.startsWith(QStringLiteral("le journal de service")));
        QCOMPARE(journal.finish(r), why);
    }

    // A record left "en cours" becomes "interrompu" at the next start only once its program has ended, with the
    // duration last noted; only then does it wait to be sent.
    void runningRecordSettledOnceItsProgramEnded_data()
    {
        QTest::addColumn<int>("field");  // of the owner ("host pid start boot") made another's; -1: left as it is
        QTest::addColumn<bool>("interrupted");
        QTest::newRow("this program, alive") << -1 << false;
        QTest::newRow("another machine's") << 0 << false;
        QTest::newRow("a pid that runs nothing") << 1 << true;
        QTest::newRow("its pid, another program") << 2 << true;
        QTest::newRow("before the machine started again") << 3 << true;
    }
    void runningRecordSettledOnceItsProgramEnded()
    {
        QFETCH(int, field);
        QFETCH(bool, interrupted);
        const JournalSettings settings = settingsFor(QStringLiteral("running-%1").arg(QTest::currentDataTag()));
        JournalRecord r = recordAt(QStringLiteral("2024-05-03T08:00:00.000Z"), QString(), QStringLiteral("/p"), QString());
        r.outcome = Result::Running;
        {
            Journal first(settings);
            QCOMPARE(first.begin(r), QString());
            first.noteProgress(r.id, 1234);
            QCOMPARE(first.waiting(), 0);  // after the note (one thread does both, in order): not to be sent yet
        }
        QSqlQuery q(lockDatabase(settings.databasePath));
        QVERIFY(q.exec(QStringLiteral("SELECT proprietaire FROM journal")) && q.next());
        QStringList owner = q.value(0).toString().split(QLatin1Char(' '));
        if (field >= 0 && field < owner.size())  // beyond the largest pid Linux gives; another machine, start, boot
            owner[field] = field == 1 ? QStringLiteral("4194305") : owner[field] + QStringLiteral("0");
        QVERIFY(q.exec(QStringLiteral("UPDATE journal SET proprietaire = '%1'").arg(owner.join(QLatin1Char(' '))))
                && q.exec(QStringLiteral("COMMIT")));

        Journal next(settings);
        QString error;
        const QList<JournalRecord> read = next.readLocal({}, &error);
        QVERIFY(read.size() == 1 && read[0].durationMs == 1234);
        QCOMPARE(read[0].outcome, interrupted ? Result::Interrupted : Result::Running);
        QCOMPARE(next.waiting(), interrupted ? 1 : 0);
    }

    // The journal refuses the second unit: the line stops before a single report goes to its display.
    void lineStopsBeforeTouchingAUnitItCannotRecord()
    {
        JournalSettings settings = settingsFor(QStringLiteral("line-stops"));
        settings.busyTimeoutMs = 0;
        Journal journal(settings);
        ProductionLog log;
        QVERIFY(log.open(dir_.filePath(QStringLiteral("line-stops.csv")), nullptr));
        EmulatedLine source(lineOf(3));
        LineSettings line;
        line.virtualTime = true;
        line.journal = &journal;
        QSqlDatabase other;
        Recorder recorder;
        recorder.afterUnit = [&](int unit) {
            if (unit == 1) {
                other = lockDatabase(settings.databasePath);
                recorder.counting = true;
            }
        };
        const LineSummary summary = ProductionLine(model_, log, source, line).run(recorder);
        QCOMPARE(recorder.reportsWritten.load(), 0);
        QCOMPARE(summary.units, 2);
        QCOMPARE(summary.passed, 1);
        QVERIFY2(summary.stopReason.contains(QStringLiteral("verrouillée")), qPrintable(summary.stopReason));
        QCOMPARE(recorder.records.size(), 2);
        QCOMPARE(recorder.records[1].failedStep, UnitStep::Log);
        QVERIFY(!recorder.records[1].before.has_value());
        QSqlQuery(other).exec(QStringLiteral("ROLLBACK"));
        QString error;
        QCOMPARE(journal.readLocal(kTrainingToo, &error).size(), 1);
    }

    // Ten units into a server that stops after the fourth and comes back: after synchronising, every record
    // is on the server once, in the order the station wrote them.
    void serverThatGoesAwayLosesNothing()
    {
        test::PostgresServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QCOMPARE(ServerStore(server.uri()).initialise().error, QString());
        JournalSettings settings = settingsFor(QStringLiteral("server"));
        settings.serverUri = server.uri();
        settings.retryMs = 3600 * 1000;  // only a new record or the synchronisation sends again
        QList<JournalRecord> local;
        {
            Journal journal(settings);
            ProductionLog log;
            QVERIFY(log.open(dir_.filePath(QStringLiteral("server.csv")), nullptr));
            EmulatedLine source(lineOf(10));
            LineSettings line;
            line.virtualTime = true;
            line.journal = &journal;
            Recorder recorder;
            recorder.afterUnit = [&](int unit) {
                if (unit == 4)
                    QVERIFY2(server.stop(), qPrintable(server.error()));
            };
            const LineSummary summary = ProductionLine(model_, log, source, line).run(recorder);
            QCOMPARE(summary.passed, 10);  // the line does not wait for the server
            QString error;
            local = journal.readLocal(kTrainingToo, &error);
            QCOMPARE(local.size(), 10);
            QVERIFY(journal.synchronise().waiting > 0);
        }
        QVERIFY2(server.restart(), qPrintable(server.error()));
        Journal journal(settings);
        const SyncResult sync = journal.synchronise();
        QCOMPARE(sync.error, QString());
        QCOMPARE(sync.waiting, 0);
        QStringList localIds;
        for (const JournalRecord& r : local)
            localIds << r.id;
        QCOMPARE(server.query(QStringLiteral("SELECT id FROM trivo_journal ORDER BY seq")), localIds);
        QString error;
        QCOMPARE(journal.readServer(kTrainingToo, &error), local);
        QCOMPARE(server.query(QStringLiteral("SELECT version FROM trivo_journal_version")), QStringList{"4"});
    }

    // A record the server refuses is kept aside with its reason, and never holds back those after it.
    void refusedRecordsAreSetAside_data()
    {
        QTest::addColumn<QList<int>>("refused");  // of seven records
        QTest::newRow("none") << QList<int>{};
        QTest::newRow("the first") << QList<int>{0};
        QTest::newRow("two in the middle") << QList<int>{2, 4};
        QTest::newRow("the last") << QList<int>{6};
    }
    void refusedRecordsAreSetAside()
    {
        QFETCH(QList<int>, refused);
        test::PostgresServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QCOMPARE(ServerStore(server.uri()).initialise().error, QString());
        server.query(QStringLiteral("ALTER TABLE trivo_journal ADD CONSTRAINT lot_connu CHECK (lot <> 'REFUS')"));
        JournalSettings settings = settingsFor(QStringLiteral("refused-%1").arg(QTest::currentDataTag()));
        settings.serverUri = server.uri();
        Journal journal(settings);
        QStringList expected;
        for (int i = 0; i < 7; ++i) {
            const JournalRecord r = recordAt(QStringLiteral("2024-05-02T08:00:0%1.000Z").arg(i), QString(), QStringLiteral("/p"),
                                             refused.contains(i) ? QStringLiteral("REFUS") : QStringLiteral("L1"));
            QCOMPARE(journal.append(r), QString());
            if (!refused.contains(i))
                expected << r.id;
        }
        const SyncResult sync = journal.synchronise();
        QCOMPARE(sync.error, QString());
        QCOMPARE(sync.waiting, 0);
        QCOMPARE(sync.setAside, int(refused.size()));
        QCOMPARE(sync.sent, int(expected.size()));
        QCOMPARE(server.query(QStringLiteral("SELECT id FROM trivo_journal ORDER BY seq")), expected);
        QString error;
        const QList<SetAsideRecord> aside = journal.setAside({}, &error);
        QCOMPARE(aside.size(), refused.size());
        for (const SetAsideRecord& a : aside) {
            QCOMPARE(a.record.lot, QStringLiteral("REFUS"));
            QVERIFY2(a.reason.contains(QStringLiteral("lot_connu")), qPrintable(a.reason));
        }
        // Set aside for good: a later record goes through alone.
        QCOMPARE(journal.append(recordAt(QStringLiteral("2024-05-02T09:00:00.000Z"), QString(), QStringLiteral("/p"), QString())), QString());
        QCOMPARE(journal.synchronise().sent, int(expected.size()) + 1);
    }

    // A backlog of several batches arrives once and in order; a refused record among thousands is set aside and
    // the others arrive; records sent again (their acknowledgement lost) are not inserted twice.
    void backlogArrivesOnceAndInOrder_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("refused");
        QTest::addColumn<int>("sentAgain");  // the first ones, marked waiting again after they were sent
        QTest::newRow("several batches") << 4500 << QList<int>{} << 0;
        QTest::newRow("refused among thousands") << 4500 << QList<int>{0, 999, 1000, 3333, 4499} << 0;
        QTest::newRow("sent again") << 4500 << QList<int>{} << 2500;
        QTest::newRow("sent again, one refused") << 4500 << QList<int>{2200} << 3000;
    }
    void backlogArrivesOnceAndInOrder()
    {
        QFETCH(int, count);
        QFETCH(QList<int>, refused);
        QFETCH(int, sentAgain);
        test::PostgresServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QCOMPARE(ServerStore(server.uri()).initialise().error, QString());
        server.query(QStringLiteral("ALTER TABLE trivo_journal ADD CONSTRAINT lot_connu CHECK (lot <> 'REFUS')"));
        JournalSettings settings = settingsFor(QStringLiteral("backlog-%1").arg(QTest::currentDataTag()));
        JournalRecord first = recordAt(QStringLiteral("2024-05-02T08:00:00.000Z"), QString(), QStringLiteral("/p"),
                                       refused.contains(0) ? QStringLiteral("REFUS") : QStringLiteral("L1"));
        first.message += QStringLiteral("\t\\N \\.\n\\");  // what the server's copy format must have escaped
        QCOMPARE(Journal(settings).append(first), QString());
        // Written in one transaction, the server not reached meanwhile: a backlog as a long outage leaves it.
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("backlog-%1").arg(++databases_));
            db.setDatabaseName(settings.databasePath);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("BEGIN")));
            QVERIFY(q.prepare(QStringLiteral(
                "INSERT INTO journal (id, horodatage, poste, operateur, lot, afficheur, chemin, version, operation, resultat,"
                " message, empreinte_avant, empreinte_apres, empreinte_fichier, fichier, duree_ms) SELECT ?, horodatage, poste,"
                " operateur, ?, afficheur, chemin, version, operation, resultat, message, empreinte_avant, empreinte_apres,"
                " empreinte_fichier, fichier, duree_ms FROM journal WHERE seq = 1")));
            for (int i = 1; i < count; ++i) {
                q.bindValue(0, QUuid::createUuid().toString(QUuid::WithoutBraces));
                q.bindValue(1, refused.contains(i) ? QStringLiteral("REFUS") : QStringLiteral("L1"));
                QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
            }
            QVERIFY(q.exec(QStringLiteral("COMMIT")));
        }
        QStringList expected;
        QList<JournalRecord> records;
        {
            Journal journal(settings);
            for (const JournalRecord& r : journal.readLocal({}, nullptr))
                if (r.lot != QLatin1String("REFUS")) {
                    expected << r.id;
                    records << r;
                }
        }
        QCOMPARE(expected.size(), count - refused.size());
        settings.serverUri = server.uri();
        for (int pass = 0; pass < (sentAgain > 0 ? 2 : 1); ++pass) {
            if (pass > 0)
                QVERIFY(QSqlQuery(QSqlDatabase::database(QStringLiteral("backlog-%1").arg(databases_)))
                            .exec(QStringLiteral("UPDATE journal SET envoye = 0 WHERE seq <= %1 AND rejet = ''").arg(sentAgain)));
            Journal journal(settings);
            const SyncResult sync = journal.synchronise();
            QCOMPARE(sync.error, QString());
            QCOMPARE(sync.waiting, 0);
            QCOMPARE(sync.setAside, int(refused.size()));
            QCOMPARE(sync.sent, pass == 0 ? int(expected.size()) : sentAgain - int(std::count_if(refused.cbegin(), refused.cend(), [&](int i) { return i < sentAgain; })));
        }
        QCOMPARE(server.query(QStringLiteral("SELECT id FROM trivo_journal ORDER BY seq")), expected);
        QString error;
        Journal journal(settings);
        QCOMPARE(journal.readServer({}, &error), records);
        const QList<SetAsideRecord> aside = journal.setAside({}, &error);
        QCOMPARE(aside.size(), refused.size());
        for (const SetAsideRecord& a : aside)
            QVERIFY2(a.reason.contains(QStringLiteral("lot_connu")), qPrintable(a.reason));
    }

    // A station inserts and reads; the schema is the administrator's, and a station says what is wrong with it.
    void whatAStationNeedsOfTheServer_data()
    {
        QTest::addColumn<QString>("setup");  // SQL run as the administrator after the schema is made
        QTest::addColumn<bool>("schema");
        QTest::addColumn<QString>("refusal");  // "" when the station's record arrives
        const QString rights = QStringLiteral(
            "GRANT SELECT, INSERT ON trivo_journal TO poste; GRANT SELECT ON trivo_journal_version TO poste;"
            "GRANT USAGE ON SEQUENCE trivo_journal_seq_seq TO poste;");
        QTest::newRow("insert and select only") << rights << true << "";
        // Even a station allowed to create tables leaves that to the administrator's command.
        QTest::newRow("no schema") << "GRANT CREATE ON SCHEMA public TO poste" << false << "base initialiser";
        QTest::newRow("older schema") << rights + "UPDATE trivo_journal_version SET version = 1" << true << "version ancienne (1)";
        QTest::newRow("newer schema") << rights + QStringLiteral("UPDATE trivo_journal_version SET version = %1").arg(ServerStore::schemaVersion() + 1) << true << "plus récente";
        QTest::newRow("no right to insert") << "GRANT SELECT ON trivo_journal, trivo_journal_version TO poste" << true << "permission";
    }
    void whatAStationNeedsOfTheServer()
    {
        QFETCH(QString, setup);
        QFETCH(bool, schema);
        QFETCH(QString, refusal);
        test::PostgresServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        if (schema)
            QCOMPARE(ServerStore(server.uri()).initialise().error, QString());
        server.query(QStringLiteral("CREATE ROLE poste LOGIN;") + setup);
        const QString station = QStringLiteral("postgresql://poste@/postgres?host=%1").arg(server.socketFolder());
        JournalSettings settings = settingsFor(QStringLiteral("rights-%1").arg(QTest::currentDataTag()));
        settings.serverUri = station;
        Journal journal(settings);
        QCOMPARE(journal.append(recordAt(QStringLiteral("2024-05-02T08:00:00.000Z"), QString(), QStringLiteral("/p"), QString())), QString());
        const SyncResult sync = journal.synchronise();
        QVERIFY2(refusal.isEmpty() ? sync.error.isEmpty() : sync.error.contains(refusal), qPrintable(sync.error));
        QCOMPARE(sync.waiting, refusal.isEmpty() ? 0 : 1);
        QCOMPARE(sync.setAside, 0);  // the server's state is no fault of the record's
        QCOMPARE(server.query(QStringLiteral("SELECT count(*) FROM pg_tables WHERE tablename LIKE 'trivo%'")),
                 QStringList{schema ? "5" : "0"});  // the journal's two and the lots' three
    }

    // The connection string as it may be shown: its password gone whatever its form, the rest kept.
    void passwordsAreNeverShown_data()
    {
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QString>("kept");
        QTest::newRow("URI") << "postgresql://u:S3CRET@h:5432/x" << "postgresql://u:****@h:5432/x";
        QTest::newRow("encoded URI") << "postgres://u:S3%43RET@h/x" << "postgres://u:****@h/x";
        QTest::newRow("query parameter") << "postgresql://u@h/x?sslmode=require&password=S3CRET" << "u@h/x?sslmode=require&password=****";
        QTest::newRow("key=value") << "host=h user=u password=S3CRET dbname=x" << "host=h user=u password=**** dbname=x";
        QTest::newRow("quoted key=value") << "host=h password = 'S3 CRET\\'x' dbname=x" << "dbname=x";
        QTest::newRow("unreadable") << "host=h password S3CRET" << "illisible";
    }
    void passwordsAreNeverShown()
    {
        QFETCH(QString, uri);
        QFETCH(QString, kept);
        const QString shown = ServerStore::shown(uri);
        QVERIFY2(!shown.contains(QStringLiteral("CRET")), qPrintable(shown));
        QVERIFY2(shown.contains(kept), qPrintable(shown));
        const QString quoted = ServerStore::masked(QStringLiteral("libpq: bad \"%1\"").arg(uri), uri);
        QVERIFY2(!quoted.contains(QStringLiteral("CRET")) || kept == QLatin1String("illisible"), qPrintable(quoted));
    }
};

QTEST_GUILESS_MAIN(TestJournal)
#include "test_journal.moc"
