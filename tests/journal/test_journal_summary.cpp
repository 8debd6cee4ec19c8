// The journal's figures counted by its database: one known small journal, written through the journal's
// API, counted by the station's SQLite file and by a PostgreSQL server of the test's own, each filter's
// figures written out below.
#include <QTemporaryDir>
#include <QtTest>

#include "journal/journal.h"
#include "journal/journal_summary.h"
#include "journal/server_store.h"
#include "support/postgres_server.h"

using namespace trivo;
using namespace trivo::journal;

namespace {

const QString kDiffers = QStringLiteral("L'afficheur relu diffère : Seuil 1");
const QString kSilent = QStringLiteral("Pas de réponse de l'afficheur");

JournalRecord record(const char* at, const char* station, const char* who, const char* lot, Result outcome,
                     const QString& message, bool training = false)
{
    HidInterfaceInfo display;
    display.path = "/dev/hidraw1";
    JournalEntry entry(Operation::Production, display,
                       Identity{QString::fromLatin1(station), QString::fromLatin1(who), QString::fromLatin1(lot)});
    entry.finish(outcome, message);
    entry.record().at = QDateTime::fromString(QString::fromLatin1(at), Qt::ISODate);
    entry.record().training = training;
    return entry.record();
}

// The journal every row counts: a training record, and one still running that no figure counts.
QList<JournalRecord> journalRecords()
{
    return {record("2024-05-02T08:10:00Z", "poste-1", "jean", "L1", Result::Succeeded, QStringLiteral("conforme")),
            record("2024-05-02T08:20:00Z", "poste-1", "jean", "L1", Result::Failed, kDiffers),
            record("2024-05-02T08:50:00Z", "poste-2", "marie", "L1", Result::Failed, kSilent),
            record("2024-05-02T09:00:00Z", "poste-1", "jean", "L1", Result::Failed, kSilent, true),
            record("2024-05-02T09:05:00Z", "poste-2", "marie", "L2", Result::Succeeded, QStringLiteral("conforme")),
            record("2024-05-02T09:30:00Z", "poste-1", "jean", "L2", Result::Failed, kDiffers),
            record("2024-05-02T11:00:00Z", "poste-1", "paul", "", Result::Interrupted, kInterruptedMessage),
            record("2024-05-02T11:15:00Z", "poste-2", "marie", "L2", Result::Succeeded, QStringLiteral("conforme"))};
}
JournalRecord runningRecord()
{
    return record("2024-05-02T11:30:00Z", "poste-1", "jean", "L2", Result::Running, QString());
}

// The figures in a few words, to compare with the rows' texts: hours, lots, reasons, people.
QStringList inWords(const JournalSummary& s)
{
    QStringList hours, lots, reasons, people;
    for (const HourFigures& h : s.hours)
        hours << QStringLiteral("%1 %2/%3").arg(h.hour.toUTC().toString(QStringLiteral("HH'h'"))).arg(h.passed).arg(h.failed);
    for (const LotFigures& l : s.lots)
        lots << QStringLiteral("[%1] %2/%3").arg(l.lot).arg(l.passed).arg(l.failed);
    const QList<double> shares = cumulativeShares(s.reasons);
    for (qsizetype i = 0; i < s.reasons.size(); ++i)
        reasons << QStringLiteral("%1 x%2 %3%").arg(s.reasons[i].reason).arg(s.reasons[i].count).arg(qRound(shares[i]));
    const auto hm = [](const QDateTime& at) { return at.toUTC().toString(QStringLiteral("HH:mm")); };
    for (const PersonFigures& p : s.people)
        people << QStringLiteral("%1/%2 %3/%4 %5-%6").arg(p.station, p.operatorName).arg(p.passed).arg(p.failed).arg(hm(p.first), hm(p.last));
    return {hours.join(u", "), lots.join(u", "), reasons.join(u" | "), people.join(u", ")};
}

}  // namespace

