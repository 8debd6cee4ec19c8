// The service journal from the command line: two stations' production lines at once into one PostgreSQL
// server of the test's own, then "historique" read back from the server and from each station, its fields
// checked against the production log's blocks and the model file.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "journal/journal_record.h"
#include "production/production_log.h"
#include "support/postgres_server.h"

using namespace trivo;

namespace {

const QString kCli = QStringLiteral(TRIVO_CLI_PATH);
const QString kModel = QStringLiteral(TRIVO_CLI_DATA "/model.config_CP");
constexpr int kProcessTimeoutMs = 120000;  // a bound for a hung process, not a measure

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

}  // namespace

class TestCliJournal : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void twoStationsAtOnceIntoOneServer()
    {
        test::PostgresServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
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

        const QJsonArray shared = QJsonDocument::fromJson(stations[0].run({"--base", server.uri(), "historique", "--json"})).array();
        QCOMPARE(shared.size(), 10);
        for (int s = 0; s < 2; ++s) {
            // The station's own journal holds its five, in the order of its log, with the log's blocks.
            const QJsonArray local = QJsonDocument::fromJson(stations[s].run({"historique", "--json"})).array();
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
                QJsonDocument::fromJson(stations[1 - s].run({"--base", server.uri(), "historique", "--json", "--lot", lots[s]}))
                    .array();
            QCOMPARE(lot, local);
        }
    }
};

QTEST_GUILESS_MAIN(TestCliJournal)
#include "test_cli_journal.moc"
