// The windows' writes in the service journal: each operation that writes to a display leaves its record,
// none writes a single report while the journal cannot take that record, and the windows and four
// command lines write one journal at once without a refusal.
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include "configwindow/config_window.h"
#include "journal/journal.h"
#include "journal/recording.h"
#include "screen/ui/screen_window.h"
#include "shell/main_window_rig.h"

using namespace trivo;
// The emulated display's records are training ones, kept apart from the service records.
const journal::Filter kTraining{QString(), QString(), QDateTime(), 0, true};
using Drive = std::function<void(test::MainWindowRig&)>;
Q_DECLARE_METATYPE(Drive)

class TestWindowRecords : public QObject {
    Q_OBJECT
    QTemporaryDir home_;

private slots:
    void initTestCase()
    {
        qputenv("XDG_DATA_HOME", home_.filePath(QStringLiteral("data")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home_.filePath(QStringLiteral("config")).toLocal8Bit());
        QCoreApplication::setOrganizationName(QStringLiteral("trivo"));
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
