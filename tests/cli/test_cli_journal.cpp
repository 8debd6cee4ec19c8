// The service journal from the command line: two stations' production lines at once into one PostgreSQL
// server of the test's own, then "historique" read back from the server and from each station, its fields
// checked against the production log's blocks and the model file; a server whose journal table another
// session locks, which holds no command back; the password of every form of connection kept out of every
// output of a failing run; a station's large journal written a page at a time, the newest N or up to a
// date, its JSON the bytes of the whole array; "bilan" over a station's journal the test writes.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include "journal/journal.h"
#include "journal/journal_record.h"
#include "production/production_log.h"
#include "support/journal_generator.h"
#include "support/postgres_server.h"

using namespace trivo;

namespace {

const QString kCli = QStringLiteral(TRIVO_CLI_PATH);
const QString kModel = QStringLiteral(TRIVO_CLI_DATA "/model.config_CP");
constexpr int kProcessTimeoutMs = 120000;  // a bound for a hung process, not a measure
constexpr int kPaged = 12000;  // records of the paged journal: six pages of historique, two lots

// A station: its own data folder (its local journal) and settings.
struct Station {
    QString home;
    QProcess process;

    void start(const QStringList& args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        process.setProcessEnvironment(env);
        process.start(kCli, args);
    }
    bool finishedWell()
    {
        return process.waitForFinished(kProcessTimeoutMs) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }
    QByteArray run(const QStringList& args)
    {
        start(args);
        if (!finishedWell())
            return "<failed: " + process.readAllStandardError() + ">";
        return process.readAllStandardOutput();
    }
    QStringList localIds()
    {
        QStringList ids;
        // A training session's: the emulated display's records are training ones.
        for (const QJsonValue& v : QJsonDocument::fromJson(run({"--simule", "historique", "--json"})).array())
            ids << v.toObject()[QStringLiteral("id")].toString();
        return ids;
    }
};

QStringList csvLines(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (!lines.isEmpty())
        lines.removeFirst();
    return lines;
}

QString hashOfHex(const QString& hex) { return journal::sha256Hex(QByteArray::fromHex(hex.toLatin1())); }

journal::JournalRecord summaryRecord(const char* at, const char* station, const char* who, const char* lot, bool passed,
                                     bool training = false)
{
    journal::JournalEntry entry(journal::Operation::Production, HidInterfaceInfo{},
                                journal::Identity{QString::fromLatin1(station), QString::fromLatin1(who), QString::fromLatin1(lot)});
    entry.finish(passed, passed ? QStringLiteral("conforme") : QStringLiteral("Pas de réponse"));
    entry.record().at = QDateTime::fromString(QString::fromLatin1(at), Qt::ISODate);
    entry.record().training = training;
    return entry.record();
}

}  // namespace

class TestCliJournal : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    test::PostgresServer server_;  // "atelier" gives its password; "vide" is a database without the schema
    Station locked_;
    std::unique_ptr<test::PostgresServer::Session> lock_;

