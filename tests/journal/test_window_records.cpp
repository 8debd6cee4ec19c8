// The windows' writes in the service journal: each operation that writes to a display leaves its record,
// and none writes a single report while the journal cannot take that record.
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
        const QList<journal::JournalRecord> records = f.main.journal().readLocal({}, &error);
        if (!journalWorks) {
            QVERIFY(f.transport.outputReports().empty());
            QCOMPARE(f.dialogs.messages.last().title, journal::kJournalRefusalTitle);
            QVERIFY(records.isEmpty());
            return;
        }
        QVERIFY2(!f.transport.outputReports().empty(), "the operation reached the display");
        QCOMPARE(records.size(), 1);
        QCOMPARE(journal::operationName(records[0].operation), operation);
        QVERIFY(records[0].passed());
        QCOMPARE(records[0].usbPath, QString::fromLatin1(EmulatedTransport::kDisplayPath));
        QCOMPARE(records[0].serial, QString::fromStdString(EmulatedTransport::serialOf(0)));
    }
};

QTEST_MAIN(TestWindowRecords)
#include "test_window_records.moc"
