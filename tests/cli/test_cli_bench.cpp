// Several emulated displays plugged at once (--simule --unites N): each listed with its own serial number and
// path, none written to until the command says which, only the one named written to; and the service journal
// of what was done to them, its block hash that of the block the display holds.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "journal/journal_record.h"
#include "support/cli_process.h"
#include "support/files.h"

using namespace trivo;

namespace {

const QString kModel = QStringLiteral(TRIVO_CLI_DATA "/model.config_CP");
using test::Run;

class Bench {
public:
    QString state() const { return dir_.filePath(QStringLiteral("banc.json")); }
    Run cli(const QStringList& args) const { return test::runCli(args, {}, test::cliEnvironment(dir_.path())); }
    // The block display K (from 1) holds, as its state file keeps it; empty before it was ever saved.
    QByteArray block(int k) const
    {
        const QByteArray file = test::readAll(state() + QStringLiteral(".%1").arg(k));
        return QByteArray::fromHex(QJsonDocument::fromJson(file).object()[QStringLiteral("bloc")].toString().toLatin1());
    }

private:
    QTemporaryDir dir_;
};

}  // namespace

class TestCliBench : public QObject {
    Q_OBJECT

private slots:
    void threeDisplaysListed()
    {
        Bench bench;
        const Run r = bench.cli({"--simule", "--unites", "3", "liste", "--json"});
        QCOMPARE(r.status, 0);
        const QJsonArray list = QJsonDocument::fromJson(r.out.toUtf8()).array();
        QCOMPARE(list.size(), 3);
        QSet<QString> serials, paths;
        for (int i = 0; i < 3; ++i) {
            const QJsonObject d = list[i].toObject();
            QCOMPARE(d[QStringLiteral("index")].toInt(), i + 1);
            QCOMPARE(d[QStringLiteral("etat")].toString(), QStringLiteral("libre"));
            serials << d[QStringLiteral("serie")].toString();
            paths << d[QStringLiteral("chemin")].toString();
        }
        QCOMPARE(serials.size(), 3);
        QCOMPARE(paths.size(), 3);
        QVERIFY(!serials.contains(QString()));
    }

    // Several displays and none named: nothing is written to any, whatever the command; named: only that one.
    void onlyTheDisplayNamedIsWritten_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addRow("programmer") << QStringList{"programmer", kModel};
        QTest::addRow("commande") << QStringList{"commande", "raz-c"};
        QTest::addRow("ecran effacer") << QStringList{"ecran", "effacer"};
        QTest::addRow("lire") << QStringList{"lire"};
    }

    void onlyTheDisplayNamedIsWritten()
    {
        QFETCH(QStringList, command);
        Bench bench;
        const QStringList bench3 = {QStringLiteral("--simule=") + bench.state(), "--unites", "3"};
        QCOMPARE(bench.cli(bench3 + QStringList{"--afficheur", "1", "lire"}).status, 0);  // every state file saved
        const QByteArray before[3] = {bench.block(1), bench.block(2), bench.block(3)};
        QVERIFY(!before[1].isEmpty());

        const Run refused = bench.cli(bench3 + command);
        QCOMPARE(refused.status, 8);
        QVERIFY(refused.out.isEmpty());
        QVERIFY2(refused.err.contains(QStringLiteral("EMU-1002")), qPrintable(refused.err));  // the list is shown
        for (int k = 1; k <= 3; ++k)
            QCOMPARE(bench.block(k), before[k - 1]);

        if (command.first() != QLatin1String("programmer"))
            return;
        QCOMPARE(bench.cli(bench3 + QStringList{"--afficheur", "2"} + command).status, 0);
        QCOMPARE(bench.block(1), before[0]);
        QVERIFY(bench.block(2) != before[1]);
        QCOMPARE(bench.block(3), before[2]);
        // The same display by its serial number, and by the name given to it.
        QCOMPARE(bench.cli(bench3 + QStringList{"--afficheur", "EMU-1003", "etiqueter", "banc C"}).status, 0);
        QCOMPARE(bench.cli(bench3 + QStringList{"--afficheur", "banc C"} + command).status, 0);
        QCOMPARE(bench.block(3), bench.block(2));
        QCOMPARE(bench.cli(bench3 + QStringList{"--afficheur", "banc Z", "lire"}).status, 3);
    }

    // A production line and a programming: each write to a display is one record, the programmed block's hash
    // that of the block the display holds afterwards.
    void journalOfTheBench()
    {
        Bench bench;
        const QString log = QFileInfo(bench.state()).dir().filePath(QStringLiteral("lot.csv"));
        QCOMPARE(bench.cli({"--simule", "--unites", "2", "production", kModel, "--journal", log}).status, 0);
        const QStringList bench2 = {QStringLiteral("--simule=") + bench.state(), "--unites", "2"};
        QCOMPARE(bench.cli(bench2 + QStringList{"--afficheur", "2", "programmer", kModel, "--verifier"}).status, 0);

        // Made on emulated displays: training, kept apart from the service records (a lot never counts them).
        QCOMPARE(QJsonDocument::fromJson(bench.cli({"historique", "--json"}).out.toUtf8()).array().size(), 0);
        const Run history = bench.cli({"historique", "--json", "--formation"});
        QCOMPARE(history.status, 0);
        const QJsonArray records = QJsonDocument::fromJson(history.out.toUtf8()).array();
        QCOMPARE(records.size(), 3);
        QCOMPARE(QJsonDocument::fromJson(bench.cli({"--simule", "historique", "--json"}).out.toUtf8()).array(), records);
        QStringList operations;
        for (const QJsonValue& v : records)
            operations << v.toObject()[QStringLiteral("operation")].toString();
        QCOMPARE(operations, QStringList({"production", "production", "programmation"}));
        const QJsonObject programmed = records[2].toObject();
        QCOMPARE(programmed[QStringLiteral("afficheur")].toString(), QStringLiteral("EMU-1002"));
        QCOMPARE(programmed[QStringLiteral("resultat")].toString(), QStringLiteral("reussi"));
        QCOMPARE(programmed[QStringLiteral("empreinte_apres")].toString(), journal::sha256Hex(bench.block(2)));
        QCOMPARE(programmed[QStringLiteral("empreinte_fichier")].toString(), journal::sha256Hex(test::readAll(kModel)));
        QCOMPARE(programmed[QStringLiteral("fichier")].toString(), QStringLiteral("model.config_CP"));
    }
};

QTEST_GUILESS_MAIN(TestCliBench)
#include "test_cli_bench.moc"
