// The real transport's report-length learning (descriptor parser, hidraw sysfs path) and its failure
// paths that need no hardware. Lives beside the emulator's tests: both are the link's two transports.
#include <QTest>

#include "link/hidapi_transport.h"

using namespace trivo;

class TestHidDescriptor : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void descriptorPath_data();
    void descriptorPath();
    void failuresWithoutHardware();
};

void TestHidDescriptor::parse_data()
{
    QTest::addColumn<QByteArray>("descriptor");  // hex
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("output");
    QTest::addColumn<bool>("numbered");

    // Vendor page, 64 bytes in, 64 bytes out, no report IDs: the display's own layout.
    const QByteArray display = "0600FF0901A101150026FF00750895400901810295400901 9102C0";
    QTest::newRow("display, 64 in 64 out") << display << true << 65 << 65 << false;
    QTest::newRow("empty") << QByteArray("") << true << 0 << 0 << false;
    QTest::newRow("input only") << QByteArray("0600FF0901A1017508952009018102C0") << true << 33 << 0 << false;
    // Two numbered reports: ID 1 carries 8 input bytes, ID 2 carries 3 input bytes and 5 LED bits
    // padded to a byte; the longest report of each direction wins.
    QTest::newRow("numbered, longest report per direction")
        << QByteArray("05010906A101850175089508810285027508950381029505750191027503950191 01C0") << true << 9 << 2
        << true;
    // Bits are added up within a report before rounding: 3 bits + 5 padding bits = 1 byte.
    QTest::newRow("bit fields share a byte")
        << QByteArray("A1017501950381027505950181 01C0") << true << 2 << 0 << false;
    QTest::newRow("odd bits round up") << QByteArray("750195098102") << true << 3 << 0 << false;
    QTest::newRow("feature reports do not count") << QByteArray("75089540B102750895029102") << true << 0 << 3 << false;
    // Push saves size 8 / count 4; the pushed state is changed, then popped back for the output.
    QTest::newRow("push and pop restore the globals")
        << QByteArray("75089504A4751095108102B49102") << true << 33 << 5 << false;
    QTest::newRow("four-byte count item") << QByteArray("7508974000000081029102") << true << 65 << 65 << false;
    QTest::newRow("long item skipped") << QByteArray("FE0210AABB75089540810291 02") << true << 65 << 65 << false;
    QTest::newRow("truncated short item") << QByteArray("75089540810295") << false << 0 << 0 << false;
    QTest::newRow("truncated long item") << QByteArray("FE0510AABB") << false << 0 << 0 << false;
    QTest::newRow("pop without push") << QByteArray("B4750895408102") << false << 0 << 0 << false;
    QTest::newRow("push never popped is tolerated") << QByteArray("A4750895408102") << true << 65 << 0 << false;
    QTest::newRow("report ID 0 is reserved") << QByteArray("8500750895408102") << false << 0 << 0 << false;
    QTest::newRow("report longer than a 16-bit length")
        << QByteArray("77FFFFFFFF97FFFFFFFF8102") << false << 0 << 0 << false;
}

void TestHidDescriptor::parse()
{
    QFETCH(QByteArray, descriptor);
    QFETCH(bool, valid);
    QFETCH(int, input);
    QFETCH(int, output);
    QFETCH(bool, numbered);
    const QByteArray raw = QByteArray::fromHex(descriptor.replace(' ', ""));
    const auto result = parseReportDescriptor(std::vector<uint8_t>(raw.begin(), raw.end()));
    QCOMPARE(result.has_value(), valid);
    if (!valid)
        return;
    QCOMPARE(result->input, input);
    QCOMPARE(result->output, output);
    QCOMPARE(result->numbered, numbered);
}

void TestHidDescriptor::descriptorPath_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("expected");
    QTest::newRow("hidraw node") << "/dev/hidraw3"
                                 << "/sys/class/hidraw/hidraw3/device/report_descriptor";
    QTest::newRow("two digits") << "/dev/hidraw12"
                                << "/sys/class/hidraw/hidraw12/device/report_descriptor";
    QTest::newRow("no number") << "/dev/hidraw"
                               << "";
    QTest::newRow("not a number") << "/dev/hidrawX"
                                  << "";
    QTest::newRow("path climbing out") << "/dev/hidraw1/../../etc"
                                       << "";
    QTest::newRow("libusb path") << "1-2:1.0"
                                 << "";
    QTest::newRow("other device node") << "/dev/ttyUSB0"
                                       << "";
}

void TestHidDescriptor::descriptorPath()
{
    QFETCH(QString, device);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(hidrawDescriptorPath(device.toStdString())), expected);
}

// Whatever hardware the machine has, these fail cleanly and say why.
void TestHidDescriptor::failuresWithoutHardware()
{
    HidapiTransport t;
    t.enumerate();
    QCOMPARE(t.lastError(), std::string("Success"));
    QCOMPARE(t.open("/dev/hidraw-does-not-exist"), HidTransport::Handle(0));
    QVERIFY(!t.lastError().empty());
    QVERIFY(t.lastError() != "Success");
    const uint8_t report[65] = {};
    QCOMPARE(t.write(42, report, sizeof report), -1);
    QCOMPARE(t.lastError(), std::string("Bad file descriptor"));
    uint8_t buffer[65];
    std::size_t n = 7;
    QCOMPARE(t.read(42, buffer, sizeof buffer, 0, n), HidTransport::ReadStatus::Error);
    QCOMPARE(n, std::size_t(0));
    QVERIFY(!t.close(42));
}

QTEST_GUILESS_MAIN(TestHidDescriptor)
#include "test_emulator_hid_descriptor.moc"
