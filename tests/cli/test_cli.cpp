// The command-line companion run as a process on the emulated display.
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

#include "cli/cli_support.h"
#include "common/dialogs.h"
#include "common/main_services.h"
#include "config/config_form.h"
#include "config/config_file.h"
#include "configwindow/config_window.h"
#include "configwindow/test_config_file_support.h"
#include "emulator/emulated_display.h"
#include "journal/journal_record.h"
#include "link/exchanger.h"
#include "link/display_owner.h"
#include "link/report_trace.h"
#include "sheet/pdf_facts.h"
#include "support/cli_process.h"
#include "support/files.h"
#include "support/rig.h"

using namespace trivo;

namespace {
using test::kCli;
using test::kProcessTimeoutMs;
using test::readAll;
using test::Run;
using test::writeAll;
const auto environment = [] { return test::cliEnvironment(); };

void start(QProcess& p, const QStringList& args) { test::startCli(p, args); }
Run cli(const QStringList& args, const QByteArray& input = {}) { return test::runCli(args, input); }

QJsonObject state(const QString& path) { return QJsonDocument::fromJson(readAll(path)).object(); }

// A configuration file of random values that can all be programmed.
QByteArray randomConfiguration(QRandomGenerator& rng)
{
    FormState form = testing::randomFormState(rng);
    for (QString& text : form.REG_V)
        text = QString::number(int(rng.generate()));
    return config_file::toFileBytes(form);
}

// The emulated display's block in a state file, and the same file with one block byte changed.
QByteArray stateBlock(const QString& path)
{
    return QByteArray::fromHex(state(path).value(QStringLiteral("bloc")).toString().toLatin1());
}

void setStateBlockByte(const QString& path, int offset, uint8_t value)
{
    QJsonObject o = state(path);
    QByteArray block = stateBlock(path);
    block[offset] = char(value);
    o.insert(QStringLiteral("bloc"), QString::fromLatin1(block.toHex()));
    writeAll(path, QJsonDocument(o).toJson());
}

// The request codes of the reports a trace file shows written.
QList<int> tracedRequests(const QByteArray& text)
{
    QList<int> codes;
    for (const QByteArray& line : text.split('\n'))
        if (line.startsWith("> "))
            codes << line.mid(5, 2).toInt(nullptr, 16);
    return codes;
}

QList<int> tracedRequests(const QString& trace) { return tracedRequests(readAll(trace)); }

// Whether the kernel lists process `pid` as holding a flock on `file` (/proc/locks: pid, then device and
// inode): a program's claim, seen from outside without touching it.
bool holdsFlock(qint64 pid, const QString& file)
{
    struct stat info {};
    QFile locks(QStringLiteral("/proc/locks"));
    if (::stat(QFile::encodeName(file).constData(), &info) != 0 || !locks.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 5 && fields[1] == "FLOCK" && fields[4].toLongLong() == pid
            && fields[5].split(':').last().toULongLong() == info.st_ino)
            return true;
    }
    return false;
}

bool onlyReads(const QList<int>& codes)
{
    for (int code : codes)
        if (code != 0x30 && code != 0x31 && code != 0x02)
            return false;
    return true;
}

// Runs a command in process, on an emulated display whose block or picture is changed behind the
// program's back after every report of one request code: what a read-back is there to catch. The session
// owns its display and link, as the command line's own does; the dialogs are the rig's strict ones.
Run cliWithDisplayChangedAfter(const QStringList& args, uint8_t code,
                               const std::function<void(EmulatedDisplay&)>& change, int unplugAfter = -1)
{
    Session s;
    auto transport = std::make_unique<EmulatedTransport>();
    transport->plug(true);
    s.emulated = transport.get();
    s.transport = std::move(transport);
    s.link = std::make_unique<Exchanger>(*s.transport);
    s.link->setReadTimeoutMs(50);
    s.link->connectionCheck();
    EmulatedDisplay& display = s.emulated->display();
    s.link->setReportObserver([&](bool output, const uint8_t* data, std::size_t) {
        if (output && data[1] == code)
            change(display);
    });
    if (unplugAfter >= 0)
        s.emulated->unplugAfterReports(unplugAfter);
    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    test::StrictDialogs dialogs;
    CliContext c{out, err, dialogs, &s};
    QStringList rest = args;
    const QString command = rest.takeFirst();
    const int status = command == QLatin1String("programmer") ? cmdProgrammer(c, rest) : cmdEcran(c, rest);
    out.flush();
    err.flush();
    return {status, outText, errText};
}