class TestJournalSummary : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<Journal> station_;
    test::PostgresServer server_;
    std::unique_ptr<Journal> shared_;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        JournalSettings settings;
        settings.databasePath = dir_.filePath(QStringLiteral("station/journal.sqlite"));
        station_ = std::make_unique<Journal>(settings);
        for (const JournalRecord& r : journalRecords())
            QCOMPARE(station_->append(r), QString());
        QCOMPARE(station_->begin(runningRecord()), QString());

        QVERIFY2(server_.start(), qPrintable(server_.error()));
        QCOMPARE(ServerStore(server_.uri()).initialise().error, QString());
        settings.databasePath = dir_.filePath(QStringLiteral("shared/journal.sqlite"));
        settings.serverUri = server_.uri();
        shared_ = std::make_unique<Journal>(settings);
        for (const JournalRecord& r : journalRecords())
            QCOMPARE(shared_->append(r), QString());
        QCOMPARE(shared_->synchronise().waiting, 0);
        // A running record on the server too (another station's, sent by an older program).
        ServerStore direct(server_.uri());
        QCOMPARE(direct.insert({runningRecord()}).error, QString());
        QCOMPARE(server_.query(QStringLiteral("SELECT count(*) FROM trivo_journal")), QStringList{"9"});
    }

    void figures_data()
    {
        QTest::addColumn<bool>("server");
        QTest::addColumn<QString>("lot");
        QTest::addColumn<QString>("since");
        QTest::addColumn<bool>("training");
        QTest::addColumn<int>("passed");
        QTest::addColumn<int>("failed");
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QString>("lots");
        QTest::addColumn<QString>("reasons");
        QTest::addColumn<QString>("people");
        for (const bool server : {false, true}) {
            const QByteArray store = server ? "server: " : "station: ";
            QTest::newRow(store + "all")
                << server << "" << "" << false << 3 << 4 << "08h 1/2, 09h 1/1, 11h 1/1" << "[] 0/1, [L1] 1/2, [L2] 2/1"
                << "L'afficheur relu diffère : Seuil 1 x2 50% | Le programme s'est arrêté avant la fin de l'opération. x1 75% | "
                   "Pas de réponse de l'afficheur x1 100%"
                << "poste-1/jean 1/2 08:10-09:30, poste-1/paul 0/1 11:00-11:00, poste-2/marie 2/1 08:50-11:15";
            QTest::newRow(store + "lot and date")
                << server << "L2" << "2024-05-02T09:10:00Z" << false << 1 << 1 << "09h 0/1, 11h 1/0" << "[L2] 1/1"
                << "L'afficheur relu diffère : Seuil 1 x1 100%" << "poste-1/jean 0/1 09:30-09:30, poste-2/marie 1/0 11:15-11:15";
            QTest::newRow(store + "training too")
                << server << "L1" << "" << true << 1 << 3 << "08h 1/2, 09h 0/1" << "[L1] 1/3"
                << "Pas de réponse de l'afficheur x2 67% | L'afficheur relu diffère : Seuil 1 x1 100%"
                << "poste-1/jean 1/2 08:10-09:00, poste-2/marie 0/1 08:50-08:50";
            QTest::newRow(store + "nothing after")
                << server << "" << "2024-05-03" << true << 0 << 0 << "" << "" << "" << "";
        }
    }
    void figures()
    {
        QFETCH(bool, server);
        QFETCH(QString, lot);
        QFETCH(QString, since);
        QFETCH(bool, training);
        Filter filter;
        filter.lot = lot;
        filter.since = since.isEmpty() ? QDateTime() : parseSince(since);
        filter.training = training;
        const JournalSummary s = (server ? shared_ : station_)->summaryNow(filter);
        QCOMPARE(s.error, QString());
        QCOMPARE(s.fromServer, server);
        QTEST(s.passed, "passed");
        QTEST(s.failed, "failed");
        QFETCH(QString, hours);
        QFETCH(QString, lots);
        QFETCH(QString, reasons);
        QFETCH(QString, people);
        QCOMPARE(inWords(s), (QStringList{hours, lots, reasons, people}));
    }
};

QTEST_MAIN(TestJournalSummary)
#include "test_journal_summary.moc"
