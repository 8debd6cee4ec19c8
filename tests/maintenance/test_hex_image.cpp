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

QList<uint8_t> bytes(int count, uint8_t first)
{
    QList<uint8_t> data;
    for (int i = 0; i < count; ++i)
        data.append(uint8_t(first + i));
    return data;
}

// Where an accepted file's bytes land: runs of bytes from an image address; every other byte is FF.
using Placement = QList<std::pair<int, QByteArray>>;

QByteArray asBytes(const QList<uint8_t>& data)
{
    return QByteArray(reinterpret_cast<const char*>(data.data()), data.size());
}

// Records n..n+count-1 of the pattern (as dataRecord makes them) at image address 16n.
std::pair<int, QByteArray> patternRun(int n, int count)
{
    QByteArray run;
    for (int a = n * kRecordBytes; a < (n + count) * kRecordBytes; ++a)
        run.append(char(pattern(a)));
    return {n * kRecordBytes, run};
}

HexReadResult readText(const QByteArray& text, FirmwareImage& image)
{
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    return readIntelHex(buffer, image);
}

QString runSrecCat(const QString& srecCat, const QStringList& args)
{
    QProcess p;
    p.start(srecCat, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QString::fromLocal8Bit(p.readAllStandardError()) + p.errorString();
    return QString();
}

// Debian's interpreter first: python3-intelhex is installed for it, whatever python3 comes first on PATH.
QString pythonWithIntelhex()
{
    static const QString found = [] {
        for (const QString& python :
             {QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")}),
              QStandardPaths::findExecutable(QStringLiteral("python3"))}) {
            if (python.isEmpty())
                continue;
            QProcess p;
            p.start(python, {QStringLiteral("-c"), QStringLiteral("import intelhex")});
            if (p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
                return python;
        }
        return QString();
    }();
    return found;
}

}  // namespace

Q_DECLARE_METATYPE(Placement)

class TestHexImage : public QObject {
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void progressFollowsTheFillPosition();
    void missingFileIsNamed();
    void tooLargeIsNotRead_data();
    void tooLargeIsNotRead();
    void matchesOtherTools_data();
    void matchesOtherTools();
    void dumpWindow_data();
    void dumpWindow();
    void dumpLineLayout();
};

void TestHexImage::read_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Placement>("placed");  // for an accepted file
    QTest::addColumn<int>("errorLine");     // for a refused one: 0 with errorNumber 0 when accepted
    QTest::addColumn<int>("errorNumber");

    const QByteArray eof = kEndOfFile + "\r\n";
    auto ok = [](const char* name, const QByteArray& text, const Placement& placed) {
        QTest::newRow(name) << text << placed << 0 << 0;
    };
    auto refused = [](const char* name, const QByteArray& text, int line, int number) {
        QTest::newRow(name) << text << Placement{} << line << number;
    };

    // Consecutive 16-byte records from 0: what the display's firmware files always were.
    ok("three records then end", dataRecords(3) + eof, {patternRun(0, 3)});
    ok("2048 records fill the image", dataRecords(kMaxRecords) + eof, {patternRun(0, kMaxRecords)});
    // Wherever the file was linked, its first data record is image address 0.
    ok("linked at 4000",
       dataRecord(0, 0x4000) + "\r\n" + dataRecord(1, 0x4010) + "\r\n" + dataRecord(2, 0x4020) + "\r\n" + eof,
       {patternRun(0, 3)});
    ok("extended linear address first", linearBase(0) + "\r\n" + dataRecords(4) + eof, {patternRun(0, 4)});
    ok("linked at 10000 through a linear base",
       linearBase(1) + "\r\n" + dataRecord(0, 0) + "\r\n" + dataRecord(1, 0x10) + "\r\n" + eof, {patternRun(0, 2)});
    ok("linear base changed between records",
       linearBase(2) + "\r\n" + dataRecord(0, 0xFFF0) + "\r\n" + linearBase(3) + "\r\n" + dataRecord(1, 0x0000) + "\r\n"
           + eof,
       {patternRun(0, 2)});
    // A segment counts sixteen bytes: 1001:0010 is 1000:0020.
    ok("segment bases",
       segmentBase(0x1000) + "\r\n" + dataRecord(0, 0) + "\r\n" + segmentBase(0x1001) + "\r\n" + dataRecord(2, 0x10)
           + "\r\n" + eof,
       {patternRun(0, 1), patternRun(2, 1)});
    ok("records out of order land at their addresses",
       dataRecord(0, 0) + "\r\n" + dataRecord(4, 0x40) + "\r\n" + dataRecord(1, 0x10) + "\r\n" + eof,
       {patternRun(0, 2), patternRun(4, 1)});
    ok("a gap holds FF", dataRecord(0, 0x100) + "\r\n" + dataRecord(1, 0x1100) + "\r\n" + eof,
       {patternRun(0, 1), {0x1000, patternRun(1, 1).second}});
    ok("records of 32, 5, 1 and 255 bytes",
       record(0, 0, bytes(32, 0x10)) + "\r\n" + record(0x20, 0, bytes(5, 0x80)) + "\r\n" + record(0x25, 0, {0xEE})
           + "\r\n" + record(0x100, 0, bytes(255, 0)) + "\r\n" + eof,
       {{0, asBytes(bytes(32, 0x10)) + asBytes(bytes(5, 0x80)) + "\xEE"}, {0x100, asBytes(bytes(255, 0))}});
    ok("an empty data record places nothing",
       record(0x0800, 0, {}) + "\r\n" + dataRecord(0, 0x1000) + "\r\n" + record(0x2000, 0, {}) + "\r\n" + eof,
       {patternRun(0, 1)});
    ok("start addresses are ignored",
       record(0, 0x05, {0, 0, 0x12, 0x34}) + "\r\n" + dataRecords(2) + record(0, 0x03, {0, 0, 0, 0x10}) + "\r\n" + eof,
       {patternRun(0, 2)});
    ok("end of file ends the reading", dataRecords(2) + eof + dataRecord(0, 0) + "\r\nnot a record\r\n",
       {patternRun(0, 2)});
    ok("end of file with no line end", dataRecords(2) + kEndOfFile, {patternRun(0, 2)});
    ok("LF line ends", dataRecords(5, "\n") + kEndOfFile + "\n", {patternRun(0, 5)});
    ok("CR line ends", dataRecords(5, "\r") + kEndOfFile + "\r", {patternRun(0, 5)});
    ok("mixed line ends", dataRecords(1, "\n") + dataRecord(1, 0x10) + "\r\n" + dataRecord(2, 0x20) + "\r" + eof,
       {patternRun(0, 3)});
    ok("blank lines are skipped",
       "\r\n" + dataRecords(1) + "\r\n\n\r \t\r\n" + dataRecord(1, 0x10) + "\n\n" + eof + "\r\n", {patternRun(0, 2)});
    ok("leading UTF-8 byte order mark", "\xEF\xBB\xBF" + dataRecords(2) + eof, {patternRun(0, 2)});
    ok("lower-case digits", (dataRecords(3) + eof).toLower(), {patternRun(0, 3)});

    refused("empty file", QByteArray(), 0, errnum::kPastEndOfFile);
    refused("blank lines only", "\r\n\r\n", 2, errnum::kPastEndOfFile);
    refused("no end-of-file record", dataRecords(3), 3, errnum::kPastEndOfFile);
    refused("cut in the last record", dataRecords(3) + dataRecord(3, 0x30).left(30), 4, errnum::kPastEndOfFile);
    refused("cut in the middle of a record",
            dataRecords(1) + dataRecord(1, 0x10).left(40) + "\r\n" + dataRecords(1) + eof, 2, errnum::kPastEndOfFile);
    refused("end of file before any data", kEndOfFile + "\r\n" + dataRecords(2), 1, errnum::kPastEndOfFile);
    refused("only an empty data record", record(0, 0, {}) + "\r\n" + eof, 2, errnum::kPastEndOfFile);
    refused("2049 records overflow", dataRecords(kMaxRecords + 1) + eof, kMaxRecords + 1, errnum::kSubscript);
    refused("a byte above 7FFF", dataRecords(1) + record(0x7FF8, 0, bytes(16, 0)) + "\r\n" + eof, 2,
            errnum::kSubscript);
    refused("linked at 1000, a record at 0FF0", dataRecord(0, 0x1000) + "\r\n" + dataRecord(1, 0x0FF0) + "\r\n" + eof,
            2, errnum::kSubscript);
    refused("a linear base 64 KiB further",
            dataRecords(1) + linearBase(1) + "\r\n" + dataRecord(1, 0x0000) + "\r\n" + eof, 3, errnum::kSubscript);
    refused("the same record twice", dataRecords(2) + dataRecord(1, 0x10) + "\r\n" + eof, 3, errnum::kHexOverlap);
    refused("records overlapping by one byte",
            record(0, 0, bytes(16, 0)) + "\r\n" + record(0x0F, 0, bytes(4, 0x40)) + "\r\n" + eof, 2,
            errnum::kHexOverlap);
    refused("unknown record type", dataRecords(1) + record(0, 0x06, {1, 2}) + "\r\n" + eof, 2, errnum::kTypeMismatch);
    refused("linear base of three bytes", record(0, 0x04, {0, 0, 1}) + "\r\n" + dataRecords(1) + eof, 1,
            errnum::kTypeMismatch);
    refused("bad checksum", dataRecords(1) + record(0x10, 0, patternData(1), 1) + "\r\n" + dataRecords(1) + eof, 2,
            errnum::kChecksum);
    refused("bad checksum, LF ends", dataRecords(2, "\n") + record(0x20, 0, patternData(2), -3) + "\n" + kEndOfFile, 3,
            errnum::kChecksum);
    refused("bad checksum on the end-of-file record", dataRecords(1) + ":00000001FE\r\n", 2, errnum::kChecksum);
    QByteArray badPair = dataRecord(2, 0x20);
    badPair.replace(9 + 2 * 5, 2, "G1");
    refused("data pair not hex", dataRecords(2) + badPair + "\r\n" + eof, 3, errnum::kTypeMismatch);
    badPair = dataRecord(0, 0);
    badPair.replace(9 + 2 * 15, 2, "1 ");
    refused("second digit not hex", badPair + "\r\n" + eof, 1, errnum::kTypeMismatch);
    QByteArray badAddress = dataRecord(1, 0x10);
    badAddress.replace(3, 1, "x");
    refused("address not hex", dataRecords(1) + badAddress + "\r\n" + eof, 2, errnum::kTypeMismatch);
    refused("record too long", dataRecords(1) + dataRecord(1, 0x10) + "00\r\n" + eof, 2, errnum::kTypeMismatch);
    refused("blank after a record", dataRecords(1) + dataRecord(1, 0x10) + " \r\n" + eof, 2, errnum::kTypeMismatch);
    refused("a line that is not a record", dataRecords(1) + "10000000\r\n" + eof, 2, errnum::kTypeMismatch);
    refused("byte order mark inside the file", dataRecords(1) + "\xEF\xBB\xBF" + dataRecords(1) + eof, 2,
            errnum::kTypeMismatch);
}

