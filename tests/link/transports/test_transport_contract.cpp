// The HidTransport contract on every transport: enumeration, opening, report lengths, one report out
// with its ID first, one report in with its ID first, time-outs, vanished, closed and bogus handles,
// and lastError after each. Rows name the transport (see contract_subjects.cpp).
#include <QDate>
#include <QTest>

#include <algorithm>

#include "transport_contract.h"

using namespace trivo;
using namespace trivo::test;

namespace {

using Bytes = std::vector<uint8_t>;
constexpr int kShortTimeoutMs = 10;

void addSubjectRows()
{
    QTest::addColumn<QString>("subject");
    for (const QString& name : contractSubjectNames())
        QTest::newRow(qPrintable(name)) << name;
}

// The 65-byte output report: report ID, then the request padded with zeros.
Bytes frame(uint8_t reportId, const Bytes& request)
{
    Bytes f(65, 0);
    f[0] = reportId;
    std::copy(request.begin(), request.end(), f.begin() + 1);
    return f;
}

int send(HidTransport& t, HidTransport::Handle h, uint8_t reportId, const Bytes& request)
{
    const Bytes f = frame(reportId, request);
    return t.write(h, f.data(), f.size());
}

struct Received {
    HidTransport::ReadStatus status;
    Bytes bytes;
};

Received receive(HidTransport& t, HidTransport::Handle h, int timeoutMs = 1000)
{
    Bytes buffer(65, 0xEE);
    std::size_t n = 999;
    const HidTransport::ReadStatus status = t.read(h, buffer.data(), buffer.size(), timeoutMs, n);
    buffer.resize(std::min(n, buffer.size()));
    return {status, buffer};
}

// What the display will answer to request, found on a copy of it so the real one is left as it is.
Bytes expectedReply(ContractSubject& s, const Bytes& request)
{
    EmulatedDisplay twin = s.display();
    std::array<uint8_t, 64> r{};
    std::copy(request.begin(), request.end(), r.begin());
    const std::array<uint8_t, 64> answer = twin.handle(r);
    Bytes reply{s.reportId()};
    reply.insert(reply.end(), answer.begin(), answer.end());
    return reply;
}

bool listed(const std::vector<HidInterfaceInfo>& list, const std::string& path)
{
    return std::any_of(list.begin(), list.end(), [&](const HidInterfaceInfo& i) { return i.path == path; });
}

const Bytes kParameterRead0{0x30};
const Bytes kRegistersRead{0x02, 0xD0, 0x00, 0x00, 0xD1};

}  // namespace

class TestTransportContract : public QObject {
    Q_OBJECT
private slots:
    void enumerationListsEachInterfaceOnceInOrder_data() { addSubjectRows(); }
    void enumerationListsEachInterfaceOnceInOrder();
    void openRefusesAnUnknownPath_data() { addSubjectRows(); }
    void openRefusesAnUnknownPath();
    void reportLengthsAreTheDisplays_data() { addSubjectRows(); }
    void reportLengthsAreTheDisplays();
    void exchangeCarriesTheReportIdFirst_data();
    void exchangeCarriesTheReportIdFirst();
    void repliesComeInTheOrderOfTheRequests_data() { addSubjectRows(); }
    void repliesComeInTheOrderOfTheRequests();
    void readTimesOutWhenNothingComes_data() { addSubjectRows(); }
    void readTimesOutWhenNothingComes();
    void otherInterfacesTakeWritesAndNeverAnswer_data() { addSubjectRows(); }
    void otherInterfacesTakeWritesAndNeverAnswer();
    void unplugKillsEveryOlderHandle_data() { addSubjectRows(); }
    void unplugKillsEveryOlderHandle();
    void closedHandleFails_data() { addSubjectRows(); }
    void closedHandleFails();
    void handlesAreIndependent_data() { addSubjectRows(); }
    void handlesAreIndependent();
    void bogusHandlesAndBuffersFail_data();
    void bogusHandlesAndBuffersFail();
};