// Replaces line n (1-based) of a configuration file.
QByteArray withLine(const QByteArray& file, int n, const QByteArray& text)
{
    QList<QByteArray> lines = file.split('\n');
    lines[n - 1] = text + '\r';
    return lines.join('\n');
}
}  // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void helpForEveryCommand_data()
    {
        QTest::addColumn<QString>("command");
        for (const char* c : {"etat", "lire", "programmer", "commande", "registres", "ecran", "firmware", "comparer",
                              "sauvegarder", "restaurer"})
            QTest::newRow(c) << QString::fromLatin1(c);
    }
    void helpForEveryCommand()
    {
        QFETCH(QString, command);
        const Run r = cli({command, QStringLiteral("--help")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.startsWith(QStringLiteral("Usage : trivo-cp-cli ") + command));
    }

    void failuresExitNonZero_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("no command") << QStringList{} << 2;
        QTest::newRow("unknown command") << QStringList{QStringLiteral("danser")} << 2;
        QTest::newRow("unknown action") << QStringList{QStringLiteral("--simule"), QStringLiteral("commande"),
                                                       QStringLiteral("sauter")}
                                        << 2;
        QTest::newRow("etat, unknown argument")
            << QStringList{QStringLiteral("--simule"), QStringLiteral("etat"), QStringLiteral("--jurnal")} << 2;
        QTest::newRow("registres, unknown argument")
            << QStringList{QStringLiteral("--simule"), QStringLiteral("registres"), QStringLiteral("--suivr")} << 2;
        QTest::newRow("missing file") << QStringList{QStringLiteral("--simule"), QStringLiteral("programmer"),
                                                     QStringLiteral("/nonexistent/x.config_CP")}
                                      << 4;
        QTest::newRow("missing hex") << QStringList{QStringLiteral("firmware"), QStringLiteral("dump"),
                                                    QStringLiteral("/nonexistent/x.hex")}
                                     << 4;
        QTest::newRow("programmer, two files") << QStringList{"--simule", "programmer", "a", "b", "--verifier"} << 2;
        QTest::newRow("comparer, no file") << QStringList{"--simule", "comparer"} << 2;
        QTest::newRow("comparer, unknown option") << QStringList{"--simule", "comparer", "a", "--jsn"} << 2;
        QTest::newRow("comparer, missing file") << QStringList{"--simule", "comparer", "/nonexistent/x.config_CP"} << 4;
        QTest::newRow("sauvegarder, no folder") << QStringList{"--simule", "sauvegarder"} << 2;
        QTest::newRow("restaurer, no backup there")
            << QStringList{"--simule", "restaurer", "/nonexistent/s", "--oui"} << 4;
        QTest::newRow("ecran lire --verifier")
            << QStringList{"--simule", "ecran", "lire", "-o", "x.png", "--verifier"} << 2;
        QTest::newRow("lire --pdf, no file") << QStringList{"--simule", "lire", "--pdf"} << 2;
        QTest::newRow("unknown fault") << QStringList{"--simule", "--panne", "bidon", "etat"} << 2;
        QTest::newRow("fault count not a number") << QStringList{"--simule", "--panne", "debranche:x", "etat"} << 2;
        QTest::newRow("count on a fault without one") << QStringList{"--simule", "--panne", "muet:3", "etat"} << 2;
        QTest::newRow("fault without its name") << QStringList{"--simule", "--panne"} << 2;
        QTest::newRow("fault without --simule") << QStringList{"--panne", "muet", "etat"} << 2;
    }
    void failuresExitNonZero()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        const Run r = cli(args);
        QCOMPARE(r.status, status);
        QVERIFY(!r.err.isEmpty());
    }

    // --langue en: the help and the messages in English with the same status; --langue fr and nothing give
    // the same French; what scripts read (liste --json) is the same in both.
    void messagesInEitherLanguage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("french");   // how the output (the error stream when it fails) starts
        QTest::addColumn<QString>("english");  // empty: the same bytes as in French
        QTest::newRow("general help") << QStringList{"--help"} << 0 << "Usage : trivo-cp-cli [--simule"
                                      << "Usage: trivo-cp-cli [--simule";
        QTest::newRow("a command's help") << QStringList{"comparer", "--help"} << 0
                                          << "Usage : trivo-cp-cli comparer FICHIER" << "Usage: trivo-cp-cli comparer FILE";
        QTest::newRow("unknown command") << QStringList{"danser"} << 2 << "Commande inconnue : danser"
                                         << "Unknown command: danser";
        QTest::newRow("unknown argument") << QStringList{"--simule", "etat", "--jurnal"} << 2
                                          << "Argument inconnu : --jurnal" << "Unknown argument: --jurnal";
        QTest::newRow("no display") << QStringList{"--simule", "--panne", "debranche:0", "registres"} << 3
                                    << "Aucun TRIVO ZURED connecté." << "No TRIVO ZURED connected.";
        QTest::newRow("state of a display") << QStringList{"--simule", "etat"} << 0 << "TRIVO ZURED connecté.\nChemin : "
                                            << "TRIVO ZURED connected.\nPath: ";
        QTest::newRow("liste --json") << QStringList{"--simule", "liste", "--json"} << 0 << "[" << "";
    }
    void messagesInEitherLanguage()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, french);
        QFETCH(QString, english);
        const Run plain = cli(args);
        const Run fr = cli(QStringList{"--langue", "fr"} + args);
        const Run en = cli(QStringList{"--langue=en"} + args);
        QCOMPARE(plain.status, status);
        QCOMPARE(fr.status, status);
        QCOMPARE(en.status, status);
        QCOMPARE(fr.out, plain.out);
        QCOMPARE(fr.err, plain.err);
        const QString& frenchText = status == 0 ? plain.out : plain.err;
        const QString& englishText = status == 0 ? en.out : en.err;
        QVERIFY2(frenchText.startsWith(french), qPrintable(frenchText));
        if (english.isEmpty()) {
            QCOMPARE(englishText, frenchText);
            return;
        }
        QVERIFY2(englishText.startsWith(english), qPrintable(englishText));
        static const QRegularExpression frenchLetters(QStringLiteral("[éèêàçùôîÉÈÀ«»]"));
        QVERIFY2(!englishText.contains(frenchLetters), qPrintable(englishText));
    }

    void theHelpNamesEveryStatus()
    {
        const Run r = cli({QStringLiteral("--help")});
        QCOMPARE(r.status, 0);
        for (const char* line :
             {"Codes de sortie :", "  5  fait, mais l'afficheur relu diffère", "  6  lecture de l'afficheur impossible",
              "comparer FICHIER [--json]", "sauvegarder DOSSIER", "restaurer DOSSIER [--oui]",
              "programmer FICHIER [--verifier]", "ecran envoyer IMAGE [--verifier]"})
            QVERIFY2(r.out.contains(QString::fromUtf8(line)), line);
    }

    // Programmed and verified; then one stored byte changes behind the program's back, and the comparison
    // names that field only, without writing anything.
    void programmedWithVerificationThenOneByteFlipped()
    {
        QRandomGenerator rng(1414);
        for (int run = 0; run < 3; ++run) {
            QTemporaryDir dir;
            const QString st = QStringLiteral("--simule=") + dir.filePath(QStringLiteral("etat.json"));
            const QString file = dir.filePath(QStringLiteral("r.config_CP"));
            writeAll(file, randomConfiguration(rng));
            Run r = cli({st, QStringLiteral("programmer"), file, QStringLiteral("--verifier")});
            QCOMPARE(r.status, 0);
            QCOMPARE(r.out, QStringLiteral("Programmation efféctuée avec succés.\nIdentique.\n"));

            const QString statePath = dir.filePath(QStringLiteral("etat.json"));
            setStateBlockByte(statePath, 31, uint8_t(stateBlock(statePath)[31] ^ 0x02));
            const QByteArray held = stateBlock(statePath);
            const QString trace = dir.filePath(QStringLiteral("t.txt"));
            r = cli({st, QStringLiteral("--trace"), trace, QStringLiteral("comparer"), file});
            QCOMPARE(r.status, 1);
            const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            QCOMPARE(lines.size(), 2);
            QCOMPARE(lines[0], QStringLiteral("L'afficheur ne contient pas la configuration attendue."));
            QVERIFY2(lines[1].startsWith(QStringLiteral("Seuil relais 1 ")), qPrintable(lines[1]));
            QCOMPARE(tracedRequests(trace), (QList<int>{0x30, 0x31}));
            QCOMPARE(stateBlock(statePath), held);

            r = cli({st, QStringLiteral("comparer"), file, QStringLiteral("--json")});
            QCOMPARE(r.status, 1);
            const QJsonObject json = QJsonDocument::fromJson(r.out.toUtf8()).object();
            QCOMPARE(json.value(QStringLiteral("identique")).toBool(true), false);
            QCOMPARE(json.value(QStringLiteral("differences")).toInt(), 1);
            QStringList differing;
            for (const QJsonValue row : json.value(QStringLiteral("parametres")).toArray())
                if (row[QStringLiteral("different")].toBool())
                    differing << row[QStringLiteral("parametre")].toString();
            QCOMPARE(differing, QStringList{QStringLiteral("Seuil relais 1")});
        }
    }

    // The display changes between programming and the read-back within one run: the different status.
    void aReadBackThatDiffersHasItsOwnStatus_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");  // after each report of this request the display changes
        QTest::addColumn<int>("unplugAfter");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");  // on the output (a finding) or the error stream (a failure)
        QTest::newRow("programmer, a threshold does not hold")
            << QStringList{"programmer", "FILE", "--verifier"} << 0x33 << -1 << 5 << "Seuil relais 1 ";
        QTest::newRow("programmer, display gone before the read-back")
            << QStringList{"programmer", "FILE", "--verifier"} << 0x00 << 30 << 6
            << "Programmation effectuée, mais la relecture a échoué";
        QTest::newRow("programmer, display gone while programming")
            << QStringList{"programmer", "FILE", "--verifier"} << 0x00 << 5 << 1 << "Programmation incomplète !";
        QTest::newRow("ecran envoyer, one byte does not hold")
            << QStringList{"ecran", "envoyer", "IMAGE", "--verifier"} << 0x49 << -1 << 5 << "à partir de l'octet 100";
        QTest::newRow("ecran envoyer, display gone before the read-back")
            << QStringList{"ecran", "envoyer", "IMAGE", "--verifier"} << 0x00 << 60 << 6
            << "L'écran d'accueil n'a pas été entièrement lu.";
    }
    void aReadBackThatDiffersHasItsOwnStatus()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(int, unplugAfter);
        QFETCH(int, status);
        QFETCH(QString, says);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("f.config_CP"));
        QRandomGenerator rng(7);
        writeAll(file, randomConfiguration(rng));
        const QString image = dir.filePath(QStringLiteral("i.png"));
        QImage picture(240, 64, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QVERIFY(picture.save(image));
        args.replaceInStrings(QStringLiteral("FILE"), file);
        args.replaceInStrings(QStringLiteral("IMAGE"), image);
        const Run r = cliWithDisplayChangedAfter(
            args, uint8_t(code),
            [](EmulatedDisplay& d) {
                d.setWord(7, d.word(7) + 1);
                d.picture[100] = 0x0F;
            },
            unplugAfter);
        QCOMPARE(r.status, status);
        QVERIFY2((r.status == 5 ? r.out : r.err).contains(says), qPrintable(r.out + r.err));
        QVERIFY(!r.out.contains(QStringLiteral("Identique.")) && !r.out.contains(QStringLiteral("relu identique")));
    }

    // A display that cannot be read gives no verdict and no backup.
    void aDisplayThatCannotBeReadSaysSo()
    {
        QTemporaryDir dir;
        const QString statePath = dir.filePath(QStringLiteral("etat.json"));
        const QString st = QStringLiteral("--simule=") + statePath;
        const QString file = dir.filePath(QStringLiteral("a.config_CP"));
        QCOMPARE(cli({st, QStringLiteral("lire"), QStringLiteral("-o"), file}).status, 0);
        setStateBlockByte(statePath, 2, 0x00);  // the signature
        Run r = cli({st, QStringLiteral("comparer"), file});
        QCOMPARE(r.status, 6);
        QVERIFY(r.err.contains(QStringLiteral("Paramètres EEPROM non valide")));
        QVERIFY(r.out.isEmpty());
        r = cli({st, QStringLiteral("sauvegarder"), dir.filePath(QStringLiteral("s"))});
        QCOMPARE(r.status, 6);
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("s"))));
    }

    void backupThenRestoreIntoASecondDisplay()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("premier.json"));
        const QString second = dir.filePath(QStringLiteral("second.json"));
        const QString folder = dir.filePath(QStringLiteral("sauvegarde"));
        const QString file = dir.filePath(QStringLiteral("r.config_CP"));
        const QString image = dir.filePath(QStringLiteral("i.png"));
        QRandomGenerator rng(2027);
        writeAll(file, randomConfiguration(rng));
        QImage picture(240, 64, QImage::Format_RGB32);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 240; ++x)
                picture.setPixel(x, y, rng.bounded(2) ? 0xFFFFFFFFu : 0xFF0000FFu);
        QVERIFY(picture.save(image));
        QCOMPARE(cli({"--simule=" + first, QStringLiteral("programmer"), file}).status, 0);
        QCOMPARE(cli({"--simule=" + first, QStringLiteral("ecran"), QStringLiteral("envoyer"), image}).status, 0);

        const QString trace = dir.filePath(QStringLiteral("sauvegarde.trace"));
        Run r = cli({"--simule=" + first, QStringLiteral("--trace"), trace, QStringLiteral("sauvegarder"), folder});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(QStringLiteral("Sauvegarde de l'afficheur enregistrée dans")));
        QVERIFY(onlyReads(tracedRequests(trace)));
        QCOMPARE(tracedRequests(trace).size(), 63);
        // The registers as "registres" prints them (the clock lines move on between the two runs).
        const QStringList snapshot = QString::fromUtf8(readAll(folder + QStringLiteral("/registres.txt"))).split('\n');
        const QStringList printed = cli({"--simule=" + first, QStringLiteral("registres")}).out.split('\n');
        QCOMPARE(snapshot.size(), 7);
        QCOMPARE(snapshot.mid(2), printed.mid(2));

        // Asked first: declined, nothing is sent.
        const QString declined = dir.filePath(QStringLiteral("refus.trace"));
        r = cli({"--simule=" + second, QStringLiteral("--trace"), declined, QStringLiteral("restaurer"), folder},
                "n\n");
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains(QStringLiteral("Voulez-vous restaurer cette sauvegarde ?")));
        QVERIFY(readAll(declined).isEmpty());

        r = cli({"--simule=" + second, QStringLiteral("restaurer"), folder}, "o\n");
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("Afficheur restauré : configuration et écran d'accueil relus identiques.\n"));
        QCOMPARE(stateBlock(second), stateBlock(first));
        QCOMPARE(state(second).value(QStringLiteral("ecran")), state(first).value(QStringLiteral("ecran")));

        // The folder is taken: a second backup there replaces nothing.
        const QByteArray manifest = readAll(folder + QStringLiteral("/sauvegarde.json"));
        r = cli({"--simule=" + first, QStringLiteral("sauvegarder"), folder});
        QCOMPARE(r.status, 4);
        QCOMPARE(readAll(folder + QStringLiteral("/sauvegarde.json")), manifest);
    }

    void anAlteredBackupRefusesWithNothingSent_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("remove");  // otherwise its fingerprint in the manifest is wrong
        QTest::newRow("configuration's fingerprint") << "configuration.config_CP" << false;
        QTest::newRow("picture's fingerprint") << "ecran.png" << false;
        QTest::newRow("registers' fingerprint") << "registres.txt" << false;
        QTest::newRow("picture missing") << "ecran.png" << true;
    }
    void anAlteredBackupRefusesWithNothingSent()
    {
        QFETCH(QString, name);
        QFETCH(bool, remove);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("s"));
        const QString target = dir.filePath(QStringLiteral("cible.json"));
        QCOMPARE(cli({QStringLiteral("--simule"), QStringLiteral("sauvegarder"), folder}).status, 0);
        if (remove) {
            QVERIFY(QFile::remove(folder + QLatin1Char('/') + name));
        } else {
            QByteArray manifest = readAll(folder + QStringLiteral("/sauvegarde.json"));
            const int at = int(manifest.indexOf("\"nom\": \"" + name.toUtf8()));
            QVERIFY(at >= 0);
            const int hash = int(manifest.indexOf("\"sha256\": \"", at)) + 11;
            manifest[hash] = manifest[hash] == 'a' ? 'b' : 'a';
            writeAll(folder + QStringLiteral("/sauvegarde.json"), manifest);
        }
        QCOMPARE(cli({"--simule=" + target, QStringLiteral("etat")}).status, 0);
        const QByteArray before = stateBlock(target);
        const QString trace = dir.filePath(QStringLiteral("t.txt"));
        const Run r = cli({"--simule=" + target, QStringLiteral("--trace"), trace, QStringLiteral("restaurer"), folder,
                           QStringLiteral("--oui")});
        QCOMPARE(r.status, 4);
        QVERIFY2(r.err.contains(name) && r.err.contains(QStringLiteral("Rien n'a été envoyé.")), qPrintable(r.err));
        QVERIFY(QFileInfo::exists(trace));
        QCOMPARE(readAll(trace), QByteArray());
        QCOMPARE(stateBlock(target), before);
    }

    // --panne makes the emulated display misbehave; the fault is kept in the state file, so the next run
    // without --panne meets it again, until "--panne aucune". A failed read writes no file.
    void faultsFromTheCommandLine_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("status");
        QTest::newRow("muet") << "muet" << 1;
        QTest::newRow("signature") << "signature" << 1;
        QTest::newRow("ecriture") << "ecriture" << 1;
        QTest::newRow("lent") << "lent" << 0;
        QTest::newRow("debranche:0") << "debranche:0" << 3;
        QTest::newRow("debranche:1") << "debranche:1" << 1;
        QTest::newRow("debranche:3") << "debranche:3" << 0;
    }
    void faultsFromTheCommandLine()
    {
        QFETCH(QString, fault);
        QFETCH(int, status);
        QTemporaryDir dir;
        const QString st = QStringLiteral("--simule=") + dir.filePath(QStringLiteral("etat.json"));
        const QString out = dir.filePath(QStringLiteral("a.config_CP"));
        const QStringList lire{QStringLiteral("lire"), QStringLiteral("-o"), out};

        Run r = cli(QStringList{st, QStringLiteral("--panne"), fault} + lire);
        QCOMPARE(r.status, status);
        QCOMPARE(QFile::exists(out), status == 0);
        QCOMPARE(state(dir.filePath(QStringLiteral("etat.json"))).value(QStringLiteral("pannes")).toArray(),
                 QJsonArray({fault}));
        QFile::remove(out);
        r = cli(QStringList{st} + lire);
        QCOMPARE(r.status, status);
        QCOMPARE(QFile::exists(out), status == 0);

        r = cli(QStringList{st, QStringLiteral("--panne=aucune")} + lire);
        QCOMPARE(r.status, 0);
        QVERIFY(!state(dir.filePath(QStringLiteral("etat.json"))).contains(QStringLiteral("pannes")));
    }

    void etatOnTheEmulatedDisplay()
    {
        const Run r = cli({QStringLiteral("--simule"), QStringLiteral("etat"), QStringLiteral("--journal")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(QStringLiteral("TRIVO ZURED connecté.")));
        QVERIFY(r.out.contains(QStringLiteral("Fabricant : 1234  Produit : 0001")));
        QVERIFY(r.out.contains(QStringLiteral("entrée 65, sortie 65")));
        QVERIFY(r.out.contains(QStringLiteral("  My device detected")));
    }

    // A file just read compares identical; an edited copy differs in its one field, and once programmed
    // it is what the display holds: read again, the same bytes.
    void readThenProgramRoundTrips()
    {
        QTemporaryDir dir;
        const QString st = QStringLiteral("--simule=") + dir.filePath(QStringLiteral("etat.json"));
        const QString first = dir.filePath(QStringLiteral("a.config_CP"));
        const QString edited = dir.filePath(QStringLiteral("b.config_CP"));
        const QString again = dir.filePath(QStringLiteral("c.config_CP"));

        Run r = cli({st, "lire", "-o", first});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(QStringLiteral("Lecture efféctuée avec succés.")));
        const QByteArray saved = readAll(first);
        QVERIFY(saved.startsWith("TRIVO ZURED COMPTEUR DE PRODUCTION\r\n"));
        r = cli({st, "comparer", first});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("Identique.\n"));

        const QByteArray changed = withLine(saved, 3, "-12345");
        writeAll(edited, changed);
        r = cli({st, "comparer", edited});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, QStringLiteral("L'afficheur ne contient pas la configuration attendue.\n")
                            + QStringLiteral("Début du totalisateur").leftJustified(40)
                            + QStringLiteral("attendu : -12345   afficheur : 0\n"));
        r = cli({st, "programmer", edited});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(QStringLiteral("Programmation efféctuée avec succés.")));
        r = cli({st, "lire", "-o", again});
        QCOMPARE(r.status, 0);
        QCOMPARE(readAll(again), changed);
    }

    // The service sheet of what was read: every line "lire" prints, label and value, is text of the PDF,
    // with the display it came from; a sheet that cannot be written leaves nothing and says so.
    void lireWritesTheServiceSheet_data()
    {
        QTest::addColumn<QString>("pdfName");
        QTest::addColumn<int>("status");
        QTest::newRow("written") << "fiche.pdf" << 0;
        QTest::newRow("into a missing folder") << "absent/fiche.pdf" << 4;
    }
    void lireWritesTheServiceSheet()
    {
        QFETCH(QString, pdfName);
        QFETCH(int, status);
        QTemporaryDir dir;
        const QString st = QStringLiteral("--simule=") + dir.filePath(QStringLiteral("etat.json"));
        const QString pdf = dir.filePath(pdfName);
        const QString saved = dir.filePath(QStringLiteral("lu.config_CP"));
        const Run r = cli({st, QStringLiteral("lire"), QStringLiteral("-o"), saved, QStringLiteral("--pdf"), pdf});
        QCOMPARE(r.status, status);
        QVERIFY(QFileInfo::exists(saved));
        const QString savedText = QStringLiteral("Fiche d'intervention enregistrée dans ") + pdf + QLatin1Char('\n');
        if (status != 0) {
            QVERIFY2(r.err.contains(pdf), qPrintable(r.err));
            QVERIFY(!r.out.contains(QStringLiteral("Fiche d'intervention")));
            QVERIFY(!QFileInfo::exists(pdf));
            QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("fiche")).isEmpty());
            return;
        }
        QVERIFY(r.out.endsWith(savedText));
        QVERIFY(r.err.isEmpty());
        QVERIFY2(test::popplerAvailable(), "pdftotext and pdfinfo missing: poppler-utils, which ./test.sh installs");
        const test::PdfInfo info = test::pdfInfo(pdf);
        QCOMPARE(info.pages, 1);
        QVERIFY2(info.pageSize.endsWith(QStringLiteral("(A4)")), qPrintable(info.pageSize));
        const QString text = test::pdfText(pdf);
        const QString version = cli({QStringLiteral("--version")}).out.section(QLatin1Char(' '), 1).trimmed();
        for (const QString& expected : {QStringLiteral("Fiche d'intervention TRIVO ZURED"),
                                        QStringLiteral("Programme TRIVO ZURED CP version ") + version,
                                        QStringLiteral("Source Afficheur emulated:display (1234:0001 v0100)"),
                                        QStringLiteral("Nom du technicien"), QStringLiteral("Signature")})
            QVERIFY2(text.contains(test::squeezed(expected)), qPrintable(expected));
        // Each setting line as printed: the label padded to 40 columns, then the value.
        int settings = 0;
        for (const QString& line : r.out.split(QLatin1Char('\n'))) {
            if (line.size() <= 40 || line.at(39) != QLatin1Char(' '))
                continue;
            ++settings;
            QVERIFY2(text.contains(test::squeezed(line)), qPrintable(line));
        }
        QCOMPARE(settings, 39);
    }

    void aBadValueLeavesTheDisplayUntouched()
    {
        QTemporaryDir dir;
        const QString st = dir.filePath(QStringLiteral("etat.json"));
        const QString file = dir.filePath(QStringLiteral("a.config_CP"));
        QCOMPARE(cli({QStringLiteral("--simule=") + st, QStringLiteral("lire"), QStringLiteral("-o"), file}).status, 0);
        const QString blockBefore = state(st).value(QStringLiteral("bloc")).toString();
        writeAll(file, withLine(withLine(readAll(file), 3, "77"), 9, "douze"));
        const Run r = cli({QStringLiteral("--simule=") + st, QStringLiteral("programmer"), file});
        QVERIFY(r.status != 0);
        QVERIFY(r.err.contains(QStringLiteral("douze")));
        QCOMPARE(state(st).value(QStringLiteral("bloc")).toString(), blockBefore);
    }

    // A second program on the emulated display's state file while the first works on it: refused, and
    // the first ends as it would alone.
    void aSecondProgramOnTheStateFileIsRefused()
    {
        QTemporaryDir dir;
        const QString statePath = dir.filePath(QStringLiteral("etat.json"));
        const QString alone = dir.filePath(QStringLiteral("seul.json"));
        const QString image = dir.filePath(QStringLiteral("i.png"));
        QImage picture(240, 64, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        for (int x = 0; x < 240; x += 5)
            picture.setPixel(x, x % 64, 0xFFFFFFFFu);
        QVERIFY(picture.save(image));
        QCOMPARE(cli({"--simule=" + statePath, QStringLiteral("etat")}).status, 0);
        const QJsonValue screenBefore = state(statePath).value(QStringLiteral("ecran"));

        // The first traces to a pipe that it opens after its claim and that the test reads only once the
        // second has been refused: the first holds the display, its picture not yet begun, for as long as
        // the second takes, whatever the machine's load.
        const QString gate = dir.filePath(QStringLiteral("porte"));
        QCOMPARE(::mkfifo(QFile::encodeName(gate).constData(), 0600), 0);
        QProcess first;
        start(first, {"--simule=" + statePath, QStringLiteral("--trace"), gate, QStringLiteral("ecran"),
                      QStringLiteral("envoyer"), image});
        const QString lock = dir.filePath(QStringLiteral(".etat.json.verrou"));
        QVERIFY(QTest::qWaitFor([&] { return holdsFlock(first.processId(), lock); }, kProcessTimeoutMs));
        const Run second = cli({"--simule=" + statePath, QStringLiteral("commande"), QStringLiteral("plus")});
        QCOMPARE(second.status, 7);
        QCOMPARE(second.err,
                 QStringLiteral("Afficheur déjà utilisé par trivo-cp-cli (pid %1).\n").arg(first.processId()));
        QVERIFY(second.out.isEmpty());

        QFile reader(gate);
        QVERIFY(reader.open(QIODevice::ReadOnly));
        const QByteArray traced = reader.readAll();  // until the first closes it as it ends
        QVERIFY(first.waitForFinished(kProcessTimeoutMs));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(first.readAllStandardOutput()), QStringLiteral("Écran d'accueil envoyé.\n"));
        QCOMPARE(tracedRequests(traced), QList<int>(60, 0x49));
        QCOMPARE(cli({"--simule=" + alone, QStringLiteral("ecran"), QStringLiteral("envoyer"), image}).status, 0);
        QVERIFY(state(statePath).value(QStringLiteral("ecran")) != screenBefore);
        QCOMPARE(state(statePath).value(QStringLiteral("ecran")), state(alone).value(QStringLiteral("ecran")));
        QCOMPARE(state(statePath).value(QStringLiteral("compteur")).toInt(), 0);
    }

    // One program per state file whatever the session (a desktop's XDG_RUNTIME_DIR; none from cron, sudo):
    // while the first follows the registers the second is refused and told who, unless its files are
    // others; each ETAT.K of a bench is a file of its own. A lock that cannot be taken is a refusal.
    void oneProgramPerStateFile_data()
    {
        QTest::addColumn<QStringList>("first");  // XDG_RUNTIME_DIR ("": unset), state file, arguments
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<QString>("planted");  // what stands where the lock file would be
        QTest::addColumn<QString>("said");     // the second's error stream; none: it works
        auto in = [](const char* runtime, QStringList args) { args.prepend(runtime); return args; };
        const QStringList follow{"ETAT", "registres", "--suivre"}, plus{"ETAT", "commande", "plus"}, none;
        const QStringList bench{"a", "ETAT", "--unites", "3", "--afficheur", "2", "registres", "--suivre"};
        const QStringList benchPlus{"--unites", "3", "--afficheur", "1", "commande", "plus"};
        const QString used = "Afficheur déjà utilisé par trivo-cp-cli (pid PID).\n";
        const QString refused = "Afficheur non réservé : LOCK ne peut être verrouillé (%1).\n";
        QTest::newRow("two desktop sessions") << in("a", follow) << in("b", plus) << "" << used;
        QTest::newRow("desktop, then cron") << in("a", follow) << in("", plus) << "" << used;
        QTest::newRow("sudo, then desktop") << in("", follow) << in("b", plus) << "" << used;
        QTest::newRow("bench, same bench") << bench << QStringList{"b", "ETAT"} + benchPlus << "" << used;
        QTest::newRow("bench, one of its files") << bench << QStringList{"", "ETAT.3", "etat"} << "" << used;
        QTest::newRow("bench, another") << bench << QStringList{"b", "AUTRE"} + benchPlus << "" << "";
        QTest::newRow("a symbolic link") << none << in("", plus) << "link" << refused.arg("lien symbolique refusé");
        QTest::newRow("a folder") << none << in("", plus) << "folder" << refused.arg(std::strerror(EISDIR));
        QTest::newRow("no right to the folder") << none << in("", plus) << "-w" << refused.arg(std::strerror(EACCES));
    }

    void oneProgramPerStateFile()
    {
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(QString, planted);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString lock = QFileInfo(dir.path()).canonicalFilePath() + "/.ETAT.verrou";
        QVERIFY(planted != "link" || QFile::link(dir.filePath("ailleurs"), lock));
        QVERIFY(planted != "folder" || QDir().mkdir(lock));
        QVERIFY(planted != "-w" || QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        if (planted == "-w" && QFile(dir.filePath("essai")).open(QIODevice::WriteOnly))  // root: a folder in
            QSKIP("this user may write into any folder");  // the lock's place is the row that fails for root
        auto run = [&dir](QProcess& p, QStringList args) {
            QProcessEnvironment env = environment();
            const QString runtime = args.takeFirst();
            env.insert("XDG_RUNTIME_DIR", dir.filePath(runtime));
            if (runtime.isEmpty() || !QDir(dir.path()).mkpath(runtime))
                env.remove("XDG_RUNTIME_DIR");
            args[0] = "--simule=" + dir.filePath(args[0]);
            p.setProcessEnvironment(env);
            p.start(kCli, args);
        };
        QProcess holder, other;
        if (!first.isEmpty())
            run(holder, first);
        QVERIFY(first.isEmpty() || holder.waitForReadyRead(kProcessTimeoutMs));  // its first read: files claimed
        run(other, second);
        QVERIFY(other.waitForFinished(kProcessTimeoutMs));
        QCOMPARE(QString::fromUtf8(other.readAllStandardError()),
                 said.replace("PID", QString::number(holder.processId())).replace("LOCK", lock));
        QCOMPARE(other.exitCode(), said.isEmpty() ? 0 : 7);
        holder.terminate();
        QVERIFY(first.isEmpty() || (holder.waitForFinished(kProcessTimeoutMs) && holder.exitCode() == 0));
    }

    // Twenty programs started at once on one state file: each either does its pulse or is refused, and no
    // pulse is lost.
    // Twenty programs started at once on one display, behind one gate: each traces to one pipe, which
    // none can open until the test reads it, and the claim comes before. So the one that took the claim
    // waits at the gate holding it, and every other is refused while it waits, whatever the machine's
    // load; once the gate opens it does its write. The journal then holds one record per success only.
    void programsStartedAtOnceLoseNoWrite()
    {
        QTemporaryDir dir;
        const QString statePath = dir.filePath(QStringLiteral("etat.json"));
        const QString gate = dir.filePath(QStringLiteral("porte"));
        QCOMPARE(::mkfifo(QFile::encodeName(gate).constData(), 0600), 0);
        const QStringList args = {"--simule=" + statePath, "--trace", gate, "--lot", "vingt", "commande", "plus"};
        QCOMPARE(cli({"--simule=" + statePath, QStringLiteral("etat")}).status, 0);
        const int before = state(statePath).value(QStringLiteral("compteur")).toInt();
        std::vector<std::unique_ptr<QProcess>> runs;
        for (int i = 0; i < 20; ++i) {
            runs.push_back(std::make_unique<QProcess>());
            start(*runs.back(), args);
        }
        const auto refused = [&] {
            return std::count_if(runs.begin(), runs.end(), [](const auto& p) {
                return p->state() == QProcess::NotRunning && p->exitCode() == 7;
            });
        };
        QVERIFY(QTest::qWaitFor([&] { return refused() == 19; }, kProcessTimeoutMs));
        QFile reader(gate);
        QVERIFY(reader.open(QIODevice::ReadOnly));  // the gate opens
        int done = 0;
        for (const auto& p : runs) {
            QVERIFY(p->state() == QProcess::NotRunning || p->waitForFinished(kProcessTimeoutMs));
            const QByteArray err = p->readAllStandardError();
            if (p->exitCode() == 7)
                QVERIFY2(err.startsWith("Afficheur déjà utilisé par trivo-cp-cli (pid "), err.constData());
            else
                QVERIFY2(p->exitCode() == 0 && err.isEmpty(), err.constData());
            done += p->exitCode() == 0;
        }
        QCOMPARE(done, 1);
        QVERIFY(reader.readAll().startsWith("> "));
        QCOMPARE(state(statePath).value(QStringLiteral("compteur")).toInt() - before, done);
        const QJsonArray records =
            QJsonDocument::fromJson(cli({"historique", "--json", "--formation", "--lot", "vingt"}).out.toUtf8()).array();
        QCOMPARE(records.size(), done);
        QCOMPARE(records[0][u"resultat"].toString(), QStringLiteral("reussi"));
    }

    void plusChangesTheCounterAndIsKeptBetweenRuns()
    {
        QTemporaryDir dir;
        const QString st = QStringLiteral("--simule=") + dir.filePath(QStringLiteral("etat.json"));
        for (const auto& [action, counter] : {std::pair{"plus", 1}, {"plus", 2}, {"raz-c", 0}}) {
            QCOMPARE(cli({st, "commande", action}).status, 0);
            QCOMPARE(state(dir.filePath(QStringLiteral("etat.json"))).value(QStringLiteral("compteur")).toInt(), counter);
        }

        // Without XDG_DATA_HOME the journal is where the README says, under the user's home.
        QProcessEnvironment env = environment();
        env.remove(QStringLiteral("XDG_DATA_HOME"));
        env.insert(QStringLiteral("HOME"), dir.path());
        QCOMPARE(test::runCli({st, "commande", "plus"}, {}, env).status, 0);
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral(".local/share/trivo/trivo-cp/journal.sqlite"))).isFile());
    }

    // The reports of programming a known file, then reading it back, as the program has always sent them
    // (kept in tests/cli/data), from the command line and from the window alike.
    void traceMatchesWhatTheWindowSends()
    {
        QTemporaryDir dir;
        const QString file = QStringLiteral(TRIVO_CLI_DATA "/model.config_CP");
        const QString trace = dir.filePath(QStringLiteral("trace.txt"));
        const QString state = QStringLiteral("--simule=") + dir.filePath(QStringLiteral("state.json"));
        QCOMPARE(cli({state, QStringLiteral("--trace"), trace, QStringLiteral("programmer"), file}).status, 0);
        QCOMPARE(cli({state, QStringLiteral("--trace"), trace, QStringLiteral("lire")}).status, 0);
        const QByteArray golden = readAll(QStringLiteral(TRIVO_CLI_DATA "/programmer_then_lire.trace"));
        QVERIFY(!golden.isEmpty());
        QCOMPARE(readAll(trace), golden);
        const QStringList traced =
            QString::fromLatin1(golden).split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(0, 2 * 30);

        // The window programs the same file on a display in the same state.
        test::OwnerRig rig(false);
        QStringList windowLines;  // written on the display's thread, read once it is idle
        rig.owner.setReportObserver([&windowLines](bool output, const uint8_t* data, std::size_t length) {
            windowLines << traceLine(output, data, length);
        });
        rig.tick();
        ConfigWindow window(rig.owner, rig.dialogs, rig.main);
        const config_file::ReadResult loaded = config_file::read(readAll(file), window.formState());
        QVERIFY(loaded.ok());
        window.applyFormState(loaded.state);
        window.PROG_PARAM();
        QVERIFY(rig.settled());
        QCOMPARE(rig.main.panel2, QStringLiteral("Programmation efféctuée avec succés."));
        QCOMPARE(traced.size(), 2 * 30);  // 30 requests, each answered
        QCOMPARE(traced, windowLines);
        static const QRegularExpression format(QStringLiteral("^[<>] [0-9A-F]{2}( [0-9A-F]{2}){64}$"));
        for (const QString& line : traced)
            QVERIFY2(format.match(line).hasMatch(), qPrintable(line));
        QVERIFY(traced.first().startsWith(QStringLiteral("> 00 30 ")));
        QVERIFY(traced.at(1).startsWith(QStringLiteral("< 00 42 43 49 ")));
    }

    void firmwareDumpPrintsTheWholeImage()
    {
        QTemporaryDir dir;
        const QString hex = dir.filePath(QStringLiteral("fw.hex"));
        writeAll(hex, ":10000000000102030405060708090A0B0C0D0E0F78\r\n:00000001FF\r\n");
        const Run r = cli({QStringLiteral("firmware"), QStringLiteral("dump"), hex});
        QCOMPARE(r.status, 0);
        const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2048);
        QCOMPARE(lines.first(), QStringLiteral("0000  00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F "));
        QCOMPARE(lines.last(), QStringLiteral("7FF0  FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF "));
    }

    void flashingAsksFirstAndKeepsTheFirmware()
    {
        QTemporaryDir dir;
        const QString st = dir.filePath(QStringLiteral("etat.json"));
        const QString hex = dir.filePath(QStringLiteral("fw.hex"));
        writeAll(hex, ":10000000000102030405060708090A0B0C0D0E0F78\r\n:00000001FF\r\n");
        Run r =
            cli({QStringLiteral("--simule=") + st, QStringLiteral("firmware"), QStringLiteral("flasher"), hex}, "n\n");
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains(QStringLiteral("VOULEZ-VOUS VRAIMENT CONTINUER LA MAJ ?")));
        QVERIFY(state(st).value(QStringLiteral("micrologiciel")).toString().isEmpty());

        r = cli({QStringLiteral("--simule=") + st, QStringLiteral("firmware"), QStringLiteral("flasher"), hex,
                 QStringLiteral("--oui")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(QStringLiteral("Fin du flashage .")));
        const QByteArray fw =
            QByteArray::fromHex(state(st).value(QStringLiteral("micrologiciel")).toString().toLatin1());
        QCOMPARE(fw.size(), 32000);
        QCOMPARE(fw.left(4), QByteArray::fromHex("00010203"));
        QCOMPARE(static_cast<uint8_t>(fw.at(31999)), uint8_t(0xFF));
        // The updated display answers again on the next run.
        r = cli({QStringLiteral("--simule=") + st, QStringLiteral("lire")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(QStringLiteral("Lecture efféctuée avec succés.")));
    }

    // Sent with its read-back, then read into a file: sixty block writes, sixty memory reads and no
    // clear, and the picture read is the one sent.
    void homeScreenSendThenRead()
    {
        QTemporaryDir dir;
        const QString st = QStringLiteral("--simule=") + dir.filePath(QStringLiteral("etat.json"));
        const QString in = dir.filePath(QStringLiteral("in.png"));
        const QString out = dir.filePath(QStringLiteral("out.png"));
        const QString trace = dir.filePath(QStringLiteral("t.txt"));
        QImage img(240, 64, QImage::Format_RGB32);
        img.fill(QColor(0, 0, 255));
        for (int x = 0; x < 240; x += 3)
            img.setPixelColor(x, x % 64, Qt::white);
        QVERIFY(img.save(in));
        const Run sent = cli({st, "--trace", trace, "ecran", "envoyer", in, "--verifier"});
        QCOMPARE(sent.status, 0);
        QCOMPARE(sent.out, QStringLiteral("Écran d'accueil envoyé.\nÉcran d'accueil relu identique.\n"));
        QCOMPARE(tracedRequests(trace), QList<int>(60, 0x49) + QList<int>(60, 0x02));
        QCOMPARE(cli({st, "ecran", "lire", "-o", out}).status, 0);
        const QImage back(out);
        QCOMPARE(back.size(), QSize(240, 64));
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 240; ++x)
                QCOMPARE(back.pixelColor(x, y) == Qt::white, img.pixelColor(x, y) == Qt::white);
    }

    void noDisplayIsAFailure()
    {
        // Without --simule the real transport runs; the test machines have no display plugged in.
        const Run r = cli({QStringLiteral("commande"), QStringLiteral("plus")});
        if (r.out.contains(QStringLiteral("envoyée")))
            QSKIP("a real display is plugged into this machine");
        QCOMPARE(r.status, 3);
        QVERIFY(r.err.contains(QStringLiteral("Aucun TRIVO ZURED connecté")));
    }

    // On a full volume nothing is called saved and every old file stays byte for byte: the command runs
    // in a private mount namespace on a small tmpfs filled to the brim.
    void aFullVolumeSavesNothing_data()
    {
        QTest::addColumn<QString>("old");  // the file that exists before, relative to the volume
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("success");  // what must not be printed
        QTest::newRow("configuration") << "a.config_CP"
                                       << "--simule lire -o \"$D/a.config_CP\""
                                       << "Configuration enregistrée";
        QTest::newRow("home screen picture") << "e.png"
                                             << "--simule ecran lire -o \"$D/e.png\""
                                             << "Écran d'accueil enregistré";
        QTest::newRow("emulated display state") << "state.json"
                                                << "--simule=\"$D/state.json\" commande plus"
                                                << "\x01";
        // Sixty-one exchanges: more than the page the old trace already holds.
        QTest::newRow("trace") << "t.txt"
                               << "--simule --trace \"$D/t.txt\" ecran lire -o \"$OUT/e.png\""
                               << "\x01";
    }
    void aFullVolumeSavesNothing()
    {
        QFETCH(QString, old);
        QFETCH(QString, command);
        QFETCH(QString, success);
        QTemporaryDir dir;
        QTemporaryDir outside;
        const QString script =
            QStringLiteral("OUT=%5; D=%1; mount -t tmpfs -o size=64k tmpfs \"$D\" || exit 99\n"
                           "%2 --simule lire -o \"$D/state0.config_CP\" >/dev/null\n"
                           "%2 --simule ecran lire -o \"$D/e.png\" >/dev/null\n"
                           "%2 --simule=\"$D/state.json\" etat >/dev/null\n"
                           "cp \"$D/state0.config_CP\" \"$D/a.config_CP\"; echo '> 00' > \"$D/t.txt\"\n"
                           "cp \"$D/%3\" \"$D/before\"\n"
                           "dd if=/dev/zero of=\"$D/fill\" bs=1k >/dev/null 2>&1\n"
                           "%2 %4; status=$?\n"
                           "cmp -s \"$D/%3\" \"$D/before\" && echo INTACT >&2\n"
                           // A trace is appended to: what it held before must still open it.
                           "cmp -s -n \"$(stat -c%s \"$D/before\")\" \"$D/%3\" \"$D/before\" && echo KEPT >&2\n"
                           "exit $status\n")
                .arg(dir.path(), QStringLiteral(TRIVO_CLI_PATH), old, command, outside.path());
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("unshare"), {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"), script});
        QVERIFY(p.waitForFinished(120000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        if (p.exitCode() == 99 || err.contains(QStringLiteral("unshare failed")))
            QSKIP("no private mount namespace on this machine");
        QCOMPARE(p.exitCode(), 4);
        QVERIFY2(err.contains(old == QLatin1String("t.txt") ? QStringLiteral("KEPT") : QStringLiteral("INTACT")),
                 qPrintable(err));
        QVERIFY2(!out.contains(success), qPrintable(out));
        QVERIFY2(err.contains(QStringLiteral("Erreur N°: 57")) || err.contains(QStringLiteral("incomplet")),
                 qPrintable(err));
    }

    // Killed (SIGKILL) at a random exchange of each operation that writes to a display, fifty runs: afterwards
    // "historique" holds exactly one record of it (its own lot), "interrompu" or its true result, and the
    // emulated display's state file (a production unit's: the line's log) agrees. The program stops dead once
    // the drawn report is traced (TRIVO_SIMULE_ARRET): the same seed kills at the same exchanges every time.
    void killedAtARandomExchange_data()
    {
        const QString model = QStringLiteral(TRIVO_CLI_DATA "/model.config_CP");
        QImage picture(240, 64, QImage::Format_RGB32);
        picture.fill(Qt::black);
        QVERIFY(picture.save(kill_.filePath(QStringLiteral("ecran.png"))));
        writeAll(kill_.filePath(QStringLiteral("fw.hex")), ":10000000000102030405060708090A0B0C0D0E0F78\r\n:00000001FF\r\n");
        // The display every run starts from, and the backup of another (the model, the picture) to restore.
        const QString source = "--simule=" + kill_.filePath(QStringLiteral("source.json"));
        for (const QStringList& args : {QStringList{"--simule=" + kill_.filePath("depart.json"), "commande", "plus"},
                                        QStringList{source, "programmer", model},
                                        QStringList{source, "ecran", "envoyer", kill_.filePath("ecran.png")},
                                        QStringList{source, "sauvegarder", kill_.filePath("sauvegarde")}})
            QCOMPARE(cli(args).status, 0);
        QTest::addColumn<QString>("operation");  // the journal's word
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("keys");  // of the state file, that it changes; none: a line's unit
        QTest::addColumn<int>("runs");
        QTest::newRow("programming") << "programmation" << QStringList{"programmer", model} << QStringList{"bloc"} << 9;
        QTest::newRow("restore") << "restauration" << QStringList{"restaurer", kill_.filePath("sauvegarde"), "--oui"}
                                 << QStringList{"bloc", "ecran"} << 8;
        QTest::newRow("picture send") << "ecran" << QStringList{"ecran", "envoyer", kill_.filePath("ecran.png")}
                                      << QStringList{"ecran"} << 9;
        QTest::newRow("firmware update") << "micrologiciel"
                                         << QStringList{"firmware", "flasher", kill_.filePath("fw.hex"), "--oui"}
                                         << QStringList{"micrologiciel"} << 8;
        QTest::newRow("command") << "commande" << QStringList{"commande", "plus"} << QStringList{"compteur"} << 8;
        QTest::newRow("production unit") << "production" << QStringList{"production", model, "--nombre", "1"}
                                         << QStringList{} << 8;
    }
    void killedAtARandomExchange()
    {
        QFETCH(QString, operation);
        QFETCH(QStringList, args);
        QFETCH(QStringList, keys);
        QFETCH(int, runs);
        const QJsonObject before = state(kill_.filePath(QStringLiteral("depart.json")));
        // Each run: its lot, a copy of the display to start from, its trace and its log.
        auto argsOf = [&](const QString& lot) {
            const QString run = kill_.filePath(lot);
            QFile::copy(kill_.filePath(QStringLiteral("depart.json")), run + ".json");
            return QStringList{keys.isEmpty() ? QStringLiteral("--simule") : "--simule=" + run + ".json", "--trace",
                               run + ".trace", "--lot", lot}
            + args + (keys.isEmpty() ? QStringList{"--journal", run + ".csv"} : QStringList{});
        };
        const auto recordsOf = [](const QString& lot) {
            return QJsonDocument::fromJson(cli({"historique", "--json", "--formation", "--lot", lot}).out.toUtf8()).array();
        };
        // Left alone, it writes `outputs` reports, leaves the display `after` and its record says so.
        const QString reference = QStringLiteral("%1-reference").arg(operation);
        QCOMPARE(cli(argsOf(reference)).status, 0);
        const int outputs = int(readAll(kill_.filePath(reference + ".trace")).count("> "));
        const QJsonObject after = state(kill_.filePath(reference + ".json"));
        for (const QString& key : keys)
            QVERIFY2(after[key] != before[key], qPrintable(key));
        const QJsonValue done = recordsOf(reference)[0];
        QCOMPARE(done[u"resultat"].toString(), QStringLiteral("reussi"));
        if (keys.contains(QStringLiteral("bloc")))  // a programming's block after, read back or not
            QCOMPARE(done[u"empreinte_apres"].toString(),
                     journal::sha256Hex(QByteArray::fromHex(after[u"bloc"].toString().toLatin1())));

        QRandomGenerator rng(qChecksum(QByteArrayView(QTest::currentDataTag())));
        int interrupted = 0;
        for (int i = 0; i < runs; ++i) {
            // The last run at the very last report: a line's unit is then recorded and logged, its signal cut.
            const int stopAt = i + 1 == runs ? outputs : 1 + int(rng.bounded(quint32(outputs)));
            const QString lot = QStringLiteral("%1-%2").arg(operation).arg(i);
            QProcess p;
            QProcessEnvironment env = environment();
            env.insert(QStringLiteral("TRIVO_SIMULE_ARRET"), QString::number(stopAt));
            p.setProcessEnvironment(env);
            p.setReadChannel(QProcess::StandardError);
            p.start(kCli, argsOf(lot));
            QByteArray said;
            while (!said.contains("TRIVO_SIMULE_ARRET") && p.waitForReadyRead(kProcessTimeoutMs))
                said += p.readAllStandardError();
            QVERIFY2(said.contains("TRIVO_SIMULE_ARRET"), said.constData());
            ::kill(pid_t(p.processId()), SIGKILL);
            QVERIFY(p.waitForFinished(kProcessTimeoutMs));

            const QJsonArray records = recordsOf(lot);
            const QString context = QStringLiteral("killed at report %1 of %2: ").arg(stopAt).arg(outputs)
                + QJsonDocument(records).toJson();
            QVERIFY2(records.size() == 1, qPrintable(context));
            QCOMPARE(records[0][u"operation"].toString(), operation);
            const QString result = records[0][u"resultat"].toString();
            const bool finished = result == QLatin1String("reussi");
            interrupted += finished ? 0 : 1;
            QVERIFY2(finished || result == QLatin1String("interrompu"), qPrintable(context));
            if (keys.isEmpty()) {  // the log's line comes after the record: "conforme" only of a unit recorded so
                QVERIFY2(readAll(kill_.filePath(lot + ".csv")).contains(",conforme,") == finished, qPrintable(context));
                continue;
            }
            // Interrupted: the display as it was or as it would have been; finished: as it would have been.
            const QJsonObject now = state(kill_.filePath(lot + ".json"));
            const auto as = [&](const QJsonObject& o) {
                return std::all_of(keys.begin(), keys.end(), [&](const QString& k) { return now[k] == o[k]; });
            };
            QVERIFY2(as(after) || (as(before) && !finished), qPrintable(context));
        }
        qInfo("%s: %d runs, %d interrupted, %d finished", QTest::currentDataTag(), runs, interrupted, runs - interrupted);
    }

private:
    QTemporaryDir kill_;
};

QTEST_MAIN(TestCli)
#include "test_cli.moc"
