// The windows' writes in the service journal: each operation that writes to a display leaves its record,
// none writes a single report while the journal cannot take that record, and the windows and four
// command lines write one journal at once without a refusal.
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include "common/tool_settings.h"
#include "configwindow/config_window.h"
#include "configwindow/gest_f_files.h"
#include "journal/journal.h"
#include "journal/recording.h"
#include "maintenance/hex_fixtures.h"
#include "maintenance/ui/maintenance_window.h"
#include "screen/bmp_writer.h"
#include "screen/ui/screen_window.h"
#include "shell/main_window_rig.h"

using namespace trivo;
// The emulated display's records are training ones, kept apart from the service records.
const journal::Filter kTraining{QString(), QString(), QDateTime(), 0, true};
using Drive = std::function<void(test::MainWindowRig&)>;
Q_DECLARE_METATYPE(Drive)

// A record as both fronts must write it: everything but its id, time and duration.
QStringList comparable(const journal::JournalRecord& r)
{
    return {r.station, r.operatorName, r.lot, r.serial, r.usbPath, r.version, journal::operationName(r.operation),
            r.result(), r.message, r.hashBefore, r.hashAfter, r.hashFile, r.fileName,
            r.training ? QStringLiteral("formation") : QStringLiteral("service")};
}

class TestWindowRecords : public QObject {
    Q_OBJECT
    QTemporaryDir home_;
    // The files the operations of both fronts take.
    QString picture_, firmware_, backup_;

    // The record the journal gained since `before` (ids); fails the test unless there is exactly one.
    static journal::JournalRecord newRecord(test::MainWindowRig& f, const QSet<QString>& before)
    {
        QList<journal::JournalRecord> added;
        for (const journal::JournalRecord& r : f.main.journal().readLocal(kTraining, nullptr))
            if (!before.contains(r.id))
                added << r;
        if (added.size() != 1)
            qWarning("%d new records", int(added.size()));
        return added.value(0);
    }
#ifdef TRIVO_CLI_PATH
    // Runs the command line on the emulated display of `state`: "" when it succeeded, else what it said.
    static QString runCli(const QString& state, const QStringList& args)
    {
        QProcess line;
        line.start(QStringLiteral(TRIVO_CLI_PATH), QStringList{"--simule=" + state} + args);
        if (line.waitForFinished(120000) && line.exitStatus() == QProcess::NormalExit && line.exitCode() == 0)
            return QString();
        return QStringLiteral("exit %1: %2").arg(line.exitCode()).arg(QString::fromUtf8(line.readAllStandardError()));
    }
#endif
    static QSet<QString> ids(test::MainWindowRig& f)
    {
        QSet<QString> all;
        for (const journal::JournalRecord& r : f.main.journal().readLocal(kTraining, nullptr))
            all << r.id;
        return all;
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_DATA_HOME", home_.filePath(QStringLiteral("data")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home_.filePath(QStringLiteral("config")).toLocal8Bit());
        QCoreApplication::setOrganizationName(QStringLiteral("trivo"));
        qputenv("ASAN_OPTIONS", "detect_leaks=0");
        QImage image(240, 64, QImage::Format_RGB32);
        image.fill(qRgb(0, 0, 0));
        for (int x = 0; x < 240; x += 5)
            image.setPixel(x, x % 64, qRgb(255, 255, 255));
        picture_ = home_.filePath(QStringLiteral("accueil.bmp"));
        firmware_ = home_.filePath(QStringLiteral("micrologiciel.hex"));
        QFile picture(picture_), firmware(firmware_);
        QVERIFY(picture.open(QIODevice::WriteOnly) && firmware.open(QIODevice::WriteOnly));
        picture.write(bmptest::writeBmp(image, bmptest::Encoding::Rgb24));
        firmware.write(hexfix::dataRecords(40) + hexfix::kEndOfFile + "\r\n");
#ifdef TRIVO_CLI_PATH
        // A backup of a display as it comes, for the restores.
        backup_ = home_.filePath(QStringLiteral("sauvegarde"));
        const QString made = runCli(home_.filePath(QStringLiteral("etat-sauvegarde")), {"sauvegarder", backup_});
        QVERIFY2(made.isEmpty(), qPrintable(made));
#endif
    }

    void recordedOrRefused_data()
    {
        QTest::addColumn<Drive>("drive");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("journalWorks");
        const QList<std::tuple<const char*, Drive, const char*>> operations = {
            {"programming", [](test::MainWindowRig& f) { f.main.configWindow()->PROG_PARAM(); }, "programmation"},
            {"command +1", [](test::MainWindowRig& f) { f.main.configWindow()->BOUTON_Click(2); }, "commande"},
            {"picture send", [](test::MainWindowRig& f) { f.main.showScreenWindow()->but_WR_HID_ECR_Click(); }, "ecran"},
            {"picture clear", [](test::MainWindowRig& f) { f.main.showScreenWindow()->Command2_Click(); }, "ecran"},
        };
        for (const auto& [name, drive, operation] : operations)
            for (bool works : {true, false})
                QTest::addRow("%s, journal %s", name, works ? "writable" : "blocked")
                    << drive << QString::fromLatin1(operation) << works;
    }