void TestHexImage::read()
{
    QFETCH(QByteArray, text);
    QFETCH(Placement, placed);
    QFETCH(int, errorLine);
    QFETCH(int, errorNumber);

    FirmwareImage image;
    image.fill(0x5A);
    const HexReadResult r = readText(text, image);
    QCOMPARE(r.error.number, errorNumber);
    QCOMPARE(r.error.line, errorLine);
    if (errorNumber != 0) {
        QVERIFY(!r.ok());
        if (errorLine > 0)
            QVERIFY2(r.error.description.startsWith(QStringLiteral("ligne %1 : ").arg(errorLine)),
                     qPrintable(r.error.description));
        // A refused file leaves the image it was to replace as it was.
        QVERIFY(std::all_of(image.begin(), image.end(), [](uint8_t b) { return b == 0x5A; }));
        return;
    }

    QVERIFY2(r.ok(), qPrintable(r.error.description));
    FirmwareImage expected;
    expected.fill(0xFF);
    int count = 0, top = 0;
    for (const auto& [address, run] : placed) {
        std::copy(run.begin(), run.end(), expected.begin() + address);
        count += int(run.size());
        top = std::max(top, address + int(run.size()));
    }
    for (int a = 0; a < kImageSize; ++a)
        if (image[a] != expected[a])
            QFAIL(qPrintable(
                QStringLiteral("byte %1 is %2, not %3").arg(a, 4, 16).arg(image[a], 2, 16).arg(expected[a], 2, 16)));
    QCOMPARE(r.dataBytes, count);
    QCOMPARE(r.fillPosition, top);
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

void TestHexImage::tooLargeIsNotRead_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("ok");
    QTest::newRow("1 MiB") << kMaxHexFileBytes << true;
    QTest::newRow("1 MiB and one byte") << kMaxHexFileBytes + 1 << false;
}

