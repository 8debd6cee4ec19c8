// HidapiTransport on the stand-in library: what only the hidapi transport does (report framing learnt
// from the sysfs descriptor, enumeration clean-up, the library's lifetime, hidapi's error texts, short
// writes, time-outs passed on). The contract it shares with the emulated transport is in
// test_transport_contract.cpp.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "hidapi_standin.h"
#include "link/hidapi_transport.h"

using namespace trivo;
using Bytes = std::vector<uint8_t>;

namespace {

// A sysfs folder of the test's own, with a report descriptor per hidraw node.
class FakeSysfs {
public:
    void addDescriptor(const QString& node, const QByteArray& descriptor)
    {
        const QString folder = dir_.filePath(QStringLiteral("class/hidraw/%1/device").arg(node));
        QVERIFY(QDir().mkpath(folder));
        QFile file(folder + QStringLiteral("/report_descriptor"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(descriptor);
    }
    std::string root() const { return dir_.path().toStdString(); }

private:
    QTemporaryDir dir_;
};

Bytes frame(uint8_t reportId, uint8_t code)
{
    Bytes f(65, 0);
    f[0] = reportId;
    f[1] = code;
    return f;
}

standin::DeviceSpec display(const std::string& path, uint8_t reportId = 0)
{
    standin::DeviceSpec spec;
    spec.path = path;
    spec.reportId = reportId;
    return spec;
}

}  // namespace

class TestHidapiTransport : public QObject {
    Q_OBJECT
private slots:
    void init() { standin::reset(); }
    void cleanup() { standin::reset(); }

    void framingFollowsTheDescriptor_data();
    void framingFollowsTheDescriptor();
    void writesGoOutExactlyAsGiven();
    void enumerationDropsRepeatsAndPathlessEntries();
    void libraryLivesAsLongAsTheLastTransport();
    void failedInitialisationRefusesEverything();
    void shortWriteReportsTheCountWritten();
    void timeoutIsPassedOn_data();
    void timeoutIsPassedOn();
    void errorTextsComeFromTheLibrary_data();
    void errorTextsComeFromTheLibrary();
};

void TestHidapiTransport::framingFollowsTheDescriptor_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("descriptor");  // hex; "-" writes no descriptor file
    QTest::addColumn<int>("reportId");           // the device's, 0 = unnumbered
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("output");

    const QByteArray head = "0600FF0901A101";
    const QByteArray body = "150026FF007508954009018102954009019102C0";
    QTest::newRow("display, unnumbered") << "/dev/hidraw2" << head + body << 0 << 65 << 65;
    QTest::newRow("numbered, ID 1") << "/dev/hidraw2" << head + "8501" + body << 1 << 65 << 65;
    QTest::newRow("numbered, ID 7") << "/dev/hidraw2" << head + "8507" + body << 7 << 65 << 65;
    QTest::newRow("128-byte reports") << "/dev/hidraw2" << head + "150026FF007508958009018102958009019102C0" << 0 << 129
                                      << 129;
    // Without a readable descriptor the transport keeps the display's framing.
    QTest::newRow("no descriptor file") << "/dev/hidraw2" << QByteArray("-") << 0 << 65 << 65;
    QTest::newRow("malformed descriptor") << "/dev/hidraw2" << QByteArray("750895") << 0 << 65 << 65;
    QTest::newRow("not a hidraw node") << "/dev/usb/hiddev0" << head + "8501" + body << 0 << 65 << 65;
}

void TestHidapiTransport::framingFollowsTheDescriptor()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, descriptor);
    QFETCH(int, reportId);
    QFETCH(int, input);
    QFETCH(int, output);
    FakeSysfs sysfs;
    if (descriptor != "-")
        sysfs.addDescriptor(QStringLiteral("hidraw2"), QByteArray::fromHex(descriptor));
    standin::addDevice(display(path.toStdString(), uint8_t(reportId)));
    HidapiTransport t(sysfs.root());

    const HidTransport::Handle h = t.open(path.toStdString());
    QVERIFY(h != 0);
    const ReportLengths lengths = t.reportLengths(h);
    QCOMPARE(lengths.input, input);
    QCOMPARE(lengths.output, output);

    const Bytes request = frame(uint8_t(reportId), 0x30);
    QCOMPARE(t.write(h, request.data(), request.size()), 65);
    Bytes buffer(200, 0xEE);
    std::size_t n = 0;
    QCOMPARE(t.read(h, buffer.data(), buffer.size(), 100, n), HidTransport::ReadStatus::Completed);
    // One frame, ID first, whether or not the library delivered the ID byte.
    QCOMPARE(n, std::size_t(65));
    QCOMPARE(int(buffer[0]), reportId);
    QCOMPARE(Bytes(buffer.begin() + 1, buffer.begin() + 5), (Bytes{0x42, 0x43, 0x49, 0x50}));
}

