// The firmware image as read from Intel HEX text, its refusals, and the dump lines.
#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "hex_fixtures.h"
#include "maintenance/firmware_image.h"
#include "support/rig.h"

using namespace trivo;
using namespace hexfix;

namespace {

QList<uint8_t> patternData(int n)
{
    QList<uint8_t> data;
    for (int i = 0; i < kRecordBytes; ++i)
        data.append(pattern(n * kRecordBytes + i));
    return data;
}

HexReadResult readText(const QByteArray& text, FirmwareImage& image)
{
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    return readIntelHex(buffer, image);
}

}  // namespace

class TestHexImage : public QObject {
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void progressFollowsTheFillPosition();
    void missingFileIsNamed();
    void matchesSrecCat_data();
    void matchesSrecCat();
    void dumpWindow_data();
    void dumpWindow();
    void dumpLineLayout();
};

void TestHexImage::read_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("errorLine");
    QTest::addColumn<int>("errorNumber");

    // Load addresses are ignored: the n-th record lands at 16n.
    QTest::newRow("three records then end, any load address") << dataRecord(0, 0x4000) + "\r\n" + dataRecord(1, 0x0000)
            + "\r\n" + dataRecord(2, 0x1230) + "\r\n" + kEndOfFile
            + "\r\n" << true << 3 << 0 << 0;
    QTest::newRow("extended address first: all FF")
        << QByteArray(":020000040000FA\r\n") + dataRecords(4) << true << 0 << 0 << 0;
    QTest::newRow("empty file") << QByteArray() << true << 0 << 0 << 0;
    QTest::newRow("short record ends the reading") << dataRecords(2)
            + record(0x20, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}) + "\r\n" + dataRecord(2, 0x30)
            + "\r\n" << true << 2 << 0 << 0;
    QTest::newRow("blank line ends the reading")
        << dataRecords(2) + "\r\n" + dataRecord(2, 0x20) << true << 2 << 0 << 0;
    QTest::newRow("LF line ends") << dataRecords(5, "\n") + kEndOfFile + "\n" << true << 5 << 0 << 0;
    QTest::newRow("CR line ends") << dataRecords(5, "\r") + kEndOfFile + "\r" << true << 5 << 0 << 0;
    QTest::newRow("mixed line ends") << dataRecords(1, "\n") + dataRecord(1, 0x10) + "\r\n" + dataRecord(2, 0x20) + "\n"
                                     << true << 3 << 0 << 0;
    QTest::newRow("last record without line end") << dataRecords(2) + dataRecord(2, 0x20) << true << 3 << 0 << 0;
    QTest::newRow("lower-case digits") << dataRecords(3).toLower() << true << 3 << 0 << 0;
    QTest::newRow("record type not checked") << record(0x0000, 0x05, patternData(0)) + "\r\n" << true << 1 << 0 << 0;
    QTest::newRow("2048 records fill the image")
        << dataRecords(kMaxRecords) + kEndOfFile << true << kMaxRecords << 0 << 0;

    QTest::newRow("2049 records overflow")
        << dataRecords(kMaxRecords + 1) << false << kMaxRecords << kMaxRecords + 1 << errnum::kSubscript;
    QTest::newRow("bad checksum") << dataRecords(1) + record(0x10, 0, patternData(1), 1) + "\r\n" + dataRecords(1)
                                  << false << 1 << 2 << errnum::kChecksum;
    QTest::newRow("bad checksum, LF ends") << dataRecords(2, "\n") + record(0x20, 0, patternData(2), -3) + "\n"
                                           << false << 2 << 3 << errnum::kChecksum;
    QByteArray badPair = dataRecord(2, 0x20);
    badPair.replace(9 + 2 * 5, 2, "G1");
    QTest::newRow("data pair not hex") << dataRecords(2) + badPair + "\r\n" << false << 2 << 3 << errnum::kTypeMismatch;
    badPair = dataRecord(0, 0);
    badPair.replace(9 + 2 * 15, 2, "1 ");
    QTest::newRow("second digit not hex") << badPair + "\r\n" << false << 0 << 1 << errnum::kTypeMismatch;
    QByteArray badAddress = dataRecord(1, 0x10);
    badAddress.replace(3, 1, "x");
    QTest::newRow("address not hex") << dataRecords(1) + badAddress << false << 1 << 2 << errnum::kTypeMismatch;
    QTest::newRow("record cut short at the end")
        << dataRecords(3) + dataRecord(3, 0x30).left(30) << false << 3 << 4 << errnum::kPastEndOfFile;
    QTest::newRow("record cut short in the middle") << dataRecords(1) + dataRecord(1, 0x10).left(40) + "\r\n"
            + dataRecords(1) << false << 1 << 2 << errnum::kPastEndOfFile;
    QTest::newRow("record too long") << dataRecords(1) + dataRecord(1, 0x10) + "00\r\n"
                                     << false << 1 << 2 << errnum::kTypeMismatch;
}