void TestTransportContract::enumerationListsEachInterfaceOnceInOrder()
{
    QFETCH(QString, subject);
    auto s = makeContractSubject(subject);
    const std::string before = s->addOtherDevice(0x046D, 0xC077, true);
    const std::string after = s->addOtherDevice(0x1234, 0x0002, false);

    const std::vector<HidInterfaceInfo> list = s->transport().enumerate();
    QVERIFY(isSuccessText(s->transport().lastError()));
    QCOMPARE(list.size(), std::size_t(3));
    QCOMPARE(list[0].path, before);
    QCOMPARE(list[0].vendorId, uint16_t(0x046D));
    QCOMPARE(list[0].productId, uint16_t(0xC077));
    QCOMPARE(list[1].path, s->displayPath());
    QCOMPARE(list[1].vendorId, uint16_t(0x1234));
    QCOMPARE(list[1].productId, uint16_t(0x0001));
    QCOMPARE(list[1].version, uint16_t(0x0100));
    QCOMPARE(list[2].path, after);
    QCOMPARE(list[2].productId, uint16_t(0x0002));
    QCOMPARE(s->devicesOpen(), 0);  // enumerating opens nothing
}

void TestTransportContract::openRefusesAnUnknownPath()
{
    QFETCH(QString, subject);
    auto s = makeContractSubject(subject);
    QCOMPARE(s->transport().open("/dev/hidraw99"), HidTransport::Handle(0));
    QVERIFY(!isSuccessText(s->transport().lastError()));
    QCOMPARE(s->devicesOpen(), 0);
}

void TestTransportContract::reportLengthsAreTheDisplays()
{
    QFETCH(QString, subject);
    auto s = makeContractSubject(subject);
    HidTransport& t = s->transport();
    const HidTransport::Handle h = t.open(s->displayPath());
    QVERIFY(h != 0);
    QVERIFY(isSuccessText(t.lastError()));
    const ReportLengths lengths = t.reportLengths(h);
    QVERIFY(isSuccessText(t.lastError()));
    QCOMPARE(lengths.input, 65);
    QCOMPARE(lengths.output, 65);
}

void TestTransportContract::exchangeCarriesTheReportIdFirst_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QByteArray>("request");  // hex, data bytes after the report ID
    const std::pair<const char*, const char*> requests[] = {
        {"parameter read 0", "30"},
        {"parameter read 1", "31"},
        {"word write", "32010000007B"},
        {"registers read", "02D00000D1"},
        {"home-screen block read", "02A00000A1"},
        {"output drive", "01050101"},
    };
    for (const QString& name : contractSubjectNames())
        for (const auto& [what, hex] : requests)
            QTest::addRow("%s / %s", qPrintable(name), what) << name << QByteArray(hex);
}

void TestTransportContract::exchangeCarriesTheReportIdFirst()
{
    QFETCH(QString, subject);
    QFETCH(QByteArray, request);
    auto s = makeContractSubject(subject);
    HidTransport& t = s->transport();
    s->display().setClock(QDateTime(QDate(2024, 3, 1), QTime(12, 34, 56)));
    const QByteArray raw = QByteArray::fromHex(request);
    const Bytes req(raw.begin(), raw.end());
    const Bytes expected = expectedReply(*s, req);

    const HidTransport::Handle h = t.open(s->displayPath());
    QVERIFY(h != 0);
    QCOMPARE(send(t, h, s->reportId(), req), 65);
    QVERIFY(isSuccessText(t.lastError()));
    const Received got = receive(t, h);
    QCOMPARE(got.status, HidTransport::ReadStatus::Completed);
    QVERIFY(isSuccessText(t.lastError()));
    QCOMPARE(got.bytes, expected);
}

