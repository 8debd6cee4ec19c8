// The production line's logic: the log's lines and their durability, the signal on the display, the steps
// of a unit and their reasons, and whole lines of emulated displays one at a time and side by side.
#include <QCryptographicHash>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

#include "config/settings_codec.h"
#include "emulator/emulated_display.h"
#include "emulator/faults.h"
#include "link/exchanger.h"
#include "link/display_owner.h"
#include "production/emulated_line.h"
#include "production/line_clock.h"
#include "production/production_line.h"
#include "production/station.h"
#include "production/unit_programming.h"

using namespace trivo;
using namespace trivo::production;

Q_DECLARE_METATYPE(trivo::production::UnitStep)

namespace {

QStringList fileLines(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QString text = QString::fromUtf8(f.readAll());
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

EmulatedLineSettings lineOf(int units, int places, quint32 seed = 1)
{
    EmulatedLineSettings settings;
    settings.units = units;
    settings.places = places;
    settings.seed = seed;
    return settings;
}

// A picture with both colours, saved where the model can find it.
QString writePicture(const QTemporaryDir& dir)
{
    QImage image(240, 64, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < 64; ++y)
        for (int x = y; x < 240; x += 7)
            image.setPixel(x, y, qRgb(255, 255, 255));
    const QString path = dir.filePath(QStringLiteral("logo.png"));
    image.save(path);
    return path;
}

// Records every unit and step the line reports.
struct Recorder : LineObserver {
    QList<UnitRecord> records;
    QList<bool> signalled;
    QList<UnitStep> steps;
    std::function<void()> afterUnit;
    void stepStarted(int, int, UnitStep step) override { steps << step; }
    void unitFinished(int, const UnitRecord& r, bool s) override
    {
        records << r;
        signalled << s;
        if (afterUnit)
            afterUnit();
    }
};

struct Watcher : UnitWatcher {
    QList<UnitStep> steps;
    void stepStarted(UnitStep step) override { steps << step; }
    Progress& progress() override { return silentProgress(); }
};

}  // namespace

class TestProduction : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    Model model_;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        const ModelLoad loaded = loadModel(QStringLiteral(TRIVO_MODEL), writePicture(dir_));
        QVERIFY2(loaded.ok(), qPrintable(loaded.box.text));
        model_ = loaded.model;
    }

    void modelCarriesTheFilesFingerprint()
    {
        QFile f(QStringLiteral(TRIVO_MODEL));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(model_.sha256,
                 QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex()));
        QVERIFY(model_.hasPicture);
    }

    void modelRefusals_data()
    {
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<int>("outcome");
        QTest::newRow("missing configuration") << "/nonexistent/m.config_CP"
                                               << "" << int(Outcome::FileError);
        QTest::newRow("missing picture") << TRIVO_MODEL << "/nonexistent/logo.bmp" << int(Outcome::FileError);
    }
    void modelRefusals()
    {
        QFETCH(QString, config);
        QFETCH(QString, picture);
        QFETCH(int, outcome);
        const ModelLoad loaded = loadModel(config, picture);
        QCOMPARE(int(loaded.outcome), outcome);
        QVERIFY(!loaded.box.text.isEmpty());
    }

    void summaryText_data()
    {
        QTest::addColumn<int>("units");
        QTest::addColumn<int>("passed");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 0 << 0 << "0 afficheur : 0 conforme, 0 en échec";
        QTest::newRow("one") << 1 << 1 << "1 afficheur : 1 conforme, 0 en échec";
        QTest::newRow("a day") << 12 << 11 << "12 afficheurs : 11 conformes, 1 en échec";
        QTest::newRow("all failed") << 2 << 0 << "2 afficheurs : 0 conforme, 2 en échec";
    }
    void summaryText()
    {
        QFETCH(int, units);
        QFETCH(int, passed);
        QFETCH(QString, text);
        QCOMPARE(production::summaryText({units, passed, units - passed, {}}), text);
    }

    void csvLineRoundTrip_data()
    {
        QTest::addColumn<bool>("passed");
        QTest::addColumn<QString>("reason");
        QTest::newRow("passed") << true << "";
        QTest::newRow("comma and quotes")
            << false << "L'afficheur relu diffère : 2 paramètres diffèrent : Mode, \"Seuil\" relais 1.";
    }
    void csvLineRoundTrip()
    {
        QFETCH(bool, passed);
        QFETCH(QString, reason);
        UnitRecord r;
        r.startedAt = QDateTime(QDate(2026, 12, 9), QTime(1, 2, 3), Qt::OffsetFromUTC, 3600);
        r.unit = 42;
        r.passed = passed;
        r.failedStep = passed ? UnitStep::None : UnitStep::Verify;
        r.reason = reason;
        r.durationMs = 1234;
        r.before = EmulatedLine::randomBlock(7, 1);
        r.modelSha256 = model_.sha256;
        r.usbPath = QStringLiteral("/dev/hidraw3");
        const QStringList fields = csvFields(csvLine(r));
        QCOMPARE(fields.size(), csvFieldCount());
        QCOMPARE(csvFields(csvHeader()).size(), csvFieldCount());
        QCOMPARE(fields[0], QStringLiteral("2026-12-09T01:02:03+01:00"));
        QCOMPARE(fields[1], QStringLiteral("42"));
        QCOMPARE(fields[2], passed ? QStringLiteral("conforme") : QStringLiteral("echec"));
        QCOMPARE(fields[3], passed ? QString() : QStringLiteral("verification"));
        QCOMPARE(fields[4], reason);
        QCOMPARE(fields[5], QStringLiteral("1234"));
        QCOMPARE(QByteArray::fromHex(fields[6].toLatin1()),
                 QByteArray(reinterpret_cast<const char*>(r.before->data()), kParameterBlockSize));
        QVERIFY(fields[7].isEmpty());  // never read back
        QCOMPARE(fields[8], model_.sha256);
        QCOMPARE(fields[9], r.usbPath);
    }

    void logAppendsAndKeepsLinesWhole()
    {
        const QString path = dir_.filePath(QStringLiteral("append.csv"));
        UnitRecord r;
        r.startedAt = QDateTime::currentDateTime();
        {
            ProductionLog log;
            QVERIFY(log.open(path, nullptr));
            r.unit = 1;
            QVERIFY(log.append(r, nullptr));
        }
        {
            // A line cut short by a power cut: the next one still starts on a line of its own.
            QFile f(path);
            QVERIFY(f.open(QIODevice::Append));
            f.write("2026-12-09T01:02:03Z,2,confo");
        }
        ProductionLog log;
        QVERIFY(log.open(path, nullptr));
        r.unit = 3;
        QVERIFY(log.append(r, nullptr));
        const QStringList lines = fileLines(path);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], csvHeader());  // once, however often the log is opened
        QCOMPARE(csvFields(lines[1])[1], QStringLiteral("1"));
        QCOMPARE(csvFields(lines[3])[1], QStringLiteral("3"));
    }

    void logThatCannotOpen()
    {
        ProductionLog log;
        QString why;
        QVERIFY(!log.open(dir_.path(), &why));  // a folder
        QVERIFY(!why.isEmpty());
        QVERIFY(!log.append(UnitRecord{}, &why));
    }

    void signalOnTheDisplay_data()
    {
        QTest::addColumn<bool>("passed");
        QTest::addColumn<QStringList>("drives");  // switch and output bytes of each output-drive report
        QTest::addColumn<uint8_t>("leds");
        QTest::newRow("pass: one beep, green") << true << QStringList{"0002", "0100", "0120"} << uint8_t(0x02);
        QTest::newRow("fail: three beeps, red")
            << false << QStringList{"0002", "0100", "0002", "0100", "0002", "0100", "0180"} << uint8_t(0x01);
    }
    void signalOnTheDisplay()
    {
        QFETCH(bool, passed);
        QFETCH(QStringList, drives);
        QFETCH(uint8_t, leds);
        EmulatedTransport transport;
        Exchanger link(transport);
        link.connectionCheck();
        const auto clock = makeLineClock(true);
        QVERIFY(signalUnit(link, passed, *clock));
        QStringList sent;
        for (const auto& report : transport.outputReports()) {
            QCOMPARE(report[1], uint8_t(0x01));
            QCOMPARE(report[2], uint8_t(0x05));
            sent << QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(&report[3]), 2).toHex());
        }
        QCOMPARE(sent, drives);
        QCOMPARE(transport.display().leds, leds);
        // The beeps and their gaps are waited for on the line's clock.
        QVERIFY(clock->nowMs() >= (passed ? kBeepMs : 3 * kBeepMs + 2 * kBeepGapMs));
    }

    void unitFailsAtItsStep_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<UnitStep>("step");
        QTest::addColumn<QString>("reason");
        QTest::newRow("silent") << "silent" << UnitStep::Read << "ne répond pas";
        QTest::newRow("writes fail") << "writes" << UnitStep::Read << "n'a pas pu être envoyé";
        QTest::newRow("unplugged while programming") << "unplug" << UnitStep::Program << "n'a pas pu être envoyé";
        QTest::newRow("unplugged while sending the picture")
            << "unplug-picture" << UnitStep::Picture << "n'a pas pu être envoyé";
        QTest::newRow("none") << "" << UnitStep::None << "";
    }
    void unitFailsAtItsStep()
    {
        QFETCH(QString, fault);
        QFETCH(UnitStep, step);
        QFETCH(QString, reason);
        EmulatedTransport transport;
        Exchanger link(transport);
        link.setReadTimeoutMs(20);
        link.connectionCheck();
        if (fault == QLatin1String("silent"))
            transport.setSilent(true);
        else if (fault == QLatin1String("writes"))
            transport.setFailWrites(true);
        else if (fault == QLatin1String("unplug"))
            transport.unplugAfterReports(4);
        else if (fault == QLatin1String("unplug-picture"))
            transport.unplugAfterReports(60);
        Watcher watcher;
        const UnitResult result = programUnit(link, model_, watcher);
        QCOMPARE(result.passed, step == UnitStep::None);
        QCOMPARE(result.failedStep, step);
        QVERIFY2(result.reason.contains(reason), qPrintable(result.reason));
        QVERIFY(!result.reason.contains(QLatin1Char('\n')));
        // The steps ran in order up to the failing one.
        const QList<UnitStep> all{UnitStep::Read, UnitStep::Program, UnitStep::Verify, UnitStep::Picture,
                                  UnitStep::PictureVerify};
        QCOMPARE(watcher.steps, step == UnitStep::None ? all : all.mid(0, all.indexOf(step) + 1));
        QCOMPARE(result.before.has_value(), step != UnitStep::Read);
    }

    void lineOfUnits_data()
    {
        QTest::addColumn<int>("places");
        QTest::addColumn<int>("units");
        QTest::newRow("one at a time") << 1 << 5;
        QTest::newRow("two side by side") << 2 << 5;
        QTest::newRow("four side by side") << 4 << 8;
    }
    void lineOfUnits()
    {
        QFETCH(int, places);
        QFETCH(int, units);
        const QString path = dir_.filePath(QStringLiteral("line-%1-%2.csv").arg(places).arg(units));
        ProductionLog log;
        QVERIFY(log.open(path, nullptr));
        EmulatedLine source(lineOf(units, places, 5));
        LineSettings settings;
        settings.places = places;
        settings.virtualTime = true;
        ProductionLine line(model_, log, source, settings);
        Recorder recorder;
        const LineSummary summary = line.run(recorder);
        QCOMPARE(summary.units, units);
        QCOMPARE(summary.passed, units);
        QVERIFY(summary.allPassed());

        const ParameterBlock programmed = encodeBlock(formToSettings(model_.form).settings);
        const DisplayBitmap picture = model_.picture.pack();
        const std::vector<EmulatedUnitOutcome> outcomes = source.outcomes();
        QCOMPARE(int(outcomes.size()), units);
        QSet<int> numbers;
        QSet<QString> paths;
        for (const UnitRecord& r : recorder.records) {
            numbers << r.unit;
            paths << r.usbPath;
            QVERIFY(r.passed);
            QCOMPARE(*r.before, EmulatedLine::randomBlock(5, r.unit));
            const auto outcome = std::find_if(outcomes.begin(), outcomes.end(),
                                              [&](const EmulatedUnitOutcome& o) { return o.unit == r.unit; });
            QVERIFY(outcome != outcomes.end());
            // The line programmed, signalled and logged the display it found at that path.
            QCOMPARE(QString::fromStdString(outcome->path), r.usbPath);
            QCOMPARE(outcome->leds, uint8_t(0x02));
            QCOMPARE(outcome->beeps, 1);
            QCOMPARE(*r.after, outcome->block);
            for (int i = 4; i < kParameterBlockSize; ++i)
                if (i < 44 || i >= 52)  // the presets (words 11 and 12) are the display's own
                    QCOMPARE(outcome->block[std::size_t(i)], programmed[std::size_t(i)]);
            QVERIFY(std::equal(picture.begin(), picture.end(), outcome->picture.begin()));
        }
        QCOMPARE(numbers.size(), units);
        QCOMPARE(paths.size(), places);  // every place had its own display at a time
        const QStringList lines = fileLines(path);
        QCOMPARE(lines.size(), units + 1);
        for (const QString& l : lines.mid(1))
            QCOMPARE(csvFields(l)[2], QStringLiteral("conforme"));
    }

    void failingUnitIsLoggedAndTheLineGoesOn_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<UnitStep>("step");
        QTest::addColumn<int>("beeps");  // of the faulty unit's signal
        QTest::newRow("muet") << "muet" << UnitStep::Read << 0;
        QTest::newRow("signature") << "signature" << UnitStep::Read << 3;
        QTest::newRow("lecture") << "lecture" << UnitStep::Read << 3;
        QTest::newRow("debranche:5") << "debranche:5" << UnitStep::Program << 0;
        QTest::newRow("debranche:40") << "debranche:40" << UnitStep::Picture << 0;
        QTest::newRow("debranche:100") << "debranche:100" << UnitStep::PictureVerify << 0;
        QTest::newRow("lent") << "lent" << UnitStep::None << 1;
    }
    void failingUnitIsLoggedAndTheLineGoesOn()
    {
        QFETCH(QString, fault);
        QFETCH(UnitStep, step);
        QFETCH(int, beeps);
        ProductionLog log;
        QVERIFY(log.open(dir_.filePath(QStringLiteral("fault-%1.csv").arg(QString(fault).remove(':'))), nullptr));
        EmulatedLineSettings emulated = lineOf(4, 1);
        emulated.faults[2] = *parseFault(fault);
        EmulatedLine source(emulated);
        LineSettings settings;
        settings.virtualTime = true;
        ProductionLine line(model_, log, source, settings);
        Recorder recorder;
        const LineSummary summary = line.run(recorder);
        QCOMPARE(summary.units, 4);
        QCOMPARE(summary.failed, step == UnitStep::None ? 0 : 1);
        QCOMPARE(summary.allPassed(), step == UnitStep::None);
        for (const UnitRecord& r : recorder.records) {
            QCOMPARE(r.passed, r.unit != 2 || step == UnitStep::None);
            if (r.unit == 2) {
                QCOMPARE(r.failedStep, step);
                QCOMPARE(r.reason.isEmpty(), step == UnitStep::None);
            }
        }
        const std::vector<EmulatedUnitOutcome> outcomes = source.outcomes();
        QCOMPARE(int(outcomes.size()), 4);
        for (const EmulatedUnitOutcome& o : outcomes) {
            if (o.unit != 2) {
                QCOMPARE(o.leds, uint8_t(0x02));
                continue;
            }
            // A display that still takes reports shows its failure on its own red LED.
            QCOMPARE(o.beeps, beeps);
            if (beeps == 3)
                QCOMPARE(o.leds, uint8_t(0x01));
        }
    }

    void countAndStopEndTheLine_data()
    {
        QTest::addColumn<int>("maxUnits");
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<int>("expected");
        QTest::newRow("--nombre 3") << 3 << 0 << 3;
        QTest::newRow("Ctrl+C after the second") << 0 << 2 << 2;
    }
    void countAndStopEndTheLine()
    {
        QFETCH(int, maxUnits);
        QFETCH(int, stopAfter);
        QFETCH(int, expected);
        ProductionLog log;
        QVERIFY(log.open(dir_.filePath(QStringLiteral("count-%1-%2.csv").arg(maxUnits).arg(stopAfter)), nullptr));
        EmulatedLine source(lineOf(10, 1));
        std::atomic<bool> interrupted{false};
        LineSettings settings;
        settings.maxUnits = maxUnits;
        settings.virtualTime = true;
        settings.stopAsked = [&] { return interrupted.load(); };
        ProductionLine line(model_, log, source, settings);
        Recorder recorder;
        recorder.afterUnit = [&] { interrupted = stopAfter > 0 && recorder.records.size() >= stopAfter; };
        const LineSummary summary = line.run(recorder);
        QCOMPARE(summary.units, expected);
        QCOMPARE(recorder.records.size(), expected);
    }

    void logThatFailsStopsTheLine()
    {
        const QString path = dir_.filePath(QStringLiteral("full.csv"));
        ProductionLog log;
        QVERIFY(log.open(path, nullptr));
        // The disk is full from now on: a file may not grow past what it holds.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit before{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
        rlimit full = before;
        full.rlim_cur = rlim_t(QFileInfo(path).size());
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &full), 0);
        EmulatedLine source(lineOf(5, 1));
        LineSettings settings;
        settings.virtualTime = true;
        ProductionLine line(model_, log, source, settings);
        Recorder recorder;
        const LineSummary summary = line.run(recorder);
        setrlimit(RLIMIT_FSIZE, &before);
        QCOMPARE(summary.units, 1);  // stopped before the next unit
        QCOMPARE(summary.failed, 1);
        QVERIFY(!summary.allPassed());
        QVERIFY2(summary.stopReason.contains(path), qPrintable(summary.stopReason));
        QCOMPARE(recorder.records.first().failedStep, UnitStep::Log);
        QCOMPARE(fileLines(path).size(), 1);  // the header alone
    }

    void placesShareOutTheDisplays()
    {
        EmulatedTransport bus;
        bus.addSecondDisplay();
        PathRegistry registry;
        struct Borrowed : HidTransport {  // each place's view over the one bus of this test
            HidTransport& t;
            explicit Borrowed(HidTransport& x) : t(x) {}
            std::vector<HidInterfaceInfo> enumerate() override { return t.enumerate(); }
            Handle open(const std::string& p) override { return t.open(p); }
            ReportLengths reportLengths(Handle h) override { return t.reportLengths(h); }
            int write(Handle h, const uint8_t* d, std::size_t n) override { return t.write(h, d, n); }
            ReadStatus read(Handle h, uint8_t* b, std::size_t n, int ms, std::size_t& got) override
            {
                return t.read(h, b, n, ms, got);
            }
            bool close(Handle h) override { return t.close(h); }
            std::string lastError() const override { return t.lastError(); }
        };
        ClaimingTransport a(std::make_unique<Borrowed>(bus), registry);
        ClaimingTransport b(std::make_unique<Borrowed>(bus), registry);
        ClaimingTransport c(std::make_unique<Borrowed>(bus), registry);
        QCOMPARE(a.enumerate().size(), std::size_t(1));
        QCOMPARE(b.enumerate().size(), std::size_t(1));
        QVERIFY(c.enumerate().empty());  // two displays, two places hold them
        QCOMPARE(a.held(), std::string(EmulatedTransport::kDisplayPath));
        QCOMPARE(b.held(), std::string(EmulatedTransport::kSecondDisplayPath));
        QCOMPARE(a.enumerate().front().path, a.held());  // a place keeps its display
        bus.plug(false);
        QVERIFY(a.enumerate().empty());  // unplugged: released
        QVERIFY(a.held().empty());
        bus.plug(true);
        QCOMPARE(c.enumerate().front().path, std::string(EmulatedTransport::kDisplayPath));
        QVERIFY(a.enumerate().empty());
    }
};

QTEST_GUILESS_MAIN(TestProduction)
#include "test_production.moc"
