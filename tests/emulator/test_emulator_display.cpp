// The emulated display's answers, request by request, as the windows and procedures above rely on them.
#include <QTest>

#include "emulator/emulated_display.h"

using namespace trivo;

namespace {

using Bytes = std::vector<uint8_t>;
using Report = std::array<uint8_t, 64>;

Report request(const Bytes& bytes)
{
    Report r{};
    std::copy(bytes.begin(), bytes.end(), r.begin());
    return r;
}

Bytes slice(const Report& reply, int first, int count)
{
    return Bytes(reply.begin() + first, reply.begin() + first + count);
}

}  // namespace

class TestEmulatedDisplay : public QObject {
    Q_OBJECT
private slots:
    void freshBlockCarriesValidSignature();
    void blockReadsCoverTheWholeBlock();
    void wordWrite_data();
    void wordWrite();
    void byteWrite_data();
    void byteWrite();
    void counters_data();
    void counters();
    void countersWrapInsteadOfOverflowing();
    void registers_data();
    void registers();
    void temperature_data();
    void temperature();
    void clockFollowsThePcUntilFixed();
    void pictureBlocksRoundTrip_data();
    void pictureBlocksRoundTrip();
    void clearLeavesTheStoredPicture();
    void updateModeStoresFirmware();
    void outputDrive_data();
    void outputDrive();
    void relaysFollowTheRules_data();
    void relaysFollowTheRules();
};

void TestEmulatedDisplay::freshBlockCarriesValidSignature()
{
    EmulatedDisplay d;
    const Report r = d.handle(request({0x30}));
    QCOMPARE(slice(r, 0, 4), (Bytes{0x42, 0x43, 0x49, 0x50}));
    d.setSignature(0x42, 0x43, 0x49, 0x54);
    QCOMPARE(slice(d.handle(request({0x30})), 0, 4), (Bytes{0x42, 0x43, 0x49, 0x54}));
}

// 30 answers offsets 0x00..0x1F, 31 answers 0x20..0x43: together exactly the 68 bytes, nothing past them.
void TestEmulatedDisplay::blockReadsCoverTheWholeBlock()
{
    EmulatedDisplay d;
    for (int i = 0; i < EmulatedDisplay::kBlockSize; ++i)
        d.block[i] = static_cast<uint8_t>(0x80 + i);
    const Report low = d.handle(request({0x30}));
    const Report high = d.handle(request({0x31}));
    for (int i = 0; i < 32; ++i)
        QCOMPARE(low[i], uint8_t(0x80 + i));
    for (int i = 0; i < 36; ++i)
        QCOMPARE(high[i], uint8_t(0x80 + 0x20 + i));
    QCOMPARE(slice(high, 36, 28), Bytes(28, 0));
}

void TestEmulatedDisplay::wordWrite_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<Bytes>("word");
    QTest::addColumn<int32_t>("value");
    QTest::newRow("signature, totaliser mode") << 0 << Bytes{0x42, 0x43, 0x49, 0x54} << int32_t(0x42434954);
    QTest::newRow("counter start 1") << 1 << Bytes{0x00, 0x00, 0x00, 0x01} << int32_t(1);
    QTest::newRow("minus one") << 7 << Bytes{0xFF, 0xFF, 0xFF, 0xFF} << int32_t(-1);
    QTest::newRow("big-endian order") << 10 << Bytes{0x12, 0x34, 0x56, 0x78} << int32_t(0x12345678);
    QTest::newRow("last word, totaliser preset") << 12 << Bytes{0x80, 0x00, 0x00, 0x00} << int32_t(INT32_MIN);
}

// A word written with 32 reads back through 30/31 at offsets 4n..4n+3.
void TestEmulatedDisplay::wordWrite()
{
    QFETCH(int, number);
    QFETCH(Bytes, word);
    QFETCH(int32_t, value);
    EmulatedDisplay d;
    const auto before = d.block;
    Bytes req{0x32, uint8_t(number)};
    req.insert(req.end(), word.begin(), word.end());
    d.handle(request(req));
    QCOMPARE(d.word(number), value);
    Bytes all;
    for (uint8_t code : {0x30, 0x31}) {
        const Report r = d.handle(request({code}));
        const Bytes part = slice(r, 0, code == 0x30 ? 32 : 36);
        all.insert(all.end(), part.begin(), part.end());
    }
    QCOMPARE(Bytes(all.begin() + 4 * number, all.begin() + 4 * number + 4), word);
    for (int i = 0; i < EmulatedDisplay::kBlockSize; ++i)
        if (i / 4 != number)
            QCOMPARE(d.block[i], before[i]);
}

