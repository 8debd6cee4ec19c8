// Lots from the command line, against a PostgreSQL server of the test's own: two emulated lines making one
// lot's quantity at once, the stations going on from their cache once the server is stopped (and the one
// that never fetched the lot refused), a revision made while a line runs, and the refusals of bad input.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include "support/postgres_server.h"

namespace {

const QString kCli = QStringLiteral(TRIVO_CLI_PATH);
const QString kModel = QStringLiteral(TRIVO_CLI_DATA "/model.config_CP");
constexpr int kProcessTimeoutMs = 120000;  // a bound for a hung process, not a measure

// A station: its own data folder (its journal, its lot cache) and settings, its own name.
struct Station {
    QString home;
    QString name;
    QProcess process;

    void start(const QStringList& args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(home);
        QDir().mkpath(home);
        process.start(kCli, (name.isEmpty() ? QStringList{} : QStringList{"--poste", name}) + args);
    }
    int finish()
    {
        if (!process.waitForFinished(kProcessTimeoutMs) || process.exitStatus() != QProcess::NormalExit)
            return -1;
        out = process.readAllStandardOutput();
        err = process.readAllStandardError();
        return process.exitCode();
    }
    int run(const QStringList& args)
    {
        start(args);
        return finish();
    }
    QJsonDocument json(const QStringList& args)
    {
        run(args);
        return QJsonDocument::fromJson(out);
    }
    QByteArray out;
    QByteArray err;
};

}  // namespace