void TestHexImage::read()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(int, records);
    QFETCH(int, errorLine);
    QFETCH(int, errorNumber);

    FirmwareImage image;
    image.fill(0x00);
    const HexReadResult r = readText(text, image);
    QCOMPARE(r.ok(), ok);
    QCOMPARE(r.records, records);
    QCOMPARE(r.fillPosition, records * kRecordBytes);
    QCOMPARE(r.error.line, errorLine);
    QCOMPARE(r.error.number, errorNumber);
    if (!ok)
        QVERIFY2(r.error.description.startsWith(QStringLiteral("ligne %1 : ").arg(errorLine)),
                 qPrintable(r.error.description));

    const int fill = records * kRecordBytes;
    for (int a = 0; a < fill; ++a)
        if (image[a] != pattern(a))
            QFAIL(qPrintable(QStringLiteral("byte %1 is %2").arg(a, 4, 16).arg(image[a], 2, 16)));
    // A refused file is not padded: above the last good record the image is as it was.
    const uint8_t above = ok ? 0xFF : 0x00;
    for (int a = fill; a < kImageSize; ++a)
        if (image[a] != above)
            QFAIL(qPrintable(QStringLiteral("byte %1 above the records is %2").arg(a, 4, 16).arg(image[a], 2, 16)));
}

void TestHexImage::progressFollowsTheFillPosition()
{
    QBuffer buffer;
    buffer.setData(dataRecords(3) + kEndOfFile);
    buffer.open(QIODevice::ReadOnly);
    FirmwareImage image{};
    test::RecordingProgress progress;
    readIntelHex(buffer, image, progress);
    QCOMPARE(progress.values, (QList<int>{0, 16, 32, 48, 48}));
    QCOMPARE(progress.maximum, kImageSize);
    QCOMPARE(progress.ends, 1);
}

void TestHexImage::missingFileIsNamed()
{
    QTemporaryDir dir;
    FirmwareImage image{};
    const HexReadResult r = readIntelHexFile(dir.filePath(QStringLiteral("absent.HEX")), image);
    QVERIFY(!r.ok());
    QCOMPARE(r.error.number, errnum::kFileNotFound);
    QCOMPARE(r.error.description, QStringLiteral("« absent.HEX » introuvable."));
}

// Files written by an independent tool, compared with that tool's own reading of them.
void TestHexImage::matchesSrecCat_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QStringList>("writeOptions");
    QTest::addColumn<bool>("sameAsSrecCat");

    const QStringList sequential{QStringLiteral("-obs=16"), QStringLiteral("-address-length=2")};
    QTest::newRow("one record") << 16 << sequential << true;
    QTest::newRow("300 records") << 4800 << sequential << true;
    QTest::newRow("300 records, CR LF") << 4800 << (sequential + QStringList{QStringLiteral("-crlf")}) << true;
    QTest::newRow("what the display takes") << 32000 << sequential << true;
    QTest::newRow("full image") << kImageSize << sequential << true;
    // srec_cat's usual output starts with an extended-address record, where the reading stops.
    QTest::newRow("extended address first") << 4800 << QStringList{QStringLiteral("-obs=16")} << false;
}

