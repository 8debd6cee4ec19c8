// "bilan" run as a process over a station's journal written here through the journal's API: its JSON for
// each filter written out below, its aligned text, its exit statuses for a bad date and for a server it
// cannot reach (the station's own figures then).
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "journal/journal.h"

using namespace trivo;
using namespace trivo::journal;

namespace {

const QString kCli = QStringLiteral(TRIVO_CLI_PATH);
constexpr int kProcessTimeoutMs = 120000;  // a bound for a hung process, not a measure

JournalRecord record(const char* at, const char* station, const char* who, const char* lot, bool passed,
                     bool training = false)
{
    HidInterfaceInfo display;
    display.path = "/dev/hidraw1";
    JournalEntry entry(Operation::Production, display,
                       Identity{QString::fromLatin1(station), QString::fromLatin1(who), QString::fromLatin1(lot)});
    entry.finish(passed, passed ? QStringLiteral("conforme") : QStringLiteral("Pas de réponse"));
    entry.record().at = QDateTime::fromString(QString::fromLatin1(at), Qt::ISODate);
    entry.record().training = training;
    return entry.record();
}

}  // namespace

class TestCliSummary : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    struct Run {
        int status = -1;
        QByteArray out;
        QByteArray err;
    };
    Run run(const QStringList& args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir_.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
        p.setProcessEnvironment(env);
        p.start(kCli, args);
        Run r;
        if (p.waitForFinished(kProcessTimeoutMs) && p.exitStatus() == QProcess::NormalExit)
            r.status = p.exitCode();
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        JournalSettings settings;
        settings.databasePath = dir_.filePath(QStringLiteral("data/trivo/trivo-cp/journal.sqlite"));
        Journal journal(settings);
        for (const JournalRecord& r : {record("2024-05-02T08:10:00Z", "poste-1", "jean", "L1", true),
                                       record("2024-05-02T08:40:00Z", "poste-1", "jean", "L1", false),
                                       record("2024-05-02T09:15:00Z", "poste-2", "marie", "L2", false),
                                       record("2024-05-02T09:20:00Z", "poste-1", "jean", "L2", true, true)})
            QCOMPARE(journal.append(r), QString());
    }

    void json_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("json");
        const QByteArray all =
            R"({"echecs":2,"par_heure":[{"echecs":1,"heure":"2024-05-02T08:00:00.000Z","reussis":1},)"
            R"({"echecs":1,"heure":"2024-05-02T09:00:00.000Z","reussis":0}],)"
            R"("par_lot":[{"echecs":1,"lot":"L1","reussis":1},{"echecs":1,"lot":"L2","reussis":0}],)"
            R"("postes_operateurs":[{"dernier":"2024-05-02T08:40:00.000Z","echecs":1,"operateur":"jean","poste":"poste-1",)"
            R"("premier":"2024-05-02T08:10:00.000Z","reussis":1},{"dernier":"2024-05-02T09:15:00.000Z","echecs":1,)"
            R"("operateur":"marie","poste":"poste-2","premier":"2024-05-02T09:15:00.000Z","reussis":0}],)"
            R"("raisons":[{"cumul_pourcent":100,"nombre":2,"raison":"Pas de réponse"}],"reussis":1,"source":"poste"})";
        QTest::newRow("all") << QStringList{"bilan", "--json"} << 0 << all;
        QTest::newRow("lot, training too")
            << QStringList{"bilan", "--lot", "L2", "--formation", "--json"} << 0
            << QByteArray(R"({"echecs":1,"par_heure":[{"echecs":1,"heure":"2024-05-02T09:00:00.000Z","reussis":1}],)"
                          R"("par_lot":[{"echecs":1,"lot":"L2","reussis":1}],)"
                          R"("postes_operateurs":[{"dernier":"2024-05-02T09:20:00.000Z","echecs":0,"operateur":"jean",)"
                          R"("poste":"poste-1","premier":"2024-05-02T09:20:00.000Z","reussis":1},)"
                          R"({"dernier":"2024-05-02T09:15:00.000Z","echecs":1,"operateur":"marie","poste":"poste-2",)"
                          R"("premier":"2024-05-02T09:15:00.000Z","reussis":0}],)"
                          R"("raisons":[{"cumul_pourcent":100,"nombre":1,"raison":"Pas de réponse"}],"reussis":1,"source":"poste"})");
        QTest::newRow("since")
            << QStringList{"bilan", "--depuis", "2024-05-02T08:30:00Z", "--json"} << 0
            << QByteArray(R"({"echecs":2,"par_heure":[{"echecs":1,"heure":"2024-05-02T08:00:00.000Z","reussis":0},)"
                          R"({"echecs":1,"heure":"2024-05-02T09:00:00.000Z","reussis":0}],)"
                          R"("par_lot":[{"echecs":1,"lot":"L1","reussis":0},{"echecs":1,"lot":"L2","reussis":0}],)"
                          R"("postes_operateurs":[{"dernier":"2024-05-02T08:40:00.000Z","echecs":1,"operateur":"jean",)"
                          R"("poste":"poste-1","premier":"2024-05-02T08:40:00.000Z","reussis":0},)"
                          R"({"dernier":"2024-05-02T09:15:00.000Z","echecs":1,"operateur":"marie","poste":"poste-2",)"
                          R"("premier":"2024-05-02T09:15:00.000Z","reussis":0}],)"
                          R"("raisons":[{"cumul_pourcent":100,"nombre":2,"raison":"Pas de réponse"}],"reussis":0,"source":"poste"})");
        // The server cannot be reached: the station's own figures, and exit status 1.
        QTest::newRow("server unreachable")
            << QStringList{"--base", "postgresql://atelier@/journal?host=" + dir_.filePath("nowhere"), "bilan", "--json"}
            << 1 << all;
        QTest::newRow("bad date") << QStringList{"bilan", "--depuis", "hier", "--json"} << 2 << QByteArray();
        QTest::newRow("unknown option") << QStringList{"bilan", "--csv"} << 2 << QByteArray();
    }
    void json()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QByteArray, json);
        const Run r = run(args);
        QVERIFY2(r.status == status, r.err.constData());
        const QByteArray compact = r.out.isEmpty() ? QByteArray() : QJsonDocument::fromJson(r.out).toJson(QJsonDocument::Compact);
        QCOMPARE(compact, json);
    }

    // What a person reads: the columns aligned, the numbers on the right, the reasons ranked with their share.
    void humanText()
    {
        const Run r = run({"bilan", "--formation"});
        QCOMPARE(r.status, 0);
        QCOMPARE(QString::fromUtf8(r.out),
                 QStringLiteral("Opérations : 4 (réussies 2, en échec 2)\n"
                                "\n"
                                "Par heure :\n"
                                "  Heure             Réussies  Échecs\n"
                                "  2024-05-02 08:00         1       1\n"
                                "  2024-05-02 09:00         1       1\n"
                                "\n"
                                "Par lot :\n"
                                "  Lot  Réussies  Échecs\n"
                                "  L1          1       1\n"
                                "  L2          1       1\n"
                                "\n"
                                "Raisons des échecs, les plus fréquentes d'abord :\n"
                                "  Nombre  Cumul  Raison\n"
                                "       2  100 %  Pas de réponse\n"
                                "\n"
                                "Postes et opérateurs :\n"
                                "  Poste    Opérateur  Réussies  Échecs  Première          Dernière\n"
                                "  poste-1  jean              2       1  2024-05-02 08:10  2024-05-02 09:20\n"
                                "  poste-2  marie             0       1  2024-05-02 09:15  2024-05-02 09:15\n"));
    }
};

QTEST_MAIN(TestCliSummary)
#include "test_cli_summary.moc"