void TestTransportContract::repliesComeInTheOrderOfTheRequests()
{
    QFETCH(QString, subject);
    auto s = makeContractSubject(subject);
    HidTransport& t = s->transport();
    const HidTransport::Handle h = t.open(s->displayPath());
    QCOMPARE(send(t, h, s->reportId(), kParameterRead0), 65);
    QCOMPARE(send(t, h, s->reportId(), {0x31}), 65);
    const Received first = receive(t, h);
    const Received second = receive(t, h);
    QCOMPARE(first.status, HidTransport::ReadStatus::Completed);
    QCOMPARE(second.status, HidTransport::ReadStatus::Completed);
    QCOMPARE(Bytes(first.bytes.begin() + 1, first.bytes.begin() + 5), (Bytes{0x42, 0x43, 0x49, 0x50}));
    QVERIFY(first.bytes != second.bytes);
    QCOMPARE(receive(t, h, kShortTimeoutMs).status, HidTransport::ReadStatus::TimedOut);
}

void TestTransportContract::readTimesOutWhenNothingComes()
{
    QFETCH(QString, subject);
    auto s = makeContractSubject(subject);
    HidTransport& t = s->transport();
    const HidTransport::Handle h = t.open(s->displayPath());
    QVERIFY(h != 0);

    for (int timeoutMs : {kShortTimeoutMs, 0}) {  // a wait, and a poll
        const Received got = receive(t, h, timeoutMs);
        QCOMPARE(got.status, HidTransport::ReadStatus::TimedOut);
        QVERIFY(got.bytes.empty());
        QVERIFY(!isSuccessText(t.lastError()));
    }

    s->setSilent(true);
    QCOMPARE(send(t, h, s->reportId(), kParameterRead0), 65);
    QCOMPARE(receive(t, h, kShortTimeoutMs).status, HidTransport::ReadStatus::TimedOut);
    // A time-out closes nothing: the display answers on the same handle once it speaks again.
    s->setSilent(false);
    QCOMPARE(send(t, h, s->reportId(), kParameterRead0), 65);
    QCOMPARE(receive(t, h).status, HidTransport::ReadStatus::Completed);
}

void TestTransportContract::otherInterfacesTakeWritesAndNeverAnswer()
{
    QFETCH(QString, subject);
    auto s = makeContractSubject(subject);
    HidTransport& t = s->transport();
    const std::string other = s->addOtherDevice(0x046D, 0xC077, true);
    const HidTransport::Handle h = t.open(other);
    QVERIFY(h != 0);
    QCOMPARE(send(t, h, 0, kParameterRead0), 65);
    QCOMPARE(receive(t, h, kShortTimeoutMs).status, HidTransport::ReadStatus::TimedOut);
    QVERIFY(t.close(h));
}

void TestTransportContract::unplugKillsEveryOlderHandle()
{
    QFETCH(QString, subject);
    auto s = makeContractSubject(subject);
    HidTransport& t = s->transport();
    const HidTransport::Handle old = t.open(s->displayPath());
    QCOMPARE(send(t, old, s->reportId(), kParameterRead0), 65);

    s->plug(false);
    QVERIFY(!listed(t.enumerate(), s->displayPath()));
    QCOMPARE(receive(t, old).status, HidTransport::ReadStatus::Error);  // the pending reply went with it
    QVERIFY(!isSuccessText(t.lastError()));
    QCOMPARE(send(t, old, s->reportId(), kParameterRead0), -1);
    QVERIFY(!isSuccessText(t.lastError()));
    QCOMPARE(t.open(s->displayPath()), HidTransport::Handle(0));
    QVERIFY(!isSuccessText(t.lastError()));

    s->plug(true);
    QVERIFY(listed(t.enumerate(), s->displayPath()));
    QCOMPARE(send(t, old, s->reportId(), kParameterRead0), -1);
    QCOMPARE(receive(t, old).status, HidTransport::ReadStatus::Error);
    const HidTransport::Handle fresh = t.open(s->displayPath());
    QVERIFY(fresh != 0 && fresh != old);
    QCOMPARE(send(t, fresh, s->reportId(), kParameterRead0), 65);
    QCOMPARE(receive(t, fresh).status, HidTransport::ReadStatus::Completed);
    // A dead handle is still released by closing it.
    QVERIFY(t.close(old));
    QVERIFY(t.close(fresh));
    QCOMPARE(s->devicesOpen(), 0);
}