// A sound file padded with blank lines after its end: only the size decides.
void TestHexImage::tooLargeIsNotRead()
{
    QFETCH(qint64, size);
    QFETCH(bool, ok);
    QByteArray text = dataRecords(2) + kEndOfFile + "\r\n";
    text += QByteArray(size - text.size(), '\n');
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("big.HEX")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(text), size);
    file.close();

    for (bool fromFile : {true, false}) {
        FirmwareImage image;
        image.fill(0x5A);
        const HexReadResult r = fromFile ? readIntelHexFile(file.fileName(), image) : readText(text, image);
        QCOMPARE(r.ok(), ok);
        if (ok) {
            QCOMPARE(r.dataBytes, 32);
            QCOMPARE(image[31], pattern(31));
        } else {
            QCOMPARE(r.error.number, errnum::kSubscript);
            QVERIFY2(r.error.description.contains(QStringLiteral("trop grand")), qPrintable(r.error.description));
            QCOMPARE(image[0], uint8_t(0x5A));
        }
    }
}

// Files written by srec_cat, compared with how srec_cat itself and Python's intelhex read them back,
// relative to the first data address (srec_cat writes its records in address order).
void TestHexImage::matchesOtherTools_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("linkedAt");
    QTest::addColumn<QStringList>("inputFilters");
    QTest::addColumn<QStringList>("writeOptions");
    QTest::addColumn<QByteArray>("startsWith");  // what makes the row's shape, checked on the file
    QTest::addColumn<bool>("ok");

    const QStringList none, sixteen{QStringLiteral("-address-length=2"), QStringLiteral("-line-length=44")};
    const QStringList crlf{QStringLiteral("-crlf")};
    QTest::newRow("default shape") << 4800 << 0 << none << none << QByteArray(":020000040000FA\n:20000000") << true;
    QTest::newRow("default shape, short last record") << 4801 << 0 << none << none << QByteArray(":02000004") << true;
    QTest::newRow("16-byte records, 2-byte addresses")
        << 4800 << 0 << none << sixteen << QByteArray(":10000000") << true;
    QTest::newRow("16-byte records, CR LF") << 4800 << 0 << none << (sixteen + crlf) << QByteArray(":10000000") << true;
    QTest::newRow("one byte") << 1 << 0 << none << sixteen << QByteArray(":01000000") << true;
    QTest::newRow("with a gap") << 4800 << 0
                                << QStringList{QStringLiteral("-exclude"), QStringLiteral("0x400"),
                                               QStringLiteral("0x900")}
                                << none << QByteArray(":02000004") << true;
    QTest::newRow("offset 0x1000") << 4800 << 0x1000 << QStringList{QStringLiteral("-offset"), QStringLiteral("0x1000")}
                                   << none << QByteArray(":020000040000FA\n:20100000") << true;
    QTest::newRow("offset 0x1000, 2-byte addresses")
        << 4800 << 0x1000 << QStringList{QStringLiteral("-offset"), QStringLiteral("0x1000")} << sixteen
        << QByteArray(":10100000") << true;
    QTest::newRow("offset 0x2FF00, across 64 KiB")
        << 4800 << 0x2FF00 << QStringList{QStringLiteral("-offset"), QStringLiteral("0x2FF00")} << none
        << QByteArray(":020000040002F8") << true;
    QTest::newRow("what the display takes") << 32000 << 0 << none << none << QByteArray(":02000004") << true;
    QTest::newRow("32768 bytes") << kImageSize << 0 << none << none << QByteArray(":02000004") << true;
    QTest::newRow("32768 bytes, 2-byte addresses")
        << kImageSize << 0 << none << sixteen << QByteArray(":10000000") << true;
    QTest::newRow("32769 bytes") << kImageSize + 1 << 0 << none << none << QByteArray(":02000004") << false;
    QTest::newRow("32769 bytes linked at 0x1000")
        << kImageSize + 1 << 0x1000 << QStringList{QStringLiteral("-offset"), QStringLiteral("0x1000")} << sixteen
        << QByteArray(":10100000") << false;
}