class TestCliLots : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    trivo::test::PostgresServer server_;

    QString home(const QString& name) const { return dir_.filePath(name); }
    QStringList base() const { return {"--base", server_.uri()}; }
    // The server's records of a lot, oldest first.
    QJsonArray records(const QString& lot)
    {
        Station reader{home(QStringLiteral("lecteur"))};
        return reader.json(base() + QStringList{"historique", "--json", "--formation", "--lot", lot}).array();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(server_.start(), qPrintable(server_.error()));
        Station admin{home(QStringLiteral("admin"))};
        QCOMPARE(admin.run(base() + QStringList{"base", "initialiser"}), 0);
    }

    // Bad input and refusals, at the station's database (no server) and at the server.
    void refusals_data()
    {
        QTest::addColumn<bool>("onServer");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        const QString picture = dir_.filePath(QStringLiteral("faux.png"));
        QFile bad(picture);
        bad.open(QIODevice::WriteOnly);
        bad.write("pas une image");
        bad.close();
        for (const bool server : {false, true}) {
            const QString where = server ? QStringLiteral("serveur, ") : QStringLiteral("poste, ");
            QTest::newRow(qPrintable(where + "modèle illisible")) << server << QStringList{"lot", "definir", "R1", "--modele", "/rien/m.config_CP"} << 4 << "Fichier introuvable";
            QTest::newRow(qPrintable(where + "image illisible")) << server << QStringList{"lot", "definir", "R1", "--modele", kModel, "--ecran", picture} << 4 << "faux.png";
            QTest::newRow(qPrintable(where + "nom avec espace")) << server << QStringList{"lot", "definir", "R 1", "--modele", kModel} << 2 << "Nom de lot refusé";
            QTest::newRow(qPrintable(where + "nom avec barre")) << server << QStringList{"lot", "montrer", "../R1"} << 2 << "Nom de lot refusé";
            QTest::newRow(qPrintable(where + "version mal écrite")) << server << QStringList{"lot", "definir", "R1", "--modele", kModel, "--version-attendue", "1.2"} << 2 << "--version-attendue";
            QTest::newRow(qPrintable(where + "lot inconnu montré")) << server << QStringList{"lot", "montrer", "INCONNU"} << 4 << "lot INCONNU inconnu";
            QTest::newRow(qPrintable(where + "révision d'un lot inconnu")) << server << QStringList{"lot", "definir", "INCONNU", "--revision", "--modele", kModel} << 4 << "lot INCONNU inconnu";
            QTest::newRow(qPrintable(where + "production d'un lot inconnu")) << server << QStringList{"--simule", "production", "--lot", "INCONNU"} << 4 << "lot INCONNU inconnu";
            QTest::newRow(qPrintable(where + "lot défini deux fois")) << server << QStringList{"lot", "definir", "DOUBLE", "--modele", kModel} << 1 << "déjà défini";
            QTest::newRow(qPrintable(where + "production d'un lot clos")) << server << QStringList{"--simule", "production", "--lot", "CLOS"} << 4 << "lot CLOS clos";
            QTest::newRow(qPrintable(where + "révision d'un lot clos")) << server << QStringList{"lot", "definir", "CLOS", "--revision", "--modele", kModel} << 4 << "lot CLOS clos";
            QTest::newRow(qPrintable(where + "version autre que celle du lot")) << server << QStringList{"--simule", "--unites", "2", "production", "--lot", "V0102"} << 1 << "version 0100, le lot attend 0102";
        }
    }
    void refusals()
    {
        QFETCH(bool, onServer);
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, said);
        Station station{home(onServer ? QStringLiteral("refus-serveur") : QStringLiteral("refus-poste"))};
        const QStringList where = onServer ? base() : QStringList{};
        // The lots the rows refuse to touch (defined again on later rows: refused as defined, which they are).
        station.run(where + QStringList{"lot", "definir", "DOUBLE", "--modele", kModel});
        station.run(where + QStringList{"lot", "definir", "CLOS", "--modele", kModel});
        station.run(where + QStringList{"lot", "clore", "CLOS"});
        station.run(where + QStringList{"lot", "definir", "V0102", "--modele", kModel, "--version-attendue", "0102"});
        QCOMPARE(station.run(where + args), status);
        QVERIFY2((station.err + station.out).contains(said.toUtf8()), station.err.constData());
        if (args.contains(QStringLiteral("V0102"))) {
            // Failed without being programmed: nothing read back, nothing passed.
            const QJsonObject lot = station.json(where + QStringList{"lot", "montrer", "V0102", "--json"}).object();
            QCOMPARE(lot[QStringLiteral("avancement")].toObject()[QStringLiteral("conformes")].toInt(), 0);
            QCOMPARE(lot[QStringLiteral("avancement")].toObject()[QStringLiteral("echecs")].toInt(), 2);
            for (const QJsonValue& r : station.json(where + QStringList{"--simule", "historique", "--json", "--lot", "V0102"}).array())
                QVERIFY(r.toObject()[QStringLiteral("empreinte_apres")].isNull());
        }
    }

    // Two stations defining one lot at the same moment: one definition is kept, the other told.
    void oneOfTwoDefinitionsKept()
    {
        Station a{home(QStringLiteral("def-a")), QStringLiteral("A")};
        Station b{home(QStringLiteral("def-b")), QStringLiteral("B")};
        a.start(base() + QStringList{"lot", "definir", "ENSEMBLE", "--modele", kModel, "--note", "de A"});
        b.start(base() + QStringList{"lot", "definir", "ENSEMBLE", "--modele", kModel, "--note", "de B"});
        const int statusA = a.finish();
        const int statusB = b.finish();
        QCOMPARE(QSet<int>({statusA, statusB}), QSet<int>({0, 1}));
        Station& kept = statusA == 0 ? a : b;
        Station& told = statusA == 0 ? b : a;
        QVERIFY2(told.err.contains("ENSEMBLE"), told.err.constData());
        const QJsonObject lot = kept.json(base() + QStringList{"lot", "montrer", "ENSEMBLE", "--json"}).object();
        QCOMPARE(lot[QStringLiteral("revisions")].toArray().size(), 1);
        QCOMPARE(lot[QStringLiteral("poste")].toString(), kept.name);
        QCOMPARE(lot[QStringLiteral("revisions")].toArray()[0].toObject()[QStringLiteral("note")].toString(),
                 QStringLiteral("de ") + kept.name);
    }

    // A lot of 10 made by two lines of 8 at once: 10 pass in all, each record carries the revision's hash.
    void twoLinesMakeOneQuantity()
    {
        Station admin{home(QStringLiteral("admin"))};
        QCOMPARE(admin.run(base() + QStringList{"lot", "definir", "Q10", "--modele", kModel, "--quantite", "10"}), 0);
        Station lines[2] = {{home(QStringLiteral("ligne-a")), QStringLiteral("ligne-A")},
                            {home(QStringLiteral("ligne-b")), QStringLiteral("ligne-B")}};
        for (Station& s : lines)
            s.start(base() + QStringList{"--simule", "--unites", "8", "production", "--lot", "Q10"});
        for (Station& s : lines)
            QVERIFY2(s.finish() == 0, s.err.constData());
        for (Station& s : lines)
            QVERIFY2(s.run(base() + QStringList{"synchroniser"}) == 0, s.err.constData());

        const QJsonObject lot = admin.json(base() + QStringList{"lot", "montrer", "Q10", "--json"}).object();
        const QJsonObject all = lot[QStringLiteral("avancement")].toObject();
        QCOMPARE(all[QStringLiteral("conformes")].toInt(), 10);
        QCOMPARE(all[QStringLiteral("faits")].toInt(), 10);
        QCOMPARE(all[QStringLiteral("en_cours")].toInt(), 0);
        QCOMPARE(all[QStringLiteral("restants")].toInt(), 0);
        const QJsonArray units = records(QStringLiteral("Q10"));
        QCOMPARE(units.size(), 10);
        QMap<QString, int> perStation;
        for (const QJsonValue& v : units) {
            const QJsonObject r = v.toObject();
            QCOMPARE(r[QStringLiteral("resultat")].toString(), QStringLiteral("reussi"));
            QCOMPARE(r[QStringLiteral("empreinte_lot")].toString(), lot[QStringLiteral("empreinte")].toString());
            ++perStation[r[QStringLiteral("poste")].toString()];
        }
        const QJsonObject stations = lot[QStringLiteral("postes")].toObject();
        QCOMPARE(stations.keys(), QStringList({"ligne-A", "ligne-B"}));
        for (const QString& name : stations.keys()) {
            QCOMPARE(stations[name].toObject()[QStringLiteral("conformes")].toInt(), perStation.value(name));
            QVERIFY(perStation.value(name) <= 8);
        }
    }

    // A line killed in the middle of a unit gives its place in the quantity back, on the server and on the
    // station: the next line makes the lot's one unit instead of finding it taken for good.
    void aKilledLineGivesItsUnitBack_data()
    {
        QTest::addColumn<bool>("onServer");
        QTest::newRow("station") << false;
        QTest::newRow("server") << true;
    }
    void aKilledLineGivesItsUnitBack()
    {
        QFETCH(bool, onServer);
        const QString lot = onServer ? QStringLiteral("TUE-S") : QStringLiteral("TUE-P");
        const QStringList where = onServer ? base() : QStringList{};
        Station line{home(QStringLiteral("ligne-tuee")), QStringLiteral("ligne-T")};
        QCOMPARE(line.run(where + QStringList{"lot", "definir", lot, "--modele", kModel, "--quantite", "1"}), 0);
        const auto progress = [&] {
            Station reader{line.home};
            return reader.json(where + QStringList{"lot", "montrer", lot, "--json"}).object()[QStringLiteral("avancement")].toObject();
        };
        // Each exchange slow: the unit is reserved long before it is programmed.
        line.start(where + QStringList{"--simule", "--latence", "3000", "--unites", "1", "production", "--lot", lot});
        QTRY_COMPARE_WITH_TIMEOUT(progress()[QStringLiteral("en_cours")].toInt(), 1, kProcessTimeoutMs);
        ::kill(line.process.processId(), SIGKILL);
        line.process.waitForFinished(kProcessTimeoutMs);
        QCOMPARE(progress()[QStringLiteral("en_cours")].toInt(), 0);

        QVERIFY2(line.run(where + QStringList{"--simule", "--unites", "2", "production", "--lot", lot}) == 0, line.err.constData());
        const QJsonObject made = progress();
        QCOMPARE(made[QStringLiteral("conformes")].toInt(), 1);
        QCOMPARE(made[QStringLiteral("en_cours")].toInt(), 0);
        QCOMPARE(made[QStringLiteral("restants")].toInt(), 0);
    }

    // A revision made while a line runs: the units before it keep the old hash, the next ones the new.
    void revisionWhileLineRuns()
    {
        Station admin{home(QStringLiteral("admin"))};
        QCOMPARE(admin.run(base() + QStringList{"lot", "definir", "REV", "--modele", kModel, "--note", "premier"}), 0);
        Station line{home(QStringLiteral("ligne-rev")), QStringLiteral("ligne-R")};
        line.start(base() + QStringList{"--simule", "--latence", "2", "--unites", "400", "production", "--lot", "REV"});
        auto madeWith = [&](int revision) {
            const QJsonArray revisions =
                admin.json(base() + QStringList{"lot", "montrer", "REV", "--json"}).object()[QStringLiteral("revisions")].toArray();
            return revision <= revisions.size() ? revisions[revision - 1].toObject()[QStringLiteral("faits")].toInt() : 0;
        };
        QTRY_VERIFY_WITH_TIMEOUT(madeWith(1) >= 1, kProcessTimeoutMs);
        QCOMPARE(admin.run(base() + QStringList{"lot", "definir", "REV", "--revision", "--modele", kModel, "--note", "second"}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(madeWith(2) >= 1, kProcessTimeoutMs);
        ::kill(line.process.processId(), SIGINT);
        QVERIFY(line.finish() >= 0);
        // Ctrl+C leaves the last records waiting on the station.
        QVERIFY2(line.run(base() + QStringList{"synchroniser"}) == 0, line.err.constData());

        const QJsonArray revisions =
            admin.json(base() + QStringList{"lot", "montrer", "REV", "--json"}).object()[QStringLiteral("revisions")].toArray();
        QCOMPARE(revisions.size(), 2);
        const QString first = revisions[0].toObject()[QStringLiteral("empreinte")].toString();
        const QString second = revisions[1].toObject()[QStringLiteral("empreinte")].toString();
        QVERIFY(first != second);
        QStringList hashes;
        for (const QJsonValue& v : records(QStringLiteral("REV")))
            hashes << v.toObject()[QStringLiteral("empreinte_lot")].toString();
        const qsizetype firstNew = hashes.indexOf(second);
        QVERIFY(firstNew >= 1);
        QCOMPARE(hashes.mid(0, firstNew), QStringList(firstNew, first));
        QCOMPARE(hashes.mid(firstNew), QStringList(hashes.size() - firstNew, second));
        QCOMPARE(firstNew, revisions[0].toObject()[QStringLiteral("faits")].toInt());
    }

    // The server stopped: the station that fetched the lot makes units from its cache, counting alone; one
    // that never fetched it is refused; a cached file altered is refused. Last: the server stays stopped.
    void serverAway()
    {
        Station admin{home(QStringLiteral("admin"))};
        QCOMPARE(admin.run(base() + QStringList{"lot", "definir", "CACHE", "--modele", kModel, "--quantite", "5"}), 0);
        Station fetched{home(QStringLiteral("en-cache")), QStringLiteral("cache-A")};
        QVERIFY2(fetched.run(base() + QStringList{"--simule", "--unites", "2", "production", "--lot", "CACHE"}) == 0,
                 fetched.err.constData());
        QVERIFY(server_.stop());

        QVERIFY2(fetched.run(base() + QStringList{"--simule", "--unites", "8", "production", "--lot", "CACHE"}) == 0,
                 fetched.err.constData());
        QVERIFY2(fetched.err.contains("compte seul"), fetched.err.constData());
        // Two made online, three more alone: the quantity as this station knows it.
        QVERIFY2(fetched.out.contains("3 afficheurs : 3 conformes"), fetched.out.constData());

        Station never{home(QStringLiteral("jamais")), QStringLiteral("cache-B")};
        QCOMPARE(never.run(base() + QStringList{"--simule", "production", "--lot", "CACHE"}), 4);
        QVERIFY2(never.err.contains("jamais récupéré"), never.err.constData());

        // The cached model altered: refused by its hash, nothing programmed.
        QDirIterator files(home(QStringLiteral("en-cache")) + QStringLiteral("/data"), {"model.config_CP"}, QDir::Files,
                           QDirIterator::Subdirectories);
        QVERIFY(files.hasNext());
        QFile cached(files.next());
        QVERIFY(cached.open(QIODevice::Append));
        cached.write("\n");
        cached.close();
        QCOMPARE(fetched.run(base() + QStringList{"--simule", "production", "--lot", "CACHE"}), 4);
        QVERIFY2(fetched.err.contains("altéré"), fetched.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestCliLots)
#include "test_cli_lots.moc"
