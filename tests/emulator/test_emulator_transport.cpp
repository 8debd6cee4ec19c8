// The in-process transport: framing, per-device reply queue, fault switches and the record.
#include <QTest>

#include "emulator/emulated_display.h"

using namespace trivo;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes frame(const Bytes& data)
{
    Bytes f(65, 0);
    std::copy(data.begin(), data.end(), f.begin() + 1);
    return f;
}

int writeData(EmulatedTransport& t, HidTransport::Handle h, const Bytes& data)
{
    const Bytes f = frame(data);
    return t.write(h, f.data(), f.size());
}

struct ReadResult {
    HidTransport::ReadStatus status;
    Bytes bytes;
};

ReadResult readReport(EmulatedTransport& t, HidTransport::Handle h, int timeoutMs = 0)
{
    Bytes buffer(65, 0xEE);
    std::size_t n = 0;
    const auto status = t.read(h, buffer.data(), buffer.size(), timeoutMs, n);
    buffer.resize(n);
    return {status, buffer};
}

std::vector<std::string> paths(const std::vector<HidInterfaceInfo>& list)
{
    std::vector<std::string> out;
    for (const auto& i : list)
        out.push_back(i.path);
    return out;
}

}  // namespace

class TestEmulatedTransport : public QObject {
    Q_OBJECT
private slots:
    void everyReportIsAnsweredOnce();
    void repliesQueuePerDeviceNotPerHandle();
    void enumerationOrder_data();
    void enumerationOrder();
    void unpluggedDisplayVanishes();
    void silentDisplayTimesOut_data();
    void silentDisplayTimesOut();
    void lateReplyBecomesReadyWhenTimeMoves();
    void lateReplyIsWhatTheNextReadGets();
    void failedWritesDeliverNothing();
    void reportLengthsAreReported();
    void unplugAfterReports();
    void secondDisplayAnswersForItself();
    void otherDeviceNeverAnswers();
    void openAndCloseBookkeeping();
    void recordLimitKeepsTheNewest();
};

void TestEmulatedTransport::everyReportIsAnsweredOnce()
{
    EmulatedTransport t;
    const auto h = t.open(EmulatedTransport::kDisplayPath);
    QVERIFY(h != 0);
    QCOMPARE(t.lastError(), std::string("Success"));
    QCOMPARE(writeData(t, h, {0x30}), 65);
    const ReadResult r = readReport(t, h);
    QCOMPARE(r.status, HidTransport::ReadStatus::Completed);
    QCOMPARE(r.bytes.size(), std::size_t(65));
    QCOMPARE(Bytes(r.bytes.begin(), r.bytes.begin() + 5), (Bytes{0x00, 0x42, 0x43, 0x49, 0x50}));
    QCOMPARE(readReport(t, h).status, HidTransport::ReadStatus::TimedOut);

    QCOMPARE(t.record().size(), std::size_t(2));
    QVERIFY(t.record()[0].output);
    QCOMPARE(t.record()[0].bytes, frame({0x30}));
    QVERIFY(!t.record()[1].output);
    QCOMPARE(t.record()[1].bytes, r.bytes);
    QCOMPARE(t.outputReports(), std::vector<Bytes>{frame({0x30})});
}

// The link writes on one handle and reads on another: the replies belong to the display.
void TestEmulatedTransport::repliesQueuePerDeviceNotPerHandle()
{
    EmulatedTransport t;
    const auto w = t.open(EmulatedTransport::kDisplayPath);
    const auto r = t.open(EmulatedTransport::kDisplayPath);
    writeData(t, w, {0x36});
    writeData(t, w, {0x30});
    QCOMPARE(t.pendingReplies(), 2);
    QCOMPARE(readReport(t, r).bytes, frame({}));         // the reply to 36, all zero
    QCOMPARE(readReport(t, r).bytes[1], uint8_t(0x42));  // then the block
    QCOMPARE(t.display().counter, 1);
}

void TestEmulatedTransport::enumerationOrder_data()
{
    QTest::addColumn<bool>("otherBefore");
    QTest::addColumn<bool>("second");
    QTest::addColumn<std::vector<std::string>>("expected");
    QTest::newRow("display alone") << false << false << std::vector<std::string>{EmulatedTransport::kDisplayPath};
    QTest::newRow("other device first") << true << false
                                        << std::vector<std::string>{"emulated:other1", EmulatedTransport::kDisplayPath};
    QTest::newRow("other device after, then a second display")
        << false << true
        << std::vector<std::string>{EmulatedTransport::kDisplayPath, "emulated:other1",
                                    EmulatedTransport::kSecondDisplayPath};
}