void TestEmulatedDisplay::byteWrite_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("stored");
    QTest::newRow("general flags") << 0x34 << 0x7F << true;
    QTest::newRow("relay 1 rule") << 0x3C << 0xC9 << true;
    QTest::newRow("total display seconds, last byte") << 0x43 << 10 << true;
    QTest::newRow("past the block") << 0x44 << 0x11 << false;
    QTest::newRow("far past the block") << 0xFF << 0x11 << false;
    QTest::newRow("signature is not a setting byte") << 0x00 << 0x11 << false;
    QTest::newRow("word area is not a setting byte") << 0x33 << 0x11 << false;
}

void TestEmulatedDisplay::byteWrite()
{
    QFETCH(int, offset);
    QFETCH(int, value);
    QFETCH(bool, stored);
    EmulatedDisplay d;
    const auto before = d.block;
    d.handle(request({0x33, uint8_t(offset), uint8_t(offset - 0x34), uint8_t(value)}));
    auto expected = before;
    if (stored)
        expected[offset] = uint8_t(value);
    QCOMPARE(d.block, expected);
}

void TestEmulatedDisplay::counters_data()
{
    QTest::addColumn<Bytes>("codes");
    QTest::addColumn<int>("counter");
    QTest::addColumn<int>("totaliser");
    QTest::addColumn<int>("restarts");
    QTest::newRow("three up") << Bytes{0x36, 0x36, 0x36} << 3 << 3 << 0;
    QTest::newRow("up then down") << Bytes{0x36, 0x36, 0x37} << 1 << 1 << 0;
    QTest::newRow("below zero") << Bytes{0x37, 0x37} << -2 << -2 << 0;
    QTest::newRow("counter reset keeps the totaliser") << Bytes{0x36, 0x36, 0x34, 0x36} << 1 << 3 << 0;
    QTest::newRow("totaliser reset keeps the counter") << Bytes{0x36, 0x36, 0x35} << 2 << 0 << 0;
    QTest::newRow("restart counts, keeps the counts") << Bytes{0x36, 0x38, 0x38} << 1 << 1 << 2;
}

void TestEmulatedDisplay::counters()
{
    QFETCH(Bytes, codes);
    QFETCH(int, counter);
    QFETCH(int, totaliser);
    QFETCH(int, restarts);
    EmulatedDisplay d;
    for (uint8_t c : codes)
        d.handle(request({c}));
    QCOMPARE(d.counter, counter);
    QCOMPARE(d.totaliser, totaliser);
    QCOMPARE(d.restarts, restarts);
}

void TestEmulatedDisplay::countersWrapInsteadOfOverflowing()
{
    EmulatedDisplay d;
    d.counter = INT32_MAX;
    d.totaliser = INT32_MIN;
    d.handle(request({0x36}));
    QCOMPARE(d.counter, INT32_MIN);
    d.handle(request({0x37}));
    d.handle(request({0x37}));
    QCOMPARE(d.totaliser, INT32_MAX);
}

void TestEmulatedDisplay::registers_data()
{
    QTest::addColumn<QDateTime>("clock");
    QTest::addColumn<QDateTime>("sync");
    QTest::addColumn<Bytes>("clockBytes");  // bytes 0..6
    QTest::addColumn<Bytes>("syncBytes");   // bytes 8..13
    QTest::newRow("Tuesday 24/12/13") << QDateTime(QDate(2013, 12, 24), QTime(14, 5, 9))
                                      << QDateTime(QDate(2013, 12, 24), QTime(3, 0))
                                      << Bytes{0x09, 0x05, 0x14, 0x02, 0x24, 0x12, 0x13}
                                      << Bytes{0x00, 0x03, 0x02, 0x24, 0x12, 0x13};
    QTest::newRow("Sunday is 07, Monday 01")
        << QDateTime(QDate(2026, 12, 6), QTime(23, 59, 59)) << QDateTime(QDate(2026, 12, 7), QTime(2, 47))
        << Bytes{0x59, 0x59, 0x23, 0x07, 0x06, 0x12, 0x26} << Bytes{0x47, 0x02, 0x01, 0x07, 0x12, 0x26};
    QTest::newRow("midnight, first of January 2000")
        << QDateTime(QDate(2000, 1, 1), QTime(0, 0, 0)) << QDateTime(QDate(1999, 12, 31), QTime(10, 10))
        << Bytes{0x00, 0x00, 0x00, 0x06, 0x01, 0x01, 0x00} << Bytes{0x10, 0x10, 0x05, 0x31, 0x12, 0x99};
}

