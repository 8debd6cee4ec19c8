// trivo-cp-cli production run as a process on emulated lines: the log and the exit status, the reports
// of each unit in the trace, displays side by side, a process killed or interrupted between units, and
// the progress drawn only on a terminal.
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include "cli/terminal_progress.h"
#include "production/production_log.h"

using namespace trivo;

namespace {

const QString kCli = QStringLiteral(TRIVO_CLI_PATH);
const QString kModel = QStringLiteral(TRIVO_CLI_DATA "/model.config_CP");
constexpr int kProcessTimeoutMs = 120000;  // a bound for a hung process, not a measure

struct Run {
    int status = -1;
    QString out;
    QString err;
};

QProcessEnvironment environment()
{
    // The service journal and the settings in folders of the test's own, never the user's.
    static QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    return env;
}

Run cli(const QStringList& args)
{
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(kCli, args);
    p.waitForFinished(kProcessTimeoutMs);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QStringList lines(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    QStringList all = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    if (!all.isEmpty() && all.last().isEmpty())
        all.removeLast();
    return all;
}

// Each written report of a trace as a letter: r/R the two block reads, w a parameter write, P a picture
// block, V a picture read, S an output drive.
QString reportLetters(const QString& trace)
{
    QString letters;
    for (const QString& line : lines(trace)) {
        if (!line.startsWith(QLatin1String("> ")))
            continue;
        const int code = line.mid(5, 2).toInt(nullptr, 16);
        switch (code) {
        case 0x30: letters += QLatin1Char('r'); break;
        case 0x31: letters += QLatin1Char('R'); break;
        case 0x32:
        case 0x33: letters += QLatin1Char('w'); break;
        case 0x49: letters += QLatin1Char('P'); break;
        case 0x02: letters += QLatin1Char('V'); break;
        case 0x01: letters += QLatin1Char('S'); break;
        default: letters += QLatin1Char('?'); break;
        }
    }
    return letters;
}

// Starts a long emulated line, waits until its log holds `units` units, and hands the process over.
bool startLongLine(QProcess& p, const QString& log, int units)
{
    p.setProcessEnvironment(environment());
    p.start(kCli,
            {QStringLiteral("--simule"), QStringLiteral("--unites"), QStringLiteral("1000000"),
             QStringLiteral("production"), kModel, QStringLiteral("--journal"), log});
    if (!p.waitForStarted())
        return false;
    QElapsedTimer waited;
    waited.start();
    while (lines(log).size() <= units) {
        if (waited.elapsed() > kProcessTimeoutMs || p.state() != QProcess::Running)
            return false;
        QTest::qWait(20);
    }
    return true;
}

}  // namespace

class TestCliProduction : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString picture_;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QImage image(240, 64, QImage::Format_RGB32);
        image.fill(Qt::white);
        picture_ = dir_.filePath(QStringLiteral("logo.bmp"));
        QVERIFY(image.save(picture_));
    }

    void fiveUnitsProgrammedAndTraced()
    {
        const QString log = dir_.filePath(QStringLiteral("j.csv"));
        const QString trace = dir_.filePath(QStringLiteral("five.trace"));
        const Run r = cli({"--simule", "--unites", "5", "--trace", trace, "production", kModel, "--ecran", picture_,
                           "--journal", log});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QStringList csv = lines(log);
        QCOMPARE(csv.size(), 6);
        QCOMPARE(csv.first(), production::csvHeader());
        for (int i = 1; i < csv.size(); ++i) {
            const QStringList fields = production::csvFields(csv[i]);
            QCOMPARE(fields.size(), production::csvFieldCount());
            QCOMPARE(fields[1], QString::number(i));
            QCOMPARE(fields[2], QStringLiteral("conforme"));
            QCOMPARE(fields[6].size(), 136);  // the block before, 68 bytes in hex
            QCOMPARE(fields[7].size(), 136);
            QCOMPARE(fields[8].size(), 64);
        }
        QVERIFY(r.out.contains(QStringLiteral("\n5 afficheurs : 5 conformes, 0 en échec\n")));
        QVERIFY(!r.out.contains(QLatin1Char('\r')));  // not a terminal: plain lines only
        // Per unit: the block read, the programming (a head read, then writes), the read-back, the 60
        // picture blocks and their 60 reads, the signal's three drive reports.
        const QRegularExpression unit(QStringLiteral("rRrw+rRP{60}V{60}S{3}"));
        const QString letters = reportLetters(trace);
        QCOMPARE(letters.count(unit), 5);
        QCOMPARE(QString(letters).remove(unit), QString());
    }

    void faultyUnitFailsAndTheLineGoesOn()
    {
        const QString log = dir_.filePath(QStringLiteral("fault.csv"));
        const QString trace = dir_.filePath(QStringLiteral("fault.trace"));
        const Run r = cli({"--simule", "--unites", "5", "--panne-unite", "3:muet", "--trace", trace, "production",
                           kModel, "--ecran", picture_, "--journal", log});
        QVERIFY(r.status != 0);
        const QStringList csv = lines(log).mid(1);
        QCOMPARE(csv.size(), 5);
        for (const QString& line : csv) {
            const QStringList fields = production::csvFields(line);
            const bool faulty = fields[1] == QLatin1String("3");
            QCOMPARE(fields[2], faulty ? QStringLiteral("echec") : QStringLiteral("conforme"));
            QCOMPARE(fields[3], faulty ? QStringLiteral("lecture") : QString());
            QCOMPARE(fields[4].isEmpty(), !faulty);
        }
        QVERIFY(r.out.contains(QStringLiteral("\n5 afficheurs : 4 conformes, 1 en échec\n")));
        // The silent unit got its first read and nothing after it; the others their whole sequence.
        const QString unit = QStringLiteral("rRrw+rRP{60}V{60}S{3}");
        QVERIFY2(
            QRegularExpression(QStringLiteral("^(%1){2}r(%1){2}$").arg(unit)).match(reportLetters(trace)).hasMatch(),
            qPrintable(reportLetters(trace).left(300)));
    }

    void latencyOnEveryExchange()
    {
        // Each report written waits its latency before the display sees it: a unit takes at least that
        // long per report of its programming (the connection checks around it are the line's, outside
        // the unit's time). A slower machine only adds to it.
        constexpr int kLatencyMs = 5;
        const QString trace = dir_.filePath(QStringLiteral("latency.trace"));
        const Run r = cli({"--simule", "--unites", "1", "--latence", QString::number(kLatencyMs), "--trace", trace,
                           "production", kModel, "--journal", dir_.filePath(QStringLiteral("latency.csv"))});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QRegularExpressionMatch took =
            QRegularExpression(QStringLiteral(": conforme, (\\d+) ms\n")).match(r.out);
        QVERIFY2(took.hasMatch(), qPrintable(r.out));
        const qsizetype reports = reportLetters(trace).count(QLatin1Char('w'));
        QVERIFY(reports > 0);
        QVERIFY2(took.captured(1).toLongLong() >= reports * kLatencyMs,
                 qPrintable(QStringLiteral("%1 ms for %2 reports").arg(took.captured(1)).arg(reports)));
    }

    void displaysSideBySide_data()
    {
        QTest::addColumn<bool>("beforeTheCommand");
        QTest::newRow("after production") << false;
        QTest::newRow("beside --unites") << true;
    }
    void displaysSideBySide()
    {
        QFETCH(bool, beforeTheCommand);
        const QString log = dir_.filePath(QStringLiteral("parallel.csv"));
        QFile::remove(log);
        const QStringList parallel{"--en-parallele", "4"};
        const QStringList line{"production", kModel, "--ecran", picture_, "--journal", log};
        const QStringList training{"--simule", "--unites", "8"};
        const Run r = cli(beforeTheCommand ? training + parallel + line : training + line + parallel);
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QStringList csv = lines(log).mid(1);
        QCOMPARE(csv.size(), 8);
        QSet<QString> units;
        QSet<QString> paths;
        for (const QString& line : csv) {
            const QStringList fields = production::csvFields(line);
            QCOMPARE(fields[2], QStringLiteral("conforme"));
            units << fields[1];
            paths << fields[9];
        }
        QCOMPARE(units.size(), 8);
        QCOMPARE(
            paths,
            (QSet<QString>{"emulated:hub-port1", "emulated:hub-port2", "emulated:hub-port3", "emulated:hub-port4"}));
    }

    void usageAndFileErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("--unites without --simule") << QStringList{"--unites", "3", "production", kModel} << 2;
        QTest::newRow("no model") << QStringList{"--simule", "production"} << 2;
        QTest::newRow("--nombre 0") << QStringList{"--simule", "production", kModel, "--nombre", "0"} << 2;
        QTest::newRow("--en-parallele without K")
            << QStringList{"--simule", "production", kModel, "--en-parallele"} << 2;
        QTest::newRow("--en-parallele before another command")
            << QStringList{"--simule", "--en-parallele", "2", "etat"} << 2;
        QTest::newRow("unreadable model") << QStringList{"--simule", "production", "/nonexistent/m.config_CP"} << 4;
        QTest::newRow("--panne-unite without a number")
            << QStringList{"--simule", "--unites", "3", "--panne-unite", "muet", "production", kModel} << 2;
        QTest::newRow("--panne-unite unknown fault")
            << QStringList{"--simule", "--unites", "3", "--panne-unite", "2:casse", "production", kModel} << 2;
        QTest::newRow("log in no folder")
            << QStringList{"--simule", "production", kModel, "--journal", "/nonexistent/j.csv"} << 4;
    }
    void usageAndFileErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        const Run r = cli(args);
        QCOMPARE(r.status, status);
        QVERIFY(!r.err.isEmpty());
    }

    void killedBetweenUnitsLeavesWholeLines()
    {
        const QString log = dir_.filePath(QStringLiteral("killed.csv"));
        QProcess p;
        QVERIFY(startLongLine(p, log, 20));
        ::kill(pid_t(p.processId()), SIGKILL);
        QVERIFY(p.waitForFinished(kProcessTimeoutMs));
        QFile f(log);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.endsWith('\n'));
        const QStringList csv = lines(log);
        QCOMPARE(csv.first(), production::csvHeader());
        for (int i = 1; i < csv.size(); ++i) {
            const QStringList fields = production::csvFields(csv[i]);
            QCOMPARE(fields.size(), production::csvFieldCount());
            QCOMPARE(fields[1], QString::number(i));
            QCOMPARE(fields[8].size(), 64);
        }
    }

    void interruptedEndsWithTheSummary()
    {
        const QString log = dir_.filePath(QStringLiteral("interrupted.csv"));
        QProcess p;
        QVERIFY(startLongLine(p, log, 3));
        ::kill(pid_t(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(kProcessTimeoutMs));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("\\n(\\d+) afficheurs : (\\d+) conformes, 0 en échec\\n$")).match(out);
        QVERIFY2(m.hasMatch(), qPrintable(out.right(200)));
        QCOMPARE(m.captured(1), m.captured(2));
        QCOMPARE(m.captured(1).toInt(), lines(log).size() - 1);  // every unit counted is in the log
    }

    void progressOnATerminalOnly()
    {
        const QString script = QStandardPaths::findExecutable(QStringLiteral("script"));
        QVERIFY2(!script.isEmpty(), "script missing: it gives the program a terminal (bsdutils, always installed)");
        const QString log = dir_.filePath(QStringLiteral("tty.csv"));
        const QString command = QStringLiteral("'%1' --simule production '%2' --ecran '%3' --journal '%4'")
                                    .arg(kCli, kModel, picture_, log);
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(script, {QStringLiteral("-qec"), command, QStringLiteral("/dev/null")});
        QVERIFY(p.waitForFinished(kProcessTimeoutMs));
        QCOMPARE(p.exitCode(), 0);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(out.contains(kClearLine + QStringLiteral("Afficheur 1 : Envoi de l'écran d'accueil [")),
                 qPrintable(out.left(400)));
        QVERIFY(out.contains(QRegularExpression(QStringLiteral("#+ +\\] +9\\d %"))));  // the bar moved on
        QVERIFY(out.contains(QStringLiteral("Afficheur 1 (emulated:hub-port1) : conforme")));
    }

    void progressBar_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QString>("bar");
        QTest::newRow("start") << 0 << 63 << "[          ]   0 %";
        QTest::newRow("half") << 30 << 60 << "[#####     ]  50 %";
        QTest::newRow("full") << 63 << 63 << "[##########] 100 %";
        QTest::newRow("past the end") << 70 << 63 << "[##########] 100 %";
        QTest::newRow("no maximum") << 5 << 0 << "[          ]   0 %";
    }
    void progressBar()
    {
        QFETCH(int, value);
        QFETCH(int, maximum);
        QFETCH(QString, bar);
        QCOMPARE(trivo::progressBar(value, maximum, 10), bar);
    }
};

QTEST_GUILESS_MAIN(TestCliProduction)
#include "test_cli_production.moc"