void TestHexImage::matchesOtherTools()
{
    QFETCH(int, size);
    QFETCH(int, linkedAt);
    QFETCH(QStringList, inputFilters);
    QFETCH(QStringList, writeOptions);
    QFETCH(QByteArray, startsWith);
    QFETCH(bool, ok);

    const QString srecCat = QStandardPaths::findExecutable(QStringLiteral("srec_cat"));
    QVERIFY2(!srecCat.isEmpty(), "srec_cat missing: srecord, which ./test.sh installs");
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

    const QString hex = dir.filePath(QStringLiteral("fw.HEX"));
    QString failed = runSrecCat(srecCat,
                                QStringList{bin.fileName(), QStringLiteral("-binary")} + inputFilters
                                    + QStringList{QStringLiteral("-o"), hex, QStringLiteral("-intel")} + writeOptions);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    QFile hexFile(hex);
    QVERIFY(hexFile.open(QIODevice::ReadOnly));
    const QByteArray hexText = hexFile.readAll();
    QVERIFY2(hexText.startsWith(startsWith), hexText.left(40).constData());
    QCOMPARE(hexText.contains('\r'), writeOptions.contains(QStringLiteral("-crlf")));

    FirmwareImage image;
    image.fill(0x5A);
    const HexReadResult r = readIntelHexFile(hex, image);
    if (!ok) {
        QVERIFY(!r.ok());
        QCOMPARE(r.error.number, errnum::kSubscript);
        QVERIFY2(r.error.description.contains(QStringLiteral("au-delà de 7FFF")), qPrintable(r.error.description));
        QVERIFY(std::all_of(image.begin(), image.end(), [](uint8_t b) { return b == 0x5A; }));
        return;
    }
    QVERIFY2(r.ok(), qPrintable(r.error.description));
    QCOMPARE(r.firstLoadAddress, int64_t(linkedAt));
    const QByteArray got(reinterpret_cast<const char*>(image.data()), kImageSize);

    const QString back = dir.filePath(QStringLiteral("back.bin"));
    failed = runSrecCat(srecCat,
                        {hex, QStringLiteral("-intel"), QStringLiteral("-offset"), QString::number(-linkedAt),
                         QStringLiteral("-fill"), QStringLiteral("0xFF"), QStringLiteral("0"), QStringLiteral("0x8000"),
                         QStringLiteral("-o"), back, QStringLiteral("-binary")});
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    QFile bySrecCat(back);
    QVERIFY(bySrecCat.open(QIODevice::ReadOnly));
    QVERIFY(got == bySrecCat.readAll());

    const QString python = pythonWithIntelhex();
    QVERIFY2(!python.isEmpty(), "Python's intelhex missing: python3-intelhex, which ./test.sh installs");
    QProcess p;
    p.start(python,
            {QStringLiteral("-c"),
             QStringLiteral("import sys, intelhex\n"
                            "h = intelhex.IntelHex(sys.argv[1])\n"
                            "h.padding = 0xFF\n"
                            "sys.stdout.buffer.write(h.tobinstr(start=h.minaddr(), "
                            "size=32768))\n"),
             hex});
    QVERIFY(p.waitForFinished(30000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    const QByteArray byIntelhex = p.readAllStandardOutput();
    QCOMPARE(byIntelhex.size(), kImageSize);
    QVERIFY(got == byIntelhex);
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