void TestEmulatedDisplay::registers()
{
    QFETCH(QDateTime, clock);
    QFETCH(QDateTime, sync);
    QFETCH(Bytes, clockBytes);
    QFETCH(Bytes, syncBytes);
    EmulatedDisplay d;
    d.setClock(clock);
    d.radioSync = sync;
    d.leds = 0x05;
    d.buttons = 0x06;
    d.radioLevel = 7;
    const Report r = d.handle(request({0x02, 0xD0, 0x00, 0x00, 0xD1}));
    QCOMPARE(slice(r, 0, 7), clockBytes);
    QCOMPARE(slice(r, 8, 6), syncBytes);
    QCOMPARE(slice(r, 36, 3), (Bytes{0x05, 0x06, 0x07}));
}

void TestEmulatedDisplay::temperature_data()
{
    QTest::addColumn<int>("sixteenths");
    QTest::addColumn<Bytes>("bytes39and40");
    QTest::newRow("25.0") << 400 << Bytes{0x90, 0x01};
    QTest::newRow("10.5") << 168 << Bytes{0xA8, 0x00};
    QTest::newRow("0.5") << 8 << Bytes{0x08, 0x00};
    QTest::newRow("-7.0") << -112 << Bytes{0x90, 0xFF};
    QTest::newRow("-1/16") << -1 << Bytes{0xFF, 0xFF};
}

void TestEmulatedDisplay::temperature()
{
    QFETCH(int, sixteenths);
    QFETCH(Bytes, bytes39and40);
    EmulatedDisplay d;
    d.temperatureSixteenths = int16_t(sixteenths);
    QCOMPARE(slice(d.handle(request({0x02, 0xD0, 0x00, 0x00, 0xD1})), 39, 2), bytes39and40);
}

void TestEmulatedDisplay::clockFollowsThePcUntilFixed()
{
    EmulatedDisplay d;
    const QDateTime before = QDateTime::currentDateTime();
    const QDateTime shown = d.clock();
    QVERIFY(shown >= before.addSecs(-1) && shown <= QDateTime::currentDateTime());
    const QDateTime fixed(QDate(2013, 12, 24), QTime(14, 5, 9));
    d.setClock(fixed);
    QCOMPARE(d.clock(), fixed);
    d.advanceClockMs(61000);
    QCOMPARE(d.clock(), fixed.addSecs(61));
    d.followPcClock();
    QVERIFY(d.clock().date() != fixed.date());
}

void TestEmulatedDisplay::pictureBlocksRoundTrip_data()
{
    QTest::addColumn<int>("block");
    QTest::newRow("first") << 0;
    QTest::newRow("block 7") << 7;
    QTest::newRow("block 8") << 8;
    QTest::newRow("last") << 59;
}

// A block written at 6000 + 20k is read back from 20k, and no other block changes.
void TestEmulatedDisplay::pictureBlocksRoundTrip()
{
    QFETCH(int, block);
    EmulatedDisplay d;
    const auto before = d.picture;
    const int write = 0x6000 + 0x20 * block;
    const int read = 0x20 * block;
    Bytes req{0x49, 0xA0, uint8_t(write >> 8), uint8_t(write)};
    for (int i = 0; i < 32; ++i)
        req.push_back(uint8_t(block + 3 * i));
    d.handle(request(req));
    const Report r = d.handle(request({0x02, 0xA0, uint8_t(read >> 8), uint8_t(read), 0xA1}));
    QCOMPARE(slice(r, 0, 32), Bytes(req.begin() + 4, req.end()));
    for (int i = 0; i < EmulatedDisplay::kPictureBytes; ++i)
        if (i / 32 != block)
            QCOMPARE(d.picture[i], before[i]);
}

void TestEmulatedDisplay::clearLeavesTheStoredPicture()
{
    EmulatedDisplay d;
    d.picture.fill(0x5A);
    d.handle(request({0x46}));
    d.handle(request({0x46}));
    QVERIFY(d.lcdCleared);
    QCOMPARE(d.clears, 2);
    const Report r = d.handle(request({0x02, 0xA0, 0x07, 0x60, 0xA1}));
    QCOMPARE(slice(r, 0, 32), Bytes(32, 0x5A));
}