void TestEmulatedTransport::enumerationOrder()
{
    QFETCH(bool, otherBefore);
    QFETCH(bool, second);
    QFETCH(std::vector<std::string>, expected);
    EmulatedTransport t;
    if (otherBefore || second)
        t.addOtherDevice(0x1234, 0x0002, otherBefore);
    if (second)
        t.addSecondDisplay(0x0203);
    const auto list = t.enumerate();
    QCOMPARE(paths(list), expected);
    for (const auto& i : list) {
        const bool display = i.path.rfind("emulated:display", 0) == 0;
        QCOMPARE(i.vendorId, uint16_t(0x1234));
        QCOMPARE(i.productId, uint16_t(display ? 0x0001 : 0x0002));
        if (i.path == EmulatedTransport::kSecondDisplayPath)
            QCOMPARE(i.version, uint16_t(0x0203));
    }
    QVERIFY(t.openedPaths().empty());  // enumeration opens nothing
}

void TestEmulatedTransport::unpluggedDisplayVanishes()
{
    EmulatedTransport t;
    t.addOtherDevice(0x1234, 0x0002);
    const auto h = t.open(EmulatedTransport::kDisplayPath);
    writeData(t, h, {0x30});
    t.plug(false);
    QCOMPARE(paths(t.enumerate()), std::vector<std::string>{"emulated:other1"});
    QCOMPARE(writeData(t, h, {0x30}), -1);
    QCOMPARE(t.lastError(), std::string("No such device"));
    QCOMPARE(readReport(t, h).status, HidTransport::ReadStatus::Error);  // the queued reply is gone too
    QCOMPARE(t.open(EmulatedTransport::kDisplayPath), HidTransport::Handle(0));
    QCOMPARE(t.lastError(), std::string("No such file or directory"));

    // Plugged in again: a fresh handle works, the old one stays dead.
    t.plug(true);
    const auto fresh = t.open(EmulatedTransport::kDisplayPath);
    QVERIFY(fresh != 0);
    QCOMPARE(writeData(t, fresh, {0x30}), 65);
    QCOMPARE(writeData(t, h, {0x30}), -1);
}

// A read waits its time-out on the transport's clock, and in real time only when asked to.
void TestEmulatedTransport::silentDisplayTimesOut_data()
{
    QTest::addColumn<bool>("realTime");
    QTest::newRow("emulated clock") << false;
    QTest::newRow("real time") << true;
}

void TestEmulatedTransport::silentDisplayTimesOut()
{
    QFETCH(bool, realTime);
    EmulatedTransport t;
    t.setRealTime(realTime);
    t.setSilent(true);
    const auto h = t.open(EmulatedTransport::kDisplayPath);
    QCOMPARE(writeData(t, h, {0x36}), 65);
    QCOMPARE(t.display().counter, 1);  // it still acts on the request
    const long long before = t.clockMs();
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(readReport(t, h, 30).status, HidTransport::ReadStatus::TimedOut);
    QVERIFY(t.clockMs() - before >= 30);
    if (realTime)
        QVERIFY(clock.elapsed() >= 25);  // a real wait, as the trainee would see it
    else
        QCOMPARE(t.clockMs() - before, 30LL);
    QCOMPARE(t.readTimeouts(), 1);
    QCOMPARE(readReport(t, h, 0).status, HidTransport::ReadStatus::TimedOut);
    QCOMPARE(t.readTimeouts(), 1);  // a poll is not a wait
    QCOMPARE(t.lastError(), std::string("Connection timed out"));
    QCOMPARE(t.record().size(), std::size_t(1));
}

void TestEmulatedTransport::lateReplyBecomesReadyWhenTimeMoves()
{
    EmulatedTransport t;
    t.setReplyDelayMs(60000);
    const auto h = t.open(EmulatedTransport::kDisplayPath);
    writeData(t, h, {0x30});
    QCOMPARE(readReport(t, h, 0).status, HidTransport::ReadStatus::TimedOut);
    t.advanceMs(59000);
    QCOMPARE(readReport(t, h, 0).status, HidTransport::ReadStatus::TimedOut);
    t.advanceMs(1000);
    QCOMPARE(readReport(t, h, 0).status, HidTransport::ReadStatus::Completed);
}

// A reply that missed its read stays queued: the next exchange reads the previous request's answer.
void TestEmulatedTransport::lateReplyIsWhatTheNextReadGets()
{
    EmulatedTransport t;
    const auto h = t.open(EmulatedTransport::kDisplayPath);
    t.setReplyDelayMs(5000);
    writeData(t, h, {0x30});
    QCOMPARE(readReport(t, h, 0).status, HidTransport::ReadStatus::TimedOut);
    t.setReplyDelayMs(0);
    t.advanceMs(5000);
    writeData(t, h, {0x31});
    QCOMPARE(readReport(t, h).bytes[1], uint8_t(0x42));  // 30's answer
}

void TestEmulatedTransport::failedWritesDeliverNothing()
{
    EmulatedTransport t;
    const auto h = t.open(EmulatedTransport::kDisplayPath);
    t.setFailWrites(true);
    QCOMPARE(writeData(t, h, {0x36}), -1);
    QCOMPARE(t.lastError(), std::string("Input/output error"));
    QCOMPARE(t.display().counter, 0);
    QCOMPARE(readReport(t, h).status, HidTransport::ReadStatus::TimedOut);
    QVERIFY(t.record().empty());
    t.setFailWrites(false);
    QCOMPARE(writeData(t, h, {0x36}), 65);
    QCOMPARE(t.lastError(), std::string("Success"));
}

