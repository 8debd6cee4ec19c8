// Decoding of the register block from the report buffer's texts.
#include <QtTest>

#include "registers/register_decoding.h"

using namespace trivo::registers;

namespace {

// A reply as the link leaves it: every field two upper-case digits, the given bytes set, the rest "00".
BufferTexts reply(std::initializer_list<std::pair<int, const char*>> bytes)
{
    BufferTexts t;
    t.fill(QStringLiteral("00"));
    for (const auto& [index, text] : bytes)
        t[index] = QString::fromLatin1(text);
    return t;
}

QString bars(const RegisterReadout& r)
{
    QString s;
    for (bool b : r.bars)
        s += b ? QLatin1Char('#') : QLatin1Char('.');
    return s;
}

}  // namespace

class TestRegisterDecoding : public QObject {
    Q_OBJECT
private slots:
    void clockAndDate_data();
    void clockAndDate();
    void radioSync_data();
    void radioSync();
    void dayNames_data();
    void dayNames();
    void temperature_data();
    void temperature();
    void level_data();
    void level();
    void indicators_data();
    void indicators();
    void malformedTextsReadAsZero_data();
    void malformedTextsReadAsZero();
};

void TestRegisterDecoding::clockAndDate_data()
{
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("date");
    QTest::newRow("tuesday") << "02"
                             << "14:05:09"
                             << "Mardi 24/12/13";
    QTest::newRow("day 00 keeps the blank") << "00"
                                            << "14:05:09"
                                            << " 24/12/13";
    QTest::newRow("day 08 keeps the blank") << "08"
                                            << "14:05:09"
                                            << " 24/12/13";
}

void TestRegisterDecoding::clockAndDate()
{
    QFETCH(QString, day);
    QFETCH(QString, time);
    QFETCH(QString, date);
    BufferTexts t = reply({{0, "09"}, {1, "05"}, {2, "14"}, {4, "24"}, {5, "12"}, {6, "13"}});
    t[kDayOfWeek] = day;
    const RegisterReadout r = decode(t);
    QCOMPARE(r.heureTrivo, time);
    QCOMPARE(r.dateTrivo, date);
}

void TestRegisterDecoding::radioSync_data()
{
    QTest::addColumn<BufferTexts>("texts");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("date");
    // Byte 7 and byte 0 (clock seconds) must not reach the sync time: its seconds are always 00.
    QTest::newRow("friday") << reply(
        {{0, "59"}, {7, "33"}, {8, "47"}, {9, "03"}, {10, "05"}, {11, "01"}, {12, "06"}, {13, "25"}})
                            << "03:47:00"
                            << "Vendredi 01/06/25";
    QTest::newRow("no day name") << reply({{8, "00"}, {9, "23"}, {10, "0A"}, {11, "31"}, {12, "12"}, {13, "99"}})
                                 << "23:00:00"
                                 << " 31/12/99";
}

void TestRegisterDecoding::radioSync()
{
    QFETCH(BufferTexts, texts);
    QFETCH(QString, time);
    QFETCH(QString, date);
    const RegisterReadout r = decode(texts);
    QCOMPARE(r.heureDcf, time);
    QCOMPARE(r.dateDcf, date);
}

void TestRegisterDecoding::dayNames_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::newRow("01") << "01"
                        << "Lundi ";
    QTest::newRow("02") << "02"
                        << "Mardi ";
    QTest::newRow("03") << "03"
                        << "Mercredi ";
    QTest::newRow("04") << "04"
                        << "Jeudi ";
    QTest::newRow("05") << "05"
                        << "Vendredi ";
    QTest::newRow("06") << "06"
                        << "Samedi ";
    QTest::newRow("07") << "07"
                        << "Dimanche ";
    // Compared as text: a one-digit field is not a day.
    QTest::newRow("1") << "1"
                       << "";
    QTest::newRow("00") << "00"
                        << "";
    QTest::newRow("08") << "08"
                        << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestRegisterDecoding::dayNames()
{
    QFETCH(QString, text);
    QFETCH(QString, name);
    QCOMPARE(dayName(text), name);
}

void TestRegisterDecoding::temperature_data()
{
    QTest::addColumn<QString>("high");
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("shown");
    QTest::newRow("0190") << "01"
                          << "90"
                          << "25.0 °C";
    QTest::newRow("00A8") << "00"
                          << "A8"
                          << "10.5 °C";
    QTest::newRow("FF90") << "FF"
                          << "90"
                          << "-07.0 °C";
    QTest::newRow("0008") << "00"
                          << "08"
                          << "00.5 °C";
    QTest::newRow("0000") << "00"
                          << "00"
                          << "00.0 °C";
    // 1/16 steps rounded to one decimal, halves away from zero.
    QTest::newRow("0001") << "00"
                          << "01"
                          << "00.1 °C";
    QTest::newRow("0004") << "00"
                          << "04"
                          << "00.3 °C";
    QTest::newRow("FFFC") << "FF"
                          << "FC"
                          << "-00.3 °C";
    QTest::newRow("FFFF") << "FF"
                          << "FF"
                          << "-00.1 °C";
    QTest::newRow("lower case") << "ff"
                                << "90"
                                << "-07.0 °C";
    QTest::newRow("most positive") << "7F"
                                   << "FF"
                                   << "2047.9 °C";
    QTest::newRow("most negative") << "80"
                                   << "00"
                                   << "-2048.0 °C";
    QTest::newRow("one-digit fields join as text") << "1"
                                                   << "0"
                                                   << "01.0 °C";
    QTest::newRow("no display") << "0"
                                << "0"
                                << "00.0 °C";
}

