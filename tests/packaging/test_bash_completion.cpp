// The bash completion of trivo-cp-cli, run in bash as the shell runs it: the words typed so far in
// COMP_WORDS, the candidates read back from COMPREPLY, in a folder with files of every kind it offers.
#include <QTemporaryDir>
#include <QtTest>

#include "packaging_test_support.h"

using namespace packaging_test;

namespace {
const QString kScript = QStringLiteral(TRIVO_COMPLETION_SCRIPT);

// The candidates for the last word of words (the command name first), sorted.
QStringList complete(const QStringList& words, const QString& folder)
{
    QString array;
    for (const QString& w : words)
        array +=
            QLatin1Char('\'') + QString(w).replace(QLatin1Char('\''), QLatin1String("'\\''")) + QLatin1String("' ");
    const QString script = QStringLiteral("source '%1' || exit 9\n"
                                          "COMP_WORDS=(%2)\n"
                                          "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
                                          "_trivo_cp_cli\n"
                                          "printf '%s\\n' \"${COMPREPLY[@]}\"\n")
                               .arg(kScript, array);
    const Run r = run(QStringLiteral("bash"), {QStringLiteral("--norc"), QStringLiteral("-c"), script}, {}, {}, folder);
    if (r.exitCode != 0)
        return {QStringLiteral("bash failed: ") + r.err};
    QStringList candidates = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    candidates.sort();
    return candidates;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}
}  // namespace

class TestBashCompletion : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;