void TestEmulatedTransport::reportLengthsAreReported()
{
    EmulatedTransport t;
    const auto h = t.open(EmulatedTransport::kDisplayPath);
    QCOMPARE(t.reportLengths(h).input, 65);
    t.setReportLengths({9, 33});
    QCOMPARE(t.reportLengths(h).input, 9);
    QCOMPARE(t.reportLengths(h).output, 33);

    // A short report reaches the display zero-padded; a short read gets the first bytes of the reply.
    const Bytes shortReport{0x00, 0x30, 0x00};
    QCOMPARE(t.write(h, shortReport.data(), shortReport.size()), 3);
    QCOMPARE(t.record().back().bytes, frame({0x30}));
    Bytes buffer(9);
    std::size_t n = 0;
    QCOMPARE(t.read(h, buffer.data(), buffer.size(), 0, n), HidTransport::ReadStatus::Completed);
    QCOMPARE(n, std::size_t(9));
    QCOMPARE(buffer, (Bytes{0x00, 0x42, 0x43, 0x49, 0x50, 0x00, 0x00, 0x00, 0x00}));
}

// Unplugged after n answered exchanges: those n complete, the display then vanishes.
void TestEmulatedTransport::unplugAfterReports()
{
    EmulatedTransport t;
    const auto h = t.open(EmulatedTransport::kDisplayPath);
    t.unplugAfterReports(2);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(writeData(t, h, {0x36}), 65);
        QCOMPARE(readReport(t, h).status, HidTransport::ReadStatus::Completed);
    }
    QVERIFY(!t.plugged());
    QVERIFY(t.enumerate().empty());
    QCOMPARE(writeData(t, h, {0x36}), -1);
    QCOMPARE(t.display().counter, 2);
}

void TestEmulatedTransport::secondDisplayAnswersForItself()
{
    EmulatedTransport t;
    t.addSecondDisplay();
    t.secondDisplay().setSignature(0x42, 0x43, 0x49, 0x54);
    const auto first = t.open(EmulatedTransport::kDisplayPath);
    const auto second = t.open(EmulatedTransport::kSecondDisplayPath);
    writeData(t, second, {0x30});
    QCOMPARE(readReport(t, first).status, HidTransport::ReadStatus::TimedOut);
    QCOMPARE(readReport(t, second).bytes[4], uint8_t(0x54));
}

void TestEmulatedTransport::otherDeviceNeverAnswers()
{
    EmulatedTransport t;
    t.addOtherDevice(0x046D, 0xC077);
    const auto h = t.open("emulated:other1");
    QVERIFY(h != 0);
    QCOMPARE(writeData(t, h, {0x36}), 65);
    QCOMPARE(readReport(t, h).status, HidTransport::ReadStatus::TimedOut);
    QCOMPARE(t.display().counter, 0);
}

void TestEmulatedTransport::openAndCloseBookkeeping()
{
    EmulatedTransport t;
    const auto a = t.open(EmulatedTransport::kDisplayPath);
    const auto b = t.open(EmulatedTransport::kDisplayPath);
    QCOMPARE(t.open("emulated:nothing"), HidTransport::Handle(0));
    QVERIFY(a != b);
    QCOMPARE(t.openHandles(), 2);
    QVERIFY(t.close(a));
    QVERIFY(!t.close(a));
    QCOMPARE(t.lastError(), std::string("Bad file descriptor"));
    QCOMPARE(writeData(t, a, {0x30}), -1);
    QCOMPARE(t.openHandles(), 1);
    QCOMPARE(t.openedPaths(),
             (std::vector<std::string>{EmulatedTransport::kDisplayPath, EmulatedTransport::kDisplayPath,
                                       "emulated:nothing"}));
    QVERIFY(t.close(b));
    QCOMPARE(t.openHandles(), 0);
}

void TestEmulatedTransport::recordLimitKeepsTheNewest()
{
    EmulatedTransport t;
    const auto h = t.open(EmulatedTransport::kDisplayPath);
    for (uint8_t code : {0x34, 0x35, 0x36}) {
        writeData(t, h, {code});
        readReport(t, h);
    }
    t.setRecordLimit(3);
    QCOMPARE(t.record().size(), std::size_t(3));
    QVERIFY(!t.record()[0].output);  // the reply to 35
    QCOMPARE(t.record()[1].bytes, frame({0x36}));
    writeData(t, h, {0x37});
    QCOMPARE(t.record().size(), std::size_t(3));
    QCOMPARE(t.record().back().bytes, frame({0x37}));
    QCOMPARE(t.outputReports(), (std::vector<Bytes>{frame({0x36}), frame({0x37})}));

    // The opened paths are bounded alike: the link opens the display at every connection check.
    for (const char* path : {"nowhere1", "nowhere2", "nowhere3", "nowhere4"})
        t.open(path);
    QCOMPARE(t.openedPaths(), (std::vector<std::string>{"nowhere2", "nowhere3", "nowhere4"}));
}

QTEST_GUILESS_MAIN(TestEmulatedTransport)
#include "test_emulator_transport.moc"