void TestHidapiTransport::writesGoOutExactlyAsGiven()
{
    standin::addDevice(display("/dev/hidraw1"));
    HidapiTransport t("/nonexistent");
    const HidTransport::Handle h = t.open("/dev/hidraw1");
    Bytes request = frame(0, 0x32);
    request[2] = 0x05;
    request[64] = 0xA5;
    QCOMPARE(t.write(h, request.data(), request.size()), 65);
    QCOMPARE(standin::writes("/dev/hidraw1"), std::vector<Bytes>{request});
}

void TestHidapiTransport::enumerationDropsRepeatsAndPathlessEntries()
{
    standin::addEntryWithoutPath();
    standin::DeviceSpec keyboard;
    keyboard.path = "/dev/hidraw0";
    keyboard.vendorId = 0x046D;
    keyboard.productId = 0xC31C;
    keyboard.release = 0x6400;
    keyboard.listings = 2;  // keyboard and consumer-control collections
    keyboard.display = false;
    standin::addDevice(keyboard);
    standin::DeviceSpec panel = display("/dev/hidraw3");
    panel.release = 0x0207;
    panel.listings = 3;
    standin::addDevice(panel);

    HidapiTransport t("/nonexistent");
    const std::vector<HidInterfaceInfo> list = t.enumerate();
    QCOMPARE(list.size(), std::size_t(2));
    QCOMPARE(list[0].path, std::string("/dev/hidraw0"));
    QCOMPARE(list[0].vendorId, uint16_t(0x046D));
    QCOMPARE(list[0].version, uint16_t(0x6400));
    QCOMPARE(list[1].path, std::string("/dev/hidraw3"));
    QCOMPARE(list[1].version, uint16_t(0x0207));
    QCOMPARE(t.lastError(), std::string("Success"));
}

void TestHidapiTransport::libraryLivesAsLongAsTheLastTransport()
{
    standin::addDevice(display("/dev/hidraw1"));
    auto first = std::make_unique<HidapiTransport>("/nonexistent");
    auto second = std::make_unique<HidapiTransport>("/nonexistent");
    QCOMPARE(standin::initCalls(), 1);
    QVERIFY(first->open("/dev/hidraw1") != 0);
    QVERIFY(first->open("/dev/hidraw1") != 0);
    QVERIFY(second->open("/dev/hidraw1") != 0);
    QCOMPARE(standin::devicesOpen(), 3);

    first.reset();  // closes what it opened, leaves the library to the other
    QCOMPARE(standin::devicesOpen(), 1);
    QCOMPARE(standin::exitCalls(), 0);
    second.reset();
    QCOMPARE(standin::devicesOpen(), 0);
    QCOMPARE(standin::exitCalls(), 1);

    HidapiTransport again("/nonexistent");
    QCOMPARE(standin::initCalls(), 2);
}