private slots:
    void initTestCase()
    {
        QVERIFY(folder_.isValid());
        QVERIFY(QDir(folder_.path()).mkdir(QStringLiteral("sous-dossier")));
        for (const char* name : {"modele.config_CP", "autre.CONFIG_CP", "logo.bmp", "fw.hex", "notes.txt"}) {
            QFile f(folder_.filePath(QLatin1String(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
    }

    void completesTheCommandsOfHelp()
    {
        QStringList commands;
        for (const QString& usage :
             helpCommandLines(run(QStringLiteral(TRIVO_CLI_PATH), {QStringLiteral("--help")}).out))
            commands << usage.section(QLatin1Char(' '), 0, 0);
        commands.removeDuplicates();
        QVERIFY(!commands.isEmpty());
        QCOMPARE(complete({QStringLiteral("trivo-cp-cli"), QString()}, folder_.path()), sorted(commands));
    }

    void candidates_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("expected");
        const QString cli = QStringLiteral("trivo-cp-cli");
        QTest::newRow("command prefix") << QStringList{cli, "ec"} << QStringList{"ecran"};
        QTest::newRow("command after --simule") << QStringList{cli, "--simule", "e"} << QStringList{"ecran", "etat", "etiqueter"};
        QTest::newRow("command after --trace file")
            << QStringList{cli, "--trace", "t.txt", "re"} << QStringList{"registres", "restaurer"};
        QTest::newRow("global options") << QStringList{cli, "--s"} << QStringList{"--simule", "--simule="};
        QTest::newRow("faults after --panne")
            << QStringList{cli, "--simule", "--panne", "e"} << QStringList{"ecriture", "ecriture-partielle"};
        QTest::newRow("unplug fault") << QStringList{cli, "--simule", "--panne", "deb"} << QStringList{"debranche:"};
        QTest::newRow("command after a fault")
            << QStringList{cli, "--simule", "--panne", "muet", "e"} << QStringList{"ecran", "etat", "etiqueter"};
        QTest::newRow("trace file") << QStringList{cli, "--trace", "n"} << QStringList{"notes.txt"};
        QTest::newRow("state file after --simule=") << QStringList{cli, "--simule", "=", "f"} << QStringList{"fw.hex"};
        QTest::newRow("direct commands") << QStringList{cli, "commande", "r"} << QStringList{"raz-c", "raz-t", "reset"};
        QTest::newRow("nothing after a direct command") << QStringList{cli, "commande", "plus", ""} << QStringList{};
        QTest::newRow("etat option") << QStringList{cli, "etat", "--j"} << QStringList{"--journal"};
        QTest::newRow("registres option") << QStringList{cli, "registres", ""} << QStringList{"--help", "--suivre"};
        QTest::newRow("programmer takes configuration files")
            << QStringList{cli, "programmer", ""} << QStringList{"autre.CONFIG_CP", "modele.config_CP", "sous-dossier"};
        QTest::newRow("lire -o takes configuration files")
            << QStringList{cli, "lire", "-o", "m"} << QStringList{"modele.config_CP"};
        QTest::newRow("ecran sub-commands")
            << QStringList{cli, "ecran", ""} << QStringList{"--help", "effacer", "envoyer", "lire"};
        QTest::newRow("ecran envoyer takes pictures")
            << QStringList{cli, "ecran", "envoyer", ""} << QStringList{"logo.bmp", "sous-dossier"};
        QTest::newRow("ecran lire needs -o") << QStringList{cli, "ecran", "lire", ""} << QStringList{"-o"};
        QTest::newRow("firmware sub-commands")
            << QStringList{cli, "firmware", ""} << QStringList{"--help", "dump", "flasher"};
        QTest::newRow("firmware takes HEX files")
            << QStringList{cli, "firmware", "flasher", ""} << QStringList{"fw.hex", "sous-dossier"};
        QTest::newRow("production takes a configuration file")
            << QStringList{cli, "production", ""} << QStringList{"autre.CONFIG_CP", "modele.config_CP", "sous-dossier"};
        QTest::newRow("production options")
            << QStringList{cli, "production", "modele.config_CP", "--e"} << QStringList{"--ecran", "--en-parallele"};
        QTest::newRow("production picture") << QStringList{cli, "production", "m", "--ecran", "l"}
                                            << QStringList{"logo.bmp"};
        QTest::newRow("nothing after --nombre") << QStringList{cli, "production", "m", "--nombre", ""}
                                                << QStringList{};
        QTest::newRow("command after --unites N")
            << QStringList{cli, "--simule", "--unites", "5", "pr"} << QStringList{"production", "programmer"};
        QTest::newRow("nothing after --latence") << QStringList{cli, "--simule", "--latence", ""} << QStringList{};
        QTest::newRow("command after --latence MS")
            << QStringList{cli, "--simule", "--latence", "2", "pr"} << QStringList{"production", "programmer"};
        QTest::newRow("command after a server's URI")
            << QStringList{cli, "--base", "postgresql", ":", "//atelier@serveur", ":", "5432/journal", "--lot", "42", "hi"}
            << QStringList{"historique"};
        QTest::newRow("historique options")
            << QStringList{cli, "historique", "--depuis", "2024-05-02", "--"}
            << QStringList{"--afficheur", "--csv", "--depuis", "--formation", "--help", "--jusqu-a", "--json", "--limite", "--lot"};
        QTest::newRow("base initialiser") << QStringList{cli, "--base", "host=h", "base", "i"} << QStringList{"initialiser"};
        QTest::newRow("flasher confirmation option")
            << QStringList{cli, "firmware", "flasher", "fw.hex", ""} << QStringList{"--oui"};
    }
    void candidates()
    {
        QFETCH(QStringList, words);
        QFETCH(QStringList, expected);
        QCOMPARE(complete(words, folder_.path()), sorted(expected));
    }

    void registeredForTheProgram()
    {
        const Run r = run(QStringLiteral("bash"),
                          {QStringLiteral("--norc"), QStringLiteral("-c"),
                           QStringLiteral("source '%1' && complete -p trivo-cp-cli").arg(kScript)});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.trimmed(), QStringLiteral("complete -F _trivo_cp_cli trivo-cp-cli"));
    }
};

QTEST_GUILESS_MAIN(TestBashCompletion)
#include "test_bash_completion.moc"
