// The registers' history: an hour kept and no more, a bounded memory, and the CSV an operator opens.
#include <QtTest>

#include "registers/register_history.h"

using namespace trivo::registers;

namespace {

constexpr qint64 kStart = 1765450800000;  // 2025-12-11T11:00:00.000Z
constexpr qint64 kMinute = 60 * 1000;

// The times kept, in minutes (and milliseconds) after kStart.
QStringList keptTimes(const RegisterHistory& history)
{
    QStringList times;
    for (int i = 0; i < history.size(); ++i) {
        const qint64 ms = history.at(i).atMs - kStart;
        times << QStringLiteral("%1m%2").arg(ms / kMinute).arg(ms % kMinute ? QString::number(ms % kMinute) : QString());
    }
    return times;
}

}  // namespace

class TestRegisterHistory : public QObject {
    Q_OBJECT
private slots:
    void keepsTheLastHour_data();
    void keepsTheLastHour();
    void csvText();
    void appendsWhatTheReadDecoded();
    void thinnedToThePlotsColumns_data();
    void thinnedToThePlotsColumns();
};

void TestRegisterHistory::keepsTheLastHour_data()
{
    QTest::addColumn<int>("capacity");
    QTest::addColumn<QList<qint64>>("appended");  // ms after kStart
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<int>("levels");  // readings with a level; every third has none (see below)
    QTest::newRow("within the hour") << 10 << QList<qint64>{0, 30 * kMinute, 59 * kMinute}
                                     << QStringList{"0m", "30m", "59m"} << 2;
    QTest::newRow("exactly an hour old stays") << 10 << QList<qint64>{0, 60 * kMinute}
                                               << QStringList{"0m", "60m"} << 2;
    QTest::newRow("a millisecond more goes") << 10 << QList<qint64>{0, 1, 60 * kMinute + 1}
                                             << QStringList{"0m1", "60m1"} << 1;
    QTest::newRow("a gap of hours leaves the new one alone")
        << 10 << QList<qint64>{0, kMinute, 2 * kMinute, 300 * kMinute} << QStringList{"300m"} << 1;
    QTest::newRow("full: the oldest goes first")
        << 3 << QList<qint64>{0, 1000, 2000, 3000, 4000} << QStringList{"0m2000", "0m3000", "0m4000"} << 2;
    QTest::newRow("full and old at once") << 3 << QList<qint64>{0, 1000, 2000, 61 * kMinute}
                                          << QStringList{"61m"} << 1;
}

// Every third reading (the third, the sixth...) comes without a radio level.
void TestRegisterHistory::keepsTheLastHour()
{
    QFETCH(int, capacity);
    QFETCH(QList<qint64>, appended);
    QFETCH(QStringList, kept);
    QFETCH(int, levels);
    RegisterHistory history(capacity);
    for (int i = 0; i < appended.size(); ++i)
        history.append(RegisterSample{kStart + appended[i], 0, uint8_t(i % 3 == 2 ? 0xFF : 4), 0, 0x07});
    QCOMPARE(keptTimes(history), kept);
    QCOMPARE(history.size(), kept.size());
    QCOMPARE(history.levelCount(), levels);
    history.clear();
    QVERIFY(history.isEmpty());
    QCOMPARE(history.levelCount(), 0);
}

void TestRegisterHistory::csvText()
{
    RegisterHistory history;
    QCOMPARE(history.csv(), QStringLiteral("horodatage,temperature_c,niveau_radio,del_rouge,del_verte,del_bleue,"
                                           "poussoir_rouge,poussoir_vert,poussoir_bleu\n"));
    history.append(RegisterSample{kStart, 0x0190, 3, 0x00, 0x07});
    history.append(RegisterSample{kStart + 500, int16_t(0xFF90), 7, 0x07, 0x00});
    history.append(RegisterSample{kStart + 1250, 0x0008, 0xFF, 0x02, 0x05});
    history.append(RegisterSample{kStart + 61000, -1, 0, 0x05, 0x03});
    history.append(RegisterSample{kStart + 62000, -8, 8, 0x00, 0x06});
    QCOMPARE(history.csv(), QStringLiteral("horodatage,temperature_c,niveau_radio,del_rouge,del_verte,del_bleue,"
                                           "poussoir_rouge,poussoir_vert,poussoir_bleu\n"
                                           "2025-12-11T11:00:00.000Z,25.0,3,0,0,0,0,0,0\n"
                                           "2025-12-11T11:00:00.500Z,-7.0,7,1,1,1,1,1,1\n"
                                           "2025-12-11T11:00:01.250Z,0.5,,0,1,0,0,1,0\n"
                                           "2025-12-11T11:01:01.000Z,-0.1,0,1,0,1,1,0,0\n"
                                           "2025-12-11T11:01:02.000Z,-0.5,,0,0,0,0,0,1\n"));
}

// A read's decoding goes in as the window has it: the temperature's raw word, the level, LED and key bytes.
void TestRegisterHistory::appendsWhatTheReadDecoded()
{
    BufferTexts texts;
    texts[kLeds] = QStringLiteral("03");
    texts[kButtons] = QStringLiteral("06");
    texts[kLevel] = QStringLiteral("05");
    texts[kTemperatureHigh] = QStringLiteral("FF");
    texts[kTemperatureLow] = QStringLiteral("38");
    RegisterHistory history;
    history.append(QDateTime::fromMSecsSinceEpoch(kStart, Qt::UTC), decode(texts));
    QCOMPARE(history.csv().split(QLatin1Char('\n')).value(1),
             QStringLiteral("2025-12-11T11:00:00.000Z,-12.5,5,1,1,0,0,0,1"));
}

void TestRegisterHistory::thinnedToThePlotsColumns_data()
{
    QTest::addColumn<QList<double>>("ys");  // at x = 0, 1, 2...
    QTest::addColumn<int>("columns");       // over x 0 to 10
    QTest::addColumn<QString>("kept");      // x:y
    QTest::newRow("two a column or fewer: all") << QList<double>{3, 1, 2, 5} << 2 << "0:3 1:1 2:2 3:5";
    QTest::newRow("a spike shows") << QList<double>{0, 0, 0, 0, 9, 0, 0, 0, 0, 0} << 2 << "0:0 4:9 5:0 9:0";
    QTest::newRow("falling: high before low")
        << QList<double>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0} << 2 << "0:9 4:5 5:4 9:0";
    QTest::newRow("the newest ends the curve") << QList<double>{1, 1, 1, 1, 1, 0, 5, 2, 2, 3} << 2
                                               << "0:1 5:0 6:5 9:3";
}

void TestRegisterHistory::thinnedToThePlotsColumns()
{
    QFETCH(QList<double>, ys);
    QFETCH(int, columns);
    QFETCH(QString, kept);
    QList<QPointF> points;
    for (int x = 0; x < ys.size(); ++x)
        points.append(QPointF(x, ys[x]));
    QStringList seen;
    for (const QPointF& p : thinned(points, 0, 10, columns))
        seen << QStringLiteral("%1:%2").arg(p.x()).arg(p.y());
    QCOMPARE(seen.join(u' '), kept);
}

QTEST_MAIN(TestRegisterHistory)
#include "test_register_history.moc"