void TestRegisterDecoding::temperature()
{
    QFETCH(QString, high);
    QFETCH(QString, low);
    QFETCH(QString, shown);
    BufferTexts t = reply({});
    t[kTemperatureHigh] = high;
    t[kTemperatureLow] = low;
    QCOMPARE(decode(t).temperature, shown);
}

void TestRegisterDecoding::level_data()
{
    QTest::addColumn<QString>("byte");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("barGraph");
    QTest::addColumn<bool>("icon");
    QTest::newRow("00") << "00"
                        << "0 / 7"
                        << "#......." << true;
    QTest::newRow("03") << "03"
                        << "3 / 7"
                        << "####...." << true;
    QTest::newRow("07") << "07"
                        << "7 / 7"
                        << "########" << true;
    QTest::newRow("08") << "08"
                        << "_ / 7"
                        << "........" << false;
    QTest::newRow("FF") << "FF"
                        << "_ / 7"
                        << "........" << false;
    QTest::newRow("0A") << "0A"
                        << "_ / 7"
                        << "........" << false;
}

void TestRegisterDecoding::level()
{
    QFETCH(QString, byte);
    QFETCH(QString, text);
    QFETCH(QString, barGraph);
    QFETCH(bool, icon);
    BufferTexts t = reply({});
    t[kLevel] = byte;
    const RegisterReadout r = decode(t);
    QCOMPARE(r.niveau, text);
    QCOMPARE(bars(r), barGraph);
    QCOMPARE(r.icon, icon);
    QCOMPARE(r.levelByte, uint8_t(byte.toUInt(nullptr, 16)));
}

void TestRegisterDecoding::indicators_data()
{
    QTest::addColumn<QString>("buttons");
    QTest::addColumn<QString>("leds");
    QTest::addColumn<QString>("lit");  // R1 V1 B1 R2 V2 B2
    QTest::newRow("buttons 07, leds 00") << "07"
                                         << "00"
                                         << "......";
    QTest::newRow("buttons 00") << "00"
                                << "00"
                                << "RVB...";
    QTest::newRow("buttons 03: red pressed") << "03"
                                             << "00"
                                             << "R.....";
    QTest::newRow("buttons 05: green pressed") << "05"
                                               << "00"
                                               << ".V....";
    QTest::newRow("buttons 06: blue pressed") << "06"
                                              << "00"
                                              << "..B...";
    QTest::newRow("leds 07") << "07"
                             << "07"
                             << "...RVB";
    QTest::newRow("leds 01: red") << "07"
                                  << "01"
                                  << "...R..";
    QTest::newRow("leds 02: green") << "07"
                                    << "02"
                                    << "....V.";
    QTest::newRow("leds 04: blue") << "07"
                                   << "04"
                                   << ".....B";
    QTest::newRow("high bits ignored") << "F8"
                                       << "F8"
                                       << "RVB...";
}

void TestRegisterDecoding::indicators()
{
    QFETCH(QString, buttons);
    QFETCH(QString, leds);
    QFETCH(QString, lit);
    BufferTexts t = reply({});
    t[kButtons] = buttons;
    t[kLeds] = leds;
    const RegisterReadout r = decode(t);
    const QString shown = QString() + (r.r1 ? 'R' : '.') + (r.v1 ? 'V' : '.') + (r.b1 ? 'B' : '.') + (r.r2 ? 'R' : '.')
        + (r.v2 ? 'V' : '.') + (r.b2 ? 'B' : '.');
    QCOMPARE(shown, lit);
    QCOMPARE(r.buttonByte, uint8_t(buttons.toUInt(nullptr, 16)));
    QCOMPARE(r.ledByte, uint8_t(leds.toUInt(nullptr, 16)));
}

void TestRegisterDecoding::malformedTextsReadAsZero_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("temperature");  // with the text in both temperature fields
    QTest::newRow("empty") << "" << 0 << "00.0 °C";
    QTest::newRow("one digit") << "7" << 7 << "07.4 °C";        // 0x77
    QTest::newRow("lower case") << "fe" << 0xFE << "-16.1 °C";  // 0xFEFE
    QTest::newRow("not hex") << "G1" << 0 << "00.0 °C";
    QTest::newRow("three digits") << "100" << 0 << "00.0 °C";
    QTest::newRow("sign") << "-1" << 0 << "00.0 °C";
    QTest::newRow("blank") << " " << 0 << "00.0 °C";
}

// Fields are whatever an earlier caller left; a non-number must not stop the cycle or wrap round.
void TestRegisterDecoding::malformedTextsReadAsZero()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(QString, temperature);
    BufferTexts t = reply({});
    t[kLevel] = text;
    t[kTemperatureLow] = text;
    t[kTemperatureHigh] = text;
    const RegisterReadout r = decode(t);
    QCOMPARE(int(r.levelByte), value);
    QCOMPARE(r.temperature, temperature);
}

QTEST_APPLESS_MAIN(TestRegisterDecoding)
#include "test_register_decoding.moc"