void TestTransportContract::closedHandleFails()
{
    QFETCH(QString, subject);
    auto s = makeContractSubject(subject);
    HidTransport& t = s->transport();
    const HidTransport::Handle h = t.open(s->displayPath());
    QCOMPARE(s->devicesOpen(), 1);
    QVERIFY(t.close(h));
    QVERIFY(isSuccessText(t.lastError()));
    QCOMPARE(s->devicesOpen(), 0);

    QVERIFY(!t.close(h));
    QVERIFY(!isSuccessText(t.lastError()));
    QCOMPARE(send(t, h, s->reportId(), kParameterRead0), -1);
    QVERIFY(!isSuccessText(t.lastError()));
    QCOMPARE(receive(t, h).status, HidTransport::ReadStatus::Error);
    QVERIFY(!isSuccessText(t.lastError()));
    t.reportLengths(h);
    QVERIFY(!isSuccessText(t.lastError()));
}

void TestTransportContract::handlesAreIndependent()
{
    QFETCH(QString, subject);
    auto s = makeContractSubject(subject);
    HidTransport& t = s->transport();
    const HidTransport::Handle a = t.open(s->displayPath());
    const HidTransport::Handle b = t.open(s->displayPath());
    QVERIFY(a != 0 && b != 0 && a != b);
    QCOMPARE(s->devicesOpen(), 2);
    QVERIFY(t.close(a));
    QCOMPARE(send(t, b, s->reportId(), kRegistersRead), 65);
    QCOMPARE(receive(t, b).status, HidTransport::ReadStatus::Completed);
}

void TestTransportContract::bogusHandlesAndBuffersFail_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<qlonglong>("handle");  // used as it is; -9 stands for a live handle and an empty buffer
    for (const QString& name : contractSubjectNames()) {
        QTest::addRow("%s / handle 0", qPrintable(name)) << name << qlonglong(0);
        QTest::addRow("%s / handle -1", qPrintable(name)) << name << qlonglong(-1);
        QTest::addRow("%s / never opened", qPrintable(name)) << name << qlonglong(12345);
        QTest::addRow("%s / zero-length buffer", qPrintable(name)) << name << qlonglong(-9);
    }
}

void TestTransportContract::bogusHandlesAndBuffersFail()
{
    QFETCH(QString, subject);
    QFETCH(qlonglong, handle);
    auto s = makeContractSubject(subject);
    HidTransport& t = s->transport();
    const HidTransport::Handle live = t.open(s->displayPath());
    QVERIFY(live != 0);
    uint8_t buffer[65] = {};
    std::size_t n = 99;
    if (handle == -9) {
        QCOMPARE(t.read(live, buffer, 0, kShortTimeoutMs, n), HidTransport::ReadStatus::Error);
        QCOMPARE(n, std::size_t(0));
        QVERIFY(!isSuccessText(t.lastError()));
        return;
    }
    const auto bogus = static_cast<HidTransport::Handle>(handle);
    QCOMPARE(t.write(bogus, frame(0, kParameterRead0).data(), 65), -1);
    QVERIFY(!isSuccessText(t.lastError()));
    QCOMPARE(t.read(bogus, buffer, sizeof buffer, kShortTimeoutMs, n), HidTransport::ReadStatus::Error);
    QCOMPARE(n, std::size_t(0));
    QVERIFY(!isSuccessText(t.lastError()));
    QVERIFY(!t.close(bogus));
    QVERIFY(!isSuccessText(t.lastError()));
    // The live handle was not disturbed.
    QCOMPARE(send(t, live, s->reportId(), kParameterRead0), 65);
    QCOMPARE(receive(t, live).status, HidTransport::ReadStatus::Completed);
}

QTEST_GUILESS_MAIN(TestTransportContract)
#include "test_transport_contract.moc"
