// The command-line companion run as a process on the emulated display.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "common/dialogs.h"
#include "common/main_services.h"
#include "config/config_form.h"
#include "config/config_file.h"
#include "configwindow/config_window.h"
#include "emulator/emulated_display.h"
#include "link/link.h"
#include "link/report_trace.h"

using namespace trivo;

namespace {
struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run cli(const QStringList& args, const QByteArray& input = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TRIVO_CLI_PATH), args);
    p.waitForStarted();
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QJsonObject state(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QJsonDocument::fromJson(f.readAll()).object();
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
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
        for (const char* c : {"etat", "lire", "programmer", "commande", "registres", "ecran", "firmware"})
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
    }
    void failuresExitNonZero()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        const Run r = cli(args);
        QCOMPARE(r.status, status);
        QVERIFY(!r.err.isEmpty());
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

    void readThenProgramRoundTrips()
    {
        QTemporaryDir dir;
        const QString st = dir.filePath(QStringLiteral("etat.json"));
        const QString first = dir.filePath(QStringLiteral("a.config_CP"));
        const QString edited = dir.filePath(QStringLiteral("b.config_CP"));
        const QString again = dir.filePath(QStringLiteral("c.config_CP"));

        Run r = cli({QStringLiteral("--simule=") + st, QStringLiteral("lire"), QStringLiteral("-o"), first});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(QStringLiteral("Lecture efféctuée avec succés.")));
        const QByteArray saved = readAll(first);
        QVERIFY(saved.startsWith("TRIVO ZURED COMPTEUR DE PRODUCTION\r\n"));

        // Program an edited copy, read it back: the display now holds the edit, and the file is the same.
        const QByteArray changed = withLine(saved, 3, "-12345");
        writeAll(edited, changed);
        r = cli({QStringLiteral("--simule=") + st, QStringLiteral("programmer"), edited});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(QStringLiteral("Programmation efféctuée avec succés.")));
        r = cli({QStringLiteral("--simule=") + st, QStringLiteral("lire"), QStringLiteral("-o"), again});
        QCOMPARE(r.status, 0);
        QCOMPARE(readAll(again), changed);
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

    void plusChangesTheCounterAndIsKeptBetweenRuns()
    {
        QTemporaryDir dir;
        const QString st = dir.filePath(QStringLiteral("etat.json"));
        QCOMPARE(cli({QStringLiteral("--simule=") + st, QStringLiteral("commande"), QStringLiteral("plus")}).status, 0);
        QCOMPARE(state(st).value(QStringLiteral("compteur")).toInt(), 1);
        QCOMPARE(cli({QStringLiteral("--simule=") + st, QStringLiteral("commande"), QStringLiteral("plus")}).status, 0);
        QCOMPARE(state(st).value(QStringLiteral("compteur")).toInt(), 2);
        QCOMPARE(cli({QStringLiteral("--simule=") + st, QStringLiteral("commande"), QStringLiteral("raz-c")}).status,
                 0);
        QCOMPARE(state(st).value(QStringLiteral("compteur")).toInt(), 0);
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
        EmulatedTransport transport;
        Link link(transport);
        QStringList windowLines;
        link.setReportObserver([&windowLines](bool output, const uint8_t* data, std::size_t length) {
            windowLines << traceLine(output, data, length);
        });
        link.DETECT_CON_Timer();
        ScriptedDialogs dialogs;
        PlainMainServices main;
        ConfigWindow window(link, dialogs, main);
        const config_file::ReadResult loaded = config_file::read(readAll(file), window.formState());
        QVERIFY(loaded.ok());
        window.applyFormState(loaded.state);
        window.PROG_PARAM();
        QCOMPARE(main.panel2, QStringLiteral("Programmation efféctuée avec succés."));
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

    void homeScreenSendThenRead()
    {
        QTemporaryDir dir;
        const QString st = dir.filePath(QStringLiteral("etat.json"));
        const QString in = dir.filePath(QStringLiteral("in.png"));
        const QString out = dir.filePath(QStringLiteral("out.png"));
        QImage img(240, 64, QImage::Format_RGB32);
        img.fill(QColor(0, 0, 255));
        for (int x = 0; x < 240; x += 3)
            img.setPixelColor(x, x % 64, Qt::white);
        QVERIFY(img.save(in));
        QCOMPARE(cli({QStringLiteral("--simule=") + st, QStringLiteral("ecran"), QStringLiteral("envoyer"), in}).status,
                 0);
        QCOMPARE(cli({QStringLiteral("--simule=") + st, QStringLiteral("ecran"), QStringLiteral("lire"),
                      QStringLiteral("-o"), out})
                     .status,
                 0);
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
};

QTEST_MAIN(TestCli)
#include "test_cli.moc"