    void recordedOrRefused()
    {
        QFETCH(Drive, drive);
        QFETCH(QString, operation);
        QFETCH(bool, journalWorks);
        // A data folder of the case's own; a file in its place leaves the journal no room.
        const QString app = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'));
        QCoreApplication::setApplicationName(app);
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        if (!journalWorks) {
            QVERIFY(QDir().mkpath(QFileInfo(folder).absolutePath()));
            QFile blocker(folder);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        test::MainWindowRig f;
        if (!journalWorks)
            f.dialogs.expect();  // the journal cannot be opened: said once
        f.main.journal();
        f.main.MDIForm_Load();
        f.tick();
        QVERIFY(f.main.configWindow());
        f.transport.clearRecord();
        if (!journalWorks)
            f.dialogs.expect();
        drive(f);
        QVERIFY(f.settled());

        QString error;
        const QList<journal::JournalRecord> records = f.main.journal().readLocal(kTraining, &error);
        if (!journalWorks) {
            QVERIFY(f.transport.outputReports().empty());
            QCOMPARE(f.dialogs.messages.last().title, journal::kJournalRefusalTitle);
            QVERIFY(records.isEmpty());
            return;
        }
        QVERIFY2(!f.transport.outputReports().empty(), "the operation reached the display");
        QCOMPARE(records.size(), 1);
        QCOMPARE(journal::operationName(records[0].operation), operation);
        QVERIFY(records[0].passed() && records[0].training);
        QVERIFY(f.main.journal().readLocal({}, &error).isEmpty());
        // A programming says what the display now holds, read back or not.
        QCOMPARE(records[0].hashAfter.isEmpty(), operation != QLatin1String("programmation"));
        QCOMPARE(records[0].usbPath, QString::fromLatin1(EmulatedTransport::kDisplayPath));
        QCOMPARE(records[0].serial, QString::fromStdString(EmulatedTransport::serialOf(0)));
    }

#ifdef TRIVO_CLI_PATH
    // Every writing operation, from the window and from the command line on the same emulated display (a
    // fresh one each): the same record, but for its id, time and duration.
    void bothFrontsRecordAlike_data()
    {
        QTest::addColumn<Drive>("window");
        QTest::addColumn<QStringList>("cli");
        const QString model = QStringLiteral(TRIVO_MODEL);
        const auto program = [model](bool verify) {
            return [model, verify](test::MainWindowRig& f) {
                ConfigWindow& cw = *f.main.configWindow();
                QCOMPARE(CHARGE_CONFIG(cw, model, f.dialogs, f.main), FileOutcome::Done);
                tool_settings::setOn(tool_settings::kVerifyAfterProgramming, verify);
                cw.PROG_PARAM();
                tool_settings::setOn(tool_settings::kVerifyAfterProgramming, false);
            };
        };
        QTest::newRow("programming") << Drive(program(false)) << QStringList{"programmer", model};
        QTest::newRow("programming verified") << Drive(program(true)) << QStringList{"programmer", "--verifier", model};
        const QStringList commands = {"raz-c", "raz-t", "plus", "moins", "reset"};
        for (int button = 0; button < commands.size(); ++button)
            QTest::addRow("command %s", qPrintable(commands[button]))
                << Drive([button](test::MainWindowRig& f) { f.main.configWindow()->BOUTON_Click(button); })
                << QStringList{"commande", commands[button]};
        const auto send = [this](bool verify) {
            return [this, verify](test::MainWindowRig& f) {
                ScreenWindow& screen = *f.main.showScreenWindow();
                f.dialogs.fileAnswers << picture_;
                screen.OUVRIR_Click();
                tool_settings::setOn(tool_settings::kVerifyScreenAfterSend, verify);
                screen.but_WR_HID_ECR_Click();
                tool_settings::setOn(tool_settings::kVerifyScreenAfterSend, false);
            };
        };
        QTest::newRow("picture send") << Drive(send(false)) << QStringList{"ecran", "envoyer", picture_};
        QTest::newRow("picture send verified")
            << Drive(send(true)) << QStringList{"ecran", "envoyer", picture_, "--verifier"};
        QTest::newRow("picture clear") << Drive([](test::MainWindowRig& f) { f.main.showScreenWindow()->Command2_Click(); })
                                       << QStringList{"ecran", "effacer"};
        QTest::newRow("restore") << Drive([this](test::MainWindowRig& f) {
            f.dialogs.folderAnswers << backup_;
            f.dialogs.expect(MsgResult::Yes).expect();  // the question, then what was restored
            f.choose(QStringLiteral("MENU_RESTAURE_AFF"));
        }) << QStringList{"restaurer", backup_, "--oui"};
        QTest::newRow("firmware") << Drive([this](test::MainWindowRig& f) {
            f.transport.display().updateMode = true;  // as the operator puts the display into it
            MaintenanceWindow& maintenance = *f.main.showMaintenanceWindow();
            f.dialogs.fileAnswers << firmware_;
            maintenance.Cmd_Openfile_Click();
            f.dialogs.expect(MsgResult::Yes);
            maintenance.CMD_Flash_OK_Click();
        }) << QStringList{"firmware", "flasher", firmware_, "--oui"};
    }

    void bothFrontsRecordAlike()
    {
        QFETCH(Drive, window);
        QFETCH(QStringList, cli);
        // The command line's journal, in a data folder of these rows' own.
        QCoreApplication::setApplicationName(QStringLiteral("trivo-cp"));
        qputenv("XDG_DATA_HOME", home_.filePath(QStringLiteral("fronts")).toLocal8Bit());
        const auto restore = qScopeGuard(
            [this] { qputenv("XDG_DATA_HOME", home_.filePath(QStringLiteral("data")).toLocal8Bit()); });
        const QString state = home_.filePath(QStringLiteral("etat-%1").arg(QTest::currentDataTag()));
        test::MainWindowRig f;
        f.main.MDIForm_Load();
        f.tick();
        QVERIFY(f.main.configWindow());
        QSet<QString> before = ids(f);
        window(f);
        QVERIFY(f.settled());
        const journal::JournalRecord fromWindow = newRecord(f, before);
        QVERIFY2(fromWindow.passed(), qPrintable(fromWindow.message));

        before = ids(f);
        const QString failed = runCli(state, cli);
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        const journal::JournalRecord fromCli = newRecord(f, before);
        QCOMPARE(comparable(fromCli), comparable(fromWindow));
    }
#endif

    // Four command lines (real processes, each on an emulated display of its own) and the configuration
    // window's "+1", 100 operations into one journal, all started at once: none refused, each recorded.
    void manyWritersNoneRefused()
    {
#ifndef TRIVO_CLI_PATH
        QSKIP("no command line in this build (ThreadSanitizer's)");
#else
        constexpr int kLines = 4, kEach = 20;  // per command line, and the window's
        QCoreApplication::setApplicationName(QStringLiteral("trivo-cp"));  // the command line's data folder
        test::MainWindowRig f;
        f.main.MDIForm_Load();
        f.tick();
        QVERIFY(f.main.configWindow());
        QProcess lines[kLines];
        int done[kLines] = {};
        QStringList refused;
        auto startLine = [&](int k) {
            lines[k].start(QStringLiteral(TRIVO_CLI_PATH), {"--simule=" + home_.filePath(QString::number(k)), "commande", "plus"});
        };
        for (int k = 0; k < kLines; ++k)
            connect(&lines[k], &QProcess::finished, this, [&, k](int status) {
                if (status != 0)
                    refused << QString::fromUtf8(lines[k].readAllStandardError());
                if (++done[k] < kEach)
                    startLine(k);
            });
        qputenv("ASAN_OPTIONS", "detect_leaks=0");
        for (int k = 0; k < kLines; ++k)  // one gate: every command line starts in the same turn of the event loop
            startLine(k);
        for (int i = 0; i < kEach; ++i) {  // the window's, spread over theirs: one as the first line ends one
            QVERIFY(test::waitFor([&] { return done[0] >= i; }, 120000));
            f.main.configWindow()->BOUTON_Click(2);
            QVERIFY(f.settled());  // a refusal would be a box StrictDialogs does not expect
        }
        QVERIFY(test::waitFor([&] { return std::count(done, done + kLines, kEach) == kLines; }, 120000));
        const QList<journal::JournalRecord> records = f.main.journal().readLocal(kTraining, nullptr);
        const auto passed = std::count_if(records.begin(), records.end(), [](const auto& r) { return r.passed(); });
        qInfo("%d operations at once: %d refused, %d records", (kLines + 1) * kEach, int(refused.size()), int(passed));
        QVERIFY2(refused.isEmpty(), qPrintable(refused.join(QLatin1Char('\n'))));
        QCOMPARE(passed, (kLines + 1) * kEach);
#endif
    }
};

QTEST_MAIN(TestWindowRecords)
#include "test_window_records.moc"