void TestHexImage::matchesSrecCat()
{
    QFETCH(int, size);
    QFETCH(QStringList, writeOptions);
    QFETCH(bool, sameAsSrecCat);

    const QString srecCat = QStandardPaths::findExecutable(QStringLiteral("srec_cat"));
    if (srecCat.isEmpty())
        QSKIP("srec_cat (Debian package srecord) is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QByteArray binary(size, Qt::Uninitialized);
    QRandomGenerator random(size);
    for (char& c : binary)
        c = static_cast<char>(random.bounded(256));
    QFile bin(dir.filePath(QStringLiteral("in.bin")));
    QVERIFY(bin.open(QIODevice::WriteOnly));
    bin.write(binary);
    bin.close();

    auto run = [&](const QStringList& args) {
        QProcess p;
        p.start(srecCat, args);
        QVERIFY(p.waitForFinished(30000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    };
    const QString hex = dir.filePath(QStringLiteral("fw.HEX"));
    run(QStringList{bin.fileName(), QStringLiteral("-binary"), QStringLiteral("-o"), hex, QStringLiteral("-intel")}
        + writeOptions);
    const QString back = dir.filePath(QStringLiteral("back.bin"));
    run({hex, QStringLiteral("-intel"), QStringLiteral("-fill"), QStringLiteral("0xFF"), QStringLiteral("0"),
         QStringLiteral("0x8000"), QStringLiteral("-o"), back, QStringLiteral("-binary")});
    QFile ref(back);
    QVERIFY(ref.open(QIODevice::ReadOnly));
    const QByteArray expected = ref.readAll();
    QCOMPARE(expected.size(), kImageSize);

    FirmwareImage image{};
    const HexReadResult r = readIntelHexFile(hex, image);
    QVERIFY2(r.ok(), qPrintable(r.error.description));
    const QByteArray got(reinterpret_cast<const char*>(image.data()), kImageSize);
    if (sameAsSrecCat)
        QVERIFY(got == expected);
    else
        QVERIFY(got == QByteArray(kImageSize, char(0xFF)));
}

void TestHexImage::dumpWindow_data()
{
    QTest::addColumn<int>("scroll");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("top") << 0 << "0000"
                         << "0070";
    QTest::newRow("one line down") << 1 << "0010"
                                   << "0080";
    QTest::newRow("middle") << 0x123 << "1230"
                            << "12A0";
    QTest::newRow("bottom") << kDumpScrollMax << "7F80"
                            << "7FF0";
    QTest::newRow("past the bottom") << kDumpScrollMax + 5 << "7F80"
                                     << "7FF0";
    QTest::newRow("negative") << -1 << "0000"
                              << "0070";
}

void TestHexImage::dumpWindow()
{
    QFETCH(int, scroll);
    QFETCH(QString, first);
    QFETCH(QString, last);

    FirmwareImage image;
    for (int a = 0; a < kImageSize; ++a)
        image[a] = pattern(a);
    const QString text = dumpText(image, scroll);
    QVERIFY(text.endsWith(QStringLiteral("\r\n")));
    const QStringList lines = text.chopped(2).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), kDumpLines);
    QCOMPARE(lines.first().left(4), first);
    QCOMPARE(lines.last().left(4), last);
    for (const QString& line : lines) {
        const int address = line.left(4).toInt(nullptr, 16);
        QCOMPARE(line.size(), 6 + 3 * kRecordBytes);
        QString expected;
        for (int i = 0; i < kRecordBytes; ++i)
            expected += QString::fromLatin1(hex2(pattern(address + i))) + QLatin1Char(' ');
        QCOMPARE(line.mid(6), expected);
    }
}

void TestHexImage::dumpLineLayout()
{
    FirmwareImage image;
    image.fill(0x3F);
    image[0x125] = 5;
    image[0x12F] = 0xAB;
    QCOMPARE(dumpLine(image, 0x120), QStringLiteral("0120  3F 3F 3F 3F 3F 05 3F 3F 3F 3F 3F 3F 3F 3F 3F AB \r\n"));
}

QTEST_GUILESS_MAIN(TestHexImage)
#include "test_hex_image.moc"