// In update mode every report is image data, even one that looks like a command.
void TestEmulatedDisplay::updateModeStoresFirmware()
{
    EmulatedDisplay d;
    d.updateMode = true;
    const auto blockBefore = d.block;
    Bytes expected;
    for (int n = 0; n < 3; ++n) {
        Bytes data(64);
        for (int i = 0; i < 64; ++i)
            data[i] = uint8_t(n * 64 + i);
        data[0] = n == 1 ? 0x34 : data[0];
        d.handle(request(data));
        expected.insert(expected.end(), data.begin(), data.end());
    }
    QCOMPARE(d.firmware, expected);
    QCOMPARE(d.block, blockBefore);
    QCOMPARE(d.counter, 0);
}

void TestEmulatedDisplay::outputDrive_data()
{
    QTest::addColumn<Bytes>("switchAndBits");  // pairs of bytes 2, 3, one request each
    QTest::addColumn<int>("leds");
    QTest::addColumn<bool>("buzzer");
    QTest::newRow("first LED") << Bytes{0x01, 0x80} << 0x01 << false;
    QTest::newRow("second LED") << Bytes{0x01, 0x20} << 0x02 << false;
    QTest::newRow("third LED") << Bytes{0x01, 0x08} << 0x04 << false;
    QTest::newRow("LED released") << Bytes{0x01, 0x20, 0x00, 0x00} << 0x00 << false;
    QTest::newRow("buzzer pressed") << Bytes{0x00, 0x02} << 0x00 << true;
    QTest::newRow("buzzer released") << Bytes{0x00, 0x02, 0x01, 0x00} << 0x00 << false;
    QTest::newRow("LED bit without its switch") << Bytes{0x00, 0x80} << 0x00 << false;
}

void TestEmulatedDisplay::outputDrive()
{
    QFETCH(Bytes, switchAndBits);
    QFETCH(int, leds);
    QFETCH(bool, buzzer);
    EmulatedDisplay d;
    for (std::size_t i = 0; i + 1 < switchAndBits.size(); i += 2)
        d.handle(request({0x01, 0x05, switchAndBits[i], switchAndBits[i + 1]}));
    QCOMPARE(int(d.leds), leds);
    QCOMPARE(d.buzzer, buzzer);
}

void TestEmulatedDisplay::relaysFollowTheRules_data()
{
    QTest::addColumn<int>("flags");  // general_flags
    QTest::addColumn<int>("rule");   // the same rule for all three outputs
    QTest::addColumn<int>("counter");
    QTest::addColumn<int>("totaliser");
    QTest::addColumn<bool>("relay1");  // threshold 2
    QTest::addColumn<bool>("relay2");  // threshold 4
    QTest::addColumn<bool>("buzzer");  // threshold 6
    // 0xC9: counter, closes / sounds, greater or equal, re-armable.
    QTest::newRow("below every threshold") << 0x0F << 0xC9 << 1 << 0 << false << false << false;
    QTest::newRow("at relay 1's threshold") << 0x0F << 0xC9 << 2 << 0 << true << false << false;
    QTest::newRow("past all") << 0x0F << 0xC9 << 6 << 0 << true << true << true;
    QTest::newRow("outputs not in use") << 0x01 << 0xC9 << 6 << 0 << false << false << false;
    // 0xC6: totaliser, opens / silent.
    QTest::newRow("opens: closed until it fires") << 0x0F << 0xC6 << 9 << 3 << false << true << false;
    // 0x89: counter, closes, less or equal.
    QTest::newRow("less or equal") << 0x0F << 0x89 << 3 << 0 << false << true << true;
}

void TestEmulatedDisplay::relaysFollowTheRules()
{
    QFETCH(int, flags);
    QFETCH(int, rule);
    QFETCH(int, counter);
    QFETCH(int, totaliser);
    QFETCH(bool, relay1);
    QFETCH(bool, relay2);
    QFETCH(bool, buzzer);
    EmulatedDisplay d;
    d.block[0x34] = uint8_t(flags);
    d.block[0x3C] = d.block[0x3D] = d.block[0x3E] = uint8_t(rule);
    d.setWord(7, 2);
    d.setWord(8, 4);
    d.setWord(9, 6);
    d.counter = counter;
    d.totaliser = totaliser;
    QCOMPARE(d.relay1(), relay1);
    QCOMPARE(d.relay2(), relay2);
    QCOMPARE(d.buzzerByRule(), buzzer);
}

QTEST_GUILESS_MAIN(TestEmulatedDisplay)
#include "test_emulator_display.moc"
