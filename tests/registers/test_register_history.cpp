// The registers' history: an hour kept and no more in a bounded memory, its CSV, its curves thinned.
#include <QtTest>

#include "registers/register_history.h"

using namespace trivo::registers;

constexpr qint64 kStart = 1765450800000;  // 2025-12-11T11:00:00.000Z
constexpr qint64 kMinute = 60 * 1000;

class TestRegisterHistory : public QObject {
    Q_OBJECT
private slots:
    void keepsTheLastHour_data();
    void keepsTheLastHour();
    void csvText();
    void thinnedToThePlotsColumns_data();
    void thinnedToThePlotsColumns();
};

void TestRegisterHistory::keepsTheLastHour_data()
{
    QTest::addColumn<int>("capacity");
    QTest::addColumn<QList<qint64>>("appended");  // ms after kStart; every third without a radio level
    QTest::addColumn<QList<qint64>>("kept");
    QTest::addColumn<int>("levels");
    QTest::newRow("an hour old stays") << 9 << QList<qint64>{0, 30 * kMinute, 60 * kMinute}
                                       << QList<qint64>{0, 30 * kMinute, 60 * kMinute} << 2;
    QTest::newRow("a millisecond more goes") << 9 << QList<qint64>{0, 1, 60 * kMinute + 1}
                                             << QList<qint64>{1, 60 * kMinute + 1} << 1;
    QTest::newRow("full: the oldest goes") << 3 << QList<qint64>{0, 1, 2, 3, 4} << QList<qint64>{2, 3, 4} << 2;
}

void TestRegisterHistory::keepsTheLastHour()
{
    QFETCH(int, capacity);
    QFETCH(QList<qint64>, appended);
    QFETCH(QList<qint64>, kept);
    QFETCH(int, levels);
    RegisterHistory history(capacity);
    for (int i = 0; i < appended.size(); ++i)
        history.append(RegisterSample{kStart + appended[i], 0, uint8_t(i % 3 == 2 ? 0xFF : 4), 0, 0x07});
    QList<qint64> seen;
    for (int i = 0; i < history.size(); ++i)
        seen << history.at(i).atMs - kStart;
    QCOMPARE(seen, kept);
    QCOMPARE(history.levelCount(), levels);
}

void TestRegisterHistory::csvText()
{
    RegisterHistory history;
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

void TestRegisterHistory::thinnedToThePlotsColumns_data()
{
    QTest::addColumn<QList<double>>("ys");  // at x = 0, 1, 2... on two columns over x 0 to 10
    QTest::addColumn<QString>("kept");      // x:y
    QTest::newRow("two a column or fewer: all") << QList<double>{3, 1, 2, 5} << "0:3 1:1 2:2 3:5";
    QTest::newRow("a spike shows") << QList<double>{0, 0, 0, 0, 9, 0, 0, 0, 0, 0} << "0:0 4:9 5:0 9:0";
    QTest::newRow("falling: high before low") << QList<double>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0} << "0:9 4:5 5:4 9:0";
    QTest::newRow("the newest ends the curve") << QList<double>{1, 1, 1, 1, 1, 0, 5, 2, 2, 3} << "0:1 5:0 6:5 9:3";
}

void TestRegisterHistory::thinnedToThePlotsColumns()
{
    QFETCH(QList<double>, ys);
    QFETCH(QString, kept);
    QList<QPointF> points;
    for (int x = 0; x < ys.size(); ++x)
        points.append(QPointF(x, ys[x]));
    QStringList seen;
    for (const QPointF& p : thinned(points, 0, 10, 2))
        seen << QStringLiteral("%1:%2").arg(p.x()).arg(p.y());
    QCOMPARE(seen.join(u' '), kept);
}

QTEST_MAIN(TestRegisterHistory)
#include "test_register_history.moc"