void TestHidapiTransport::failedInitialisationRefusesEverything()
{
    standin::addDevice(display("/dev/hidraw1"));
    standin::setInitFails(true);
    {
        HidapiTransport t("/nonexistent");
        QCOMPARE(t.lastError(), std::string("no hidraw support"));
        QVERIFY(t.enumerate().empty());
        QCOMPARE(t.lastError(), std::string("HID library not initialised"));
        QCOMPARE(t.open("/dev/hidraw1"), HidTransport::Handle(0));
        QCOMPARE(standin::devicesOpen(), 0);
    }
    QCOMPARE(standin::exitCalls(), 0);  // nothing to release
}

void TestHidapiTransport::shortWriteReportsTheCountWritten()
{
    standin::addDevice(display("/dev/hidraw1"));
    standin::setShortWrite("/dev/hidraw1", 1);
    HidapiTransport t("/nonexistent");
    const HidTransport::Handle h = t.open("/dev/hidraw1");
    const Bytes request = frame(0, 0x30);
    // Not an error at this level: the link compares the count with the report's length.
    QCOMPARE(t.write(h, request.data(), request.size()), 64);
    uint8_t buffer[65];
    std::size_t n = 0;
    QCOMPARE(t.read(h, buffer, sizeof buffer, 10, n), HidTransport::ReadStatus::TimedOut);
}

void TestHidapiTransport::timeoutIsPassedOn_data()
{
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<int>("passed");
    QTest::newRow("the link's 6000 ms") << 6000 << 6000;
    QTest::newRow("poll") << 0 << 0;
    QTest::newRow("negative is a poll, not forever") << -1 << 0;
}

void TestHidapiTransport::timeoutIsPassedOn()
{
    QFETCH(int, timeoutMs);
    QFETCH(int, passed);
    standin::addDevice(display("/dev/hidraw1"));
    HidapiTransport t("/nonexistent");
    const HidTransport::Handle h = t.open("/dev/hidraw1");
    uint8_t buffer[65];
    std::size_t n = 0;
    QCOMPARE(t.read(h, buffer, sizeof buffer, timeoutMs, n), HidTransport::ReadStatus::TimedOut);
    QCOMPARE(standin::lastReadTimeoutMs(), passed);
    QCOMPARE(t.lastError(), std::string("Connection timed out"));
}

void TestHidapiTransport::errorTextsComeFromTheLibrary_data()
{
    QTest::addColumn<bool>("textsMissing");
    QTest::addColumn<QString>("openError");
    QTest::addColumn<QString>("writeError");
    QTest::addColumn<QString>("readError");
    QTest::newRow("library's texts") << false << "No such file or directory"
                                     << "device disconnected"
                                     << "device disconnected";
    QTest::newRow("library gives none") << true << "Unable to open the device"
                                        << "Input/output error"
                                        << "Input/output error";
}

void TestHidapiTransport::errorTextsComeFromTheLibrary()
{
    QFETCH(bool, textsMissing);
    QFETCH(QString, openError);
    QFETCH(QString, writeError);
    QFETCH(QString, readError);
    standin::addDevice(display("/dev/hidraw1"));
    standin::setErrorTextsMissing(textsMissing);
    HidapiTransport t("/nonexistent");
    QCOMPARE(t.open("/dev/hidraw9"), HidTransport::Handle(0));
    QCOMPARE(QString::fromStdString(t.lastError()), openError);

    const HidTransport::Handle h = t.open("/dev/hidraw1");
    standin::plug("/dev/hidraw1", false);
    const Bytes request = frame(0, 0x30);
    QCOMPARE(t.write(h, request.data(), request.size()), -1);
    QCOMPARE(QString::fromStdString(t.lastError()), writeError);
    uint8_t buffer[65];
    std::size_t n = 0;
    QCOMPARE(t.read(h, buffer, sizeof buffer, 10, n), HidTransport::ReadStatus::Error);
    QCOMPARE(QString::fromStdString(t.lastError()), readError);
}

QTEST_GUILESS_MAIN(TestHidapiTransport)
#include "test_hidapi_transport.moc"