private slots:
    void initTestCase()
    {
        QVERIFY2(server_.start(), qPrintable(server_.error()));
        Station admin;
        admin.home = dir_.filePath(QStringLiteral("admin"));
        QVERIFY(admin.run({"--base", server_.uri(), "base", "initialiser"}).startsWith("Schéma du journal créé"));
        QVERIFY(admin.run({"--base", server_.uri(), "base", "initialiser"}).contains("à jour (version 4)"));
        server_.query(QStringLiteral("CREATE ROLE atelier LOGIN PASSWORD 'S3CRET-juste';"
                                     "GRANT SELECT, INSERT ON trivo_journal, trivo_journal_version TO atelier;"
                                     "GRANT USAGE ON SEQUENCE trivo_journal_seq_seq TO atelier"));
        server_.query(QStringLiteral("CREATE DATABASE vide"));
        QVERIFY2(server_.requirePasswords(), qPrintable(server_.error()));
        locked_.home = dir_.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(locked_.home));
    }

    // Generated records n: serials SN000000000 ... in the order of time. Past many pages of historique: none
    // twice, none missed; --limite and --jusqu-a cut where they say.
    void pagedHistory_data()
    {
        QTest::addColumn<QStringList>("args");  // "T<k>": the time of record k
        QTest::addColumn<int>("first");         // the serial of the first line
        QTest::addColumn<int>("count");
        QTest::newRow("every record") << QStringList{} << 0 << kPaged;
        QTest::newRow("the newest 3") << QStringList{"--limite", "3"} << kPaged - 3 << 3;
        QTest::newRow("the newest, more than there are") << QStringList{"--limite", "99999"} << 0 << kPaged;
        QTest::newRow("a lot's newest 2") << QStringList{"--lot", "L1", "--limite", "2"} << 9998 << 2;
        QTest::newRow("up to a time") << QStringList{"--jusqu-a", "T4500", "--limite", "3"} << 4497 << 3;
        QTest::newRow("between two times") << QStringList{"--depuis", "T2000", "--jusqu-a", "T6100"} << 2000 << 4100;
        QTest::newRow("nothing") << QStringList{"--lot", "aucun"} << 0 << 0;
    }
    void pagedHistory()
    {
        QFETCH(QStringList, args);
        QFETCH(int, first);
        QFETCH(int, count);
        Station station;
        station.home = dir_.filePath(QStringLiteral("paged"));
        const QString path = station.home + QStringLiteral("/data/trivo/trivo-cp/journal.sqlite");
        if (!QFile::exists(path)) {
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
            QCOMPARE(test::generateJournal(path, kPaged), QString());
        }
        const QStringList all = QString::fromUtf8(station.run({"historique", "--csv"})).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(all.size(), kPaged + 1);
        for (QString& a : args)
            if (a.startsWith(u'T'))
                a = production::csvFields(all.at(a.mid(1).toInt() + 1)).at(1);
        const QStringList lines = QString::fromUtf8(station.run(QStringList{"historique", "--csv"} + args)).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), count + 1);
        for (int i = 0; i < count; ++i)
            QCOMPARE(production::csvFields(lines[i + 1]).at(5), test::generatedSerial(first + i));
        // The JSON, written a record at a time, is the array QJsonDocument makes of the same records.
        const QByteArray json = station.run(QStringList{"historique", "--json"} + args);
        QJsonParseError error;
        const QJsonDocument parsed = QJsonDocument::fromJson(json, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(parsed.array().size(), count);
        QCOMPARE(json, parsed.toJson(QJsonDocument::Indented));
    }

    void twoStationsAtOnceIntoOneServer()
    {
        test::PostgresServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        Station admin;
        admin.home = dir_.filePath(QStringLiteral("admin"));
        admin.run({"--base", server.uri(), "base", "initialiser"});
        Station stations[2];
        const QStringList lots = {QStringLiteral("A-1"), QStringLiteral("B-2")};
        for (int s = 0; s < 2; ++s) {
            stations[s].home = dir_.filePath(QStringLiteral("station%1").arg(s));
            stations[s].start({"--simule", "--unites", "5", "--base", server.uri(), "--operateur",
                               QStringLiteral("op%1").arg(s), "--lot", lots[s], "production", kModel, "--journal",
                               dir_.filePath(QStringLiteral("station%1.csv").arg(s))});
        }
        for (Station& s : stations)
            QVERIFY2(s.finishedWell(), s.process.readAllStandardError().constData());

        QCOMPARE(server.query(QStringLiteral("SELECT count(*), count(DISTINCT id) FROM trivo_journal")),
                 QStringList{QStringLiteral("10|10")});
        QFile modelFile(kModel);
        QVERIFY(modelFile.open(QIODevice::ReadOnly));
        const QString modelHash = journal::sha256Hex(modelFile.readAll());

        const QJsonArray shared = QJsonDocument::fromJson(stations[0].run({"--base", server.uri(), "historique", "--json", "--formation"})).array();
        QCOMPARE(shared.size(), 10);
        for (int s = 0; s < 2; ++s) {
            // The station's own journal holds its five, in the order of its log, with the log's blocks.
            const QJsonArray local = QJsonDocument::fromJson(stations[s].run({"historique", "--json", "--formation"})).array();
            const QStringList log = csvLines(dir_.filePath(QStringLiteral("station%1.csv").arg(s)));
            QCOMPARE(local.size(), 5);
            QCOMPARE(log.size(), 5);
            for (int i = 0; i < 5; ++i) {
                const QJsonObject o = local[i].toObject();
                const QStringList fields = production::csvFields(log[i]);
                const QStringList keys = o.keys();
                QCOMPARE(QSet<QString>(keys.begin(), keys.end()),
                         QSet<QString>(journal::columnNames().begin(), journal::columnNames().end()));
                QCOMPARE(o[QStringLiteral("operation")].toString(), QStringLiteral("production"));
                QCOMPARE(o[QStringLiteral("resultat")].toString(), QStringLiteral("reussi"));
                QCOMPARE(o[QStringLiteral("operateur")].toString(), QStringLiteral("op%1").arg(s));
                QCOMPARE(o[QStringLiteral("lot")].toString(), lots[s]);
                QCOMPARE(o[QStringLiteral("chemin")].toString(), fields[9]);
                QCOMPARE(o[QStringLiteral("empreinte_avant")].toString(), hashOfHex(fields[6]));
                QCOMPARE(o[QStringLiteral("empreinte_apres")].toString(), hashOfHex(fields[7]));
                QCOMPARE(o[QStringLiteral("empreinte_fichier")].toString(), modelHash);
                QCOMPARE(o[QStringLiteral("fichier")].toString(), QStringLiteral("model.config_CP"));
                QCOMPARE(o[QStringLiteral("duree_ms")].toInteger(), fields[5].toLongLong());
                QVERIFY(QDateTime::fromString(o[QStringLiteral("horodatage")].toString(), Qt::ISODateWithMs).isValid());
                QVERIFY(shared.contains(o));  // and on the server as it is here
            }
            const QJsonArray lot =
                QJsonDocument::fromJson(stations[1 - s].run({"--base", server.uri(), "historique", "--json", "--formation", "--lot", lots[s]}))
                    .array();
            QCOMPARE(lot, local);
        }
    }

    // Another session holds the journal's table: every command still ends, its record waiting; Ctrl+C and
    // SIGTERM end one that waits on the server at once.
    void lockedServerHoldsNoCommandBack_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("signal");  // sent once the command waits for the lock; 0: none
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("commande plus") << QStringList{"commande", "plus"} << 0 << 0 << "attend le serveur";
        QTest::newRow("ecran effacer") << QStringList{"ecran", "effacer"} << 0 << 0 << "attendent le serveur";
        QTest::newRow("programmer") << QStringList{"programmer", kModel} << 0 << 0 << "attendent le serveur";
        QTest::newRow("historique") << QStringList{"historique"} << 0 << 1 << "3 enregistrements de ce poste qui attendent";
        // Not the lock's own time-out, which would end the command a few seconds later.
        QTest::newRow("synchroniser, SIGTERM") << QStringList{"synchroniser"} << SIGTERM << 1 << "échange interrompu";
        QTest::newRow("synchroniser, Ctrl+C") << QStringList{"synchroniser"} << SIGINT << 1 << "échange interrompu";
    }
    void lockedServerHoldsNoCommandBack()
    {
        QFETCH(QStringList, args);
        QFETCH(int, signal);
        QFETCH(int, status);
        QFETCH(QString, said);
        if (!lock_) {
            lock_ = server_.session();
            QVERIFY2(lock_->exec("BEGIN; LOCK TABLE trivo_journal IN ACCESS EXCLUSIVE MODE;"), qPrintable(lock_->error()));
            QTRY_COMPARE_WITH_TIMEOUT(server_.query(QStringLiteral("SELECT count(*) FROM pg_locks WHERE granted AND "
                                                                   "relation = 'trivo_journal'::regclass")),
                                      QStringList{"1"}, kProcessTimeoutMs);
        }
        const QString since = server_.query(QStringLiteral("SELECT now()")).value(0);
        QElapsedTimer took;
        took.start();
        locked_.start(QStringList{"--base", server_.uri(), "--simule=" + locked_.home + "/etat"} + args);
        if (signal) {
            QTRY_COMPARE_WITH_TIMEOUT(server_.query(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE "
                                                                   "application_name = 'trivo-cp' AND wait_event_type "
                                                                   "= 'Lock' AND backend_start >= '%1'").arg(since)),
                                      QStringList{"1"}, kProcessTimeoutMs);
            ::kill(locked_.process.processId(), signal);
        }
        QVERIFY(locked_.process.waitForFinished(kProcessTimeoutMs));
        qInfo("%s: ended in %lld ms", QTest::currentDataTag(), took.elapsed());
        const QString err = QString::fromUtf8(locked_.process.readAllStandardError());
        QCOMPARE(locked_.process.exitStatus(), QProcess::NormalExit);
        QVERIFY2(err.contains(said), qPrintable(err));
        QCOMPARE(locked_.process.exitCode(), status);
    }

    // Once the lock goes, every record of the station reaches the server, once and in its order.
    void onceTheLockGoesEveryRecordArrivesOnce()
    {
        QVERIFY(lock_);
        QVERIFY2(lock_->exec("COMMIT;"), qPrintable(lock_->error()));
        const QByteArray sent = locked_.run({"--base", server_.uri(), "synchroniser"});
        QVERIFY2(sent.startsWith("3 enregistrements envoyés"), sent.constData());
        QCOMPARE(server_.query(QStringLiteral("SELECT id FROM trivo_journal ORDER BY seq")), locked_.localIds());
    }

    // Each form of connection, each way of failing: the password appears in no output.
    void noPasswordInAnyOutput_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("secret");
        const struct {
            const char* fault;
            QString host;
            const char* database;
            const char* password;
        } faults[] = {{"unreachable", dir_.filePath(QStringLiteral("sans-serveur")), "postgres", "S3CRET-injoignable"},
                      {"wrong password", server_.socketFolder(), "postgres", "S3CRET-faux"},
                      {"schema missing", server_.socketFolder(), "vide", "S3CRET-juste"}};
        for (const auto& f : faults) {
            const QString secret = QString::fromLatin1(f.password);
            QTest::addRow("%s, URI", f.fault) << QStringLiteral("postgresql://atelier:%1@/%2?host=%3").arg(secret, f.database, f.host) << secret;
            QTest::addRow("%s, key=value", f.fault)
                << QStringLiteral("host=%3 user=atelier password=%1 dbname=%2").arg(secret, f.database, f.host) << secret;
            QTest::addRow("%s, ?password=", f.fault)
                << QStringLiteral("postgresql://atelier@/%2?host=%3&password=%1").arg(secret, f.database, f.host) << secret;
        }
    }
    void noPasswordInAnyOutput()
    {
        QFETCH(QString, base);
        QFETCH(QString, secret);
        Station station;
        station.home = dir_.filePath(QStringLiteral("secret-%1").arg(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(station.home));
        for (const QStringList& args : {QStringList{"--simule=" + station.home + "/etat", "commande", "plus"},
                                        QStringList{"historique"}, QStringList{"synchroniser"},
                                        QStringList{"base", "initialiser"}}) {
            station.start(QStringList{"--base", base} + args);
            QVERIFY(station.process.waitForFinished(kProcessTimeoutMs));
            const QString out = QString::fromUtf8(station.process.readAllStandardOutput());
            const QString err = QString::fromUtf8(station.process.readAllStandardError());
            QVERIFY2(err.contains(QStringLiteral("serveur du journal")), qPrintable(args.last() + ": " + err));
            QVERIFY2(!(out + err).contains(secret), qPrintable(out + err));
        }
    }

    // "bilan" over a station's journal written here through the journal's API: its JSON for each filter
    // (or a piece of its aligned text), its exit statuses for a bad date and for a server it cannot reach
    // (this station's figures then).
    void summary_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray all =
            R"({"echecs":2,"par_heure":[{"echecs":1,"heure":"2024-05-02T08:00:00.000Z","reussis":1},)"
            R"({"echecs":1,"heure":"2024-05-02T09:00:00.000Z","reussis":0}],)"
            R"("par_lot":[{"echecs":1,"lot":"L1","reussis":1},{"echecs":1,"lot":"L2","reussis":0}],)"
            R"("postes_operateurs":[{"dernier":"2024-05-02T08:40:00.000Z","echecs":1,"operateur":"jean","poste":"poste-1",)"
            R"("premier":"2024-05-02T08:10:00.000Z","reussis":1},{"dernier":"2024-05-02T09:15:00.000Z","echecs":1,)"
            R"("operateur":"marie","poste":"poste-2","premier":"2024-05-02T09:15:00.000Z","reussis":0}],)"
            R"("raisons":[{"cumul_pourcent":100,"nombre":2,"raison":"Pas de réponse"}],"reussis":1,"source":"poste"})";
        QTest::newRow("all") << QStringList{"bilan", "--json"} << 0 << all;
        QTest::newRow("filters")
            << QStringList{"bilan", "--lot", "L2", "--depuis", "2024-05-02T09:16:00Z", "--formation", "--json"} << 0
            << QByteArray(R"({"echecs":0,"par_heure":[{"echecs":0,"heure":"2024-05-02T09:00:00.000Z","reussis":1}],)"
                          R"("par_lot":[{"echecs":0,"lot":"L2","reussis":1}],"postes_operateurs":[{"dernier":)"
                          R"("2024-05-02T09:20:00.000Z","echecs":0,"operateur":"jean","poste":"poste-1","premier":)"
                          R"("2024-05-02T09:20:00.000Z","reussis":1}],"raisons":[],"reussis":1,"source":"poste"})");
        QTest::newRow("server unreachable")
            << QStringList{"--base", "postgresql://atelier@/journal?host=" + dir_.filePath("nowhere"), "bilan", "--json"}
            << 1 << all;
        QTest::newRow("bad date") << QStringList{"bilan", "--depuis", "hier", "--json"} << 2 << QByteArray();
        QTest::newRow("unknown option") << QStringList{"bilan", "--csv"} << 2 << QByteArray();
        // The columns aligned, the numbers on the right.
        QTest::newRow("text") << QStringList{"bilan", "--formation"} << 0
                              << QByteArray("Par lot :\n  Lot  Réussies  Échecs\n  L1          1       1\n  L2          1       1\n");
    }
    void summary()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, expected);
        Station station;
        station.home = dir_.filePath(QStringLiteral("bilan"));
        if (const QString path = station.home + QStringLiteral("/data/trivo/trivo-cp/journal.sqlite"); !QFile::exists(path)) {
            journal::JournalSettings settings;
            settings.databasePath = path;
            journal::Journal journal(settings);
            for (const journal::JournalRecord& r : {summaryRecord("2024-05-02T08:10:00Z", "poste-1", "jean", "L1", true),
                                                    summaryRecord("2024-05-02T08:40:00Z", "poste-1", "jean", "L1", false),
                                                    summaryRecord("2024-05-02T09:15:00Z", "poste-2", "marie", "L2", false),
                                                    summaryRecord("2024-05-02T09:20:00Z", "poste-1", "jean", "L2", true, true)})
                QCOMPARE(journal.append(r), QString());
        }
        station.start(args);
        QVERIFY(station.process.waitForFinished(kProcessTimeoutMs));
        QTEST(station.process.exitCode(), "status");
        const QByteArray out = station.process.readAllStandardOutput();
        if (!args.contains(QStringLiteral("--json")))
            QVERIFY2(out.contains(expected), out.constData());
        else
            QCOMPARE(out.isEmpty() ? QByteArray() : QJsonDocument::fromJson(out).toJson(QJsonDocument::Compact), expected);
    }
};

QTEST_GUILESS_MAIN(TestCliJournal)
#include "test_cli_journal.moc"
