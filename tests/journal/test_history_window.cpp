// The Historique window over a station's journal: the selected display's operations first, the filters,
// and the CSV export of exactly what is shown. TRIVO_SCREENSHOTS=folder also saves a picture of it.
#include <QCheckBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "journal/ui/history_window.h"
#include "support/strict_dialogs.h"

using namespace trivo;
using namespace trivo::journal;

namespace {

JournalRecord record(int hour, const QString& path, const QString& lot, bool passed)
{
    HidInterfaceInfo display;
    display.path = path.toStdString();
    display.version = 0x0100;
    JournalEntry entry(Operation::Production, display, Identity{QStringLiteral("atelier-2"), QStringLiteral("marie"), lot});
    entry.setFileHash(QStringLiteral("modele.config_CP"), sha256Hex("modele"));
    entry.finish(passed, passed ? QStringLiteral("conforme") : QStringLiteral("L'afficheur relu diffère : Seuil 1"));
    entry.record().at = QDateTime(QDate(2024, 5, 2), QTime(hour, 0), Qt::UTC);
    return entry.record();
}

QStringList column(const QTableWidget* table, int c)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts << table->item(row, c)->text();
    return texts;
}

}  // namespace

class TestHistoryWindow : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<Journal> journal_;

private slots:
    void initTestCase()
    {
        JournalSettings settings;
        settings.databasePath = dir_.filePath(QStringLiteral("journal.sqlite"));
        journal_ = std::make_unique<Journal>(settings);
        const QList<JournalRecord> records = {record(8, QStringLiteral("/dev/hidraw1"), QStringLiteral("L1"), true),
                                              record(9, QStringLiteral("/dev/hidraw2"), QStringLiteral("L1"), false),
                                              record(10, QStringLiteral("/dev/hidraw1"), QStringLiteral("L2"), true),
                                              record(11, QStringLiteral("/dev/hidraw3"), QStringLiteral("L2"), true)};
        for (const JournalRecord& r : records)
            QCOMPARE(journal_->append(r), QString());
    }

    void selectedDisplayFirstAndFilters_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<bool>("only");
        QTest::addColumn<QString>("lot");
        QTest::addColumn<QStringList>("paths");  // the rows, top to bottom
        QTest::newRow("newest first") << "" << false << "" << QStringList{"/dev/hidraw3", "/dev/hidraw1", "/dev/hidraw2", "/dev/hidraw1"};
        QTest::newRow("selected display first")
            << "/dev/hidraw1" << false << "" << QStringList{"/dev/hidraw1", "/dev/hidraw1", "/dev/hidraw3", "/dev/hidraw2"};
        QTest::newRow("that display only") << "/dev/hidraw1" << true << "" << QStringList{"/dev/hidraw1", "/dev/hidraw1"};
        QTest::newRow("one lot") << "/dev/hidraw2" << false << "L1" << QStringList{"/dev/hidraw2", "/dev/hidraw1"};
    }
    void selectedDisplayFirstAndFilters()
    {
        QFETCH(QString, display);
        QFETCH(bool, only);
        QFETCH(QString, lot);
        QFETCH(QStringList, paths);
        test::StrictDialogs dialogs;
        HistoryWindow window(dialogs, *journal_);
        window.findChild<QLineEdit*>(QStringLiteral("LOT"))->setText(lot);
        window.ACTUALISER_Click();
        window.setSelectedDisplay(display);
        window.findChild<QCheckBox*>(QStringLiteral("SEULEMENT"))->setChecked(only);
        const auto* table = window.findChild<QTableWidget*>(QStringLiteral("TABLE"));
        QCOMPARE(column(table, 3), paths);
        QVERIFY(window.statusText().endsWith(QStringLiteral("%1 opération%2").arg(paths.size()).arg(paths.size() > 1 ? "s" : "")));
    }

    void exportWritesWhatIsShown()
    {
        test::StrictDialogs dialogs;
        HistoryWindow window(dialogs, *journal_);
        window.setSelectedDisplay(QStringLiteral("/dev/hidraw2"));
        window.findChild<QCheckBox*>(QStringLiteral("SEULEMENT"))->setChecked(true);
        const QString path = dir_.filePath(QStringLiteral("export.csv"));
        dialogs.fileAnswers << path;
        dialogs.expect();
        window.EXPORTER_Click();
        QCOMPARE(dialogs.messages.last().text, QStringLiteral("Historique exporté : 1 opération."));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(f.readAll()),
                 journal::csvHeader() + QLatin1Char('\n') + journal::csvLine(window.shown().first()) + QLatin1Char('\n'));
        QVERIFY(window.shown().first().message.contains(QStringLiteral("Seuil 1")));
    }

    void screenshot()
    {
        const QByteArray dir = qgetenv("TRIVO_SCREENSHOTS");
        if (dir.isEmpty())
            QSKIP("set TRIVO_SCREENSHOTS to a folder to render the Historique window");
        test::StrictDialogs dialogs;
        HistoryWindow window(dialogs, *journal_);
        window.setSelectedDisplay(QStringLiteral("/dev/hidraw1"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/HISTORIQUE.png")));
    }
};

QTEST_MAIN(TestHistoryWindow)
#include "test_history_window.moc"
