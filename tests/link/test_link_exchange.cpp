// One exchange on the wire: the report frame, the buffer texts and the diagnostics the link window shows
// of it, the guards, and the faults of a display that does not answer, answers late, or cannot be written to.
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QtTest>

#include "link/commands.h"
#include "emulator/faults.h"
#include "link/link_test_helpers.h"

using namespace trivo;
using trivo::test::Rig;

namespace {

QStringList repeated(int n, const QString& text) { return QStringList(n, text); }

QByteArray hexBytes(const std::vector<uint8_t>& bytes, std::size_t from = 0)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data() + from), qsizetype(bytes.size() - from)).toHex();
}

QStringList replyFields(const std::vector<uint8_t>& report)
{
    QStringList texts;
    for (std::size_t i = 1; i < report.size(); ++i)
        texts << byteText(report[i]);
    return texts;
}

struct Observed {
    bool output;
    std::vector<uint8_t> bytes;
};

}  // namespace

class TestLinkExchange : public QObject {
    Q_OBJECT

private slots:
    void frameOnTheWire_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QByteArray>("expected");  // the 64 data bytes after the report ID, as hex

        QTest::addRow("key request") << (QStringList{"1", "5", "1", "80"} + repeated(60, "0"))
                                     << QByteArray("01050180" + QByteArray(120, '0'));
        QTest::addRow("empty fields go out as 00") << repeated(64, "") << QByteArray(128, '0');
        QTest::addRow("either case, one or two digits")
            << (QStringList{"0f", "0F", "a0", "A0", "f", "5", "", "ff"} + repeated(56, ""))
            << QByteArray("0f0fa0a00f0500ff" + QByteArray(112, '0'));
        QStringList all;
        QByteArray allHex;
        for (int i = 0; i < 64; ++i) {
            const int v = (i * 37 + 11) & 0xFF;
            all << QString::number(v, 16);
            allHex += QByteArray::number(v, 16).rightJustified(2, '0');
        }
        QTest::addRow("every field its own value") << all << allHex;
    }

    void frameOnTheWire()
    {
        QFETCH(QStringList, fields);
        QFETCH(QByteArray, expected);
        Rig rig;
        rig.fill(fields);
        QVERIFY(rig.write().ok());
        QCOMPARE(rig.link.lastOutcome(), ExchangeOutcome::Done);
        const auto out = rig.transport.outputReports();
        QCOMPARE(out.size(), std::size_t(1));
        QCOMPARE(out[0].size(), std::size_t(kReportLength));
        QCOMPARE(out[0][0], uint8_t(0x00));
        QCOMPARE(hexBytes(out[0], 1), expected);
    }

    void readingExchangeCopiesReply_data()
    {
        QTest::addColumn<uint8_t>("modeLetter");
        QTest::addRow("production") << uint8_t(0x50);
        QTest::addRow("totaliser") << uint8_t(0x54);
    }

    void readingExchangeCopiesReply()
    {
        QFETCH(uint8_t, modeLetter);
        Rig rig;
        rig.transport.display().setSignature(0x42, 0x43, 0x49, modeLetter);
        rig.setText1(0, "30");
        QVERIFY(rig.read().ok());
        QCOMPARE(rig.link.lastOutcome(), ExchangeOutcome::Done);
        const QStringList texts = rig.fields();
        QCOMPARE(texts.mid(0, 4), QStringList({"42", "43", "49", byteText(modeLetter)}));
        const auto in = rig.inputReports();
        QCOMPARE(in.size(), std::size_t(1));
        QCOMPARE(texts, replyFields(in[0]));
        static const QRegularExpression twoUpperDigits("^[0-9A-F]{2}$");
        for (const QString& t : texts)
            QVERIFY2(twoUpperDigits.match(t).hasMatch(), qPrintable(t));
        QCOMPARE(rig.model.text1(64), QStringLiteral("0"));
    }

    void writingExchangeKeepsRequest()
    {
        Rig rig;
        const QStringList request = QStringList{"30", "a", "", "0F"} + repeated(60, "7");
        rig.fill(request);
        QVERIFY(rig.write().ok());
        QCOMPARE(rig.inputReports().size(), std::size_t(1));  // a reply came, and was only logged
        QCOMPARE(rig.fields(), request);
        QVERIFY(rig.log().contains(" 42"));
    }

    void refusedWhileWaiting_data()
    {
        QTest::addColumn<bool>("reading");
        QTest::addRow("write") << false;
        QTest::addRow("read") << true;
    }

    void refusedWhileWaiting()
    {
        QFETCH(bool, reading);
        Rig rig(false);
        rig.transport.plug(false);
        rig.link.connectionCheck();
        QCOMPARE(rig.link.state(), LinkState::Waiting);
        rig.fill(QStringList{"30", "31"} + repeated(62, "AB"));
        const QStringList logBefore = rig.log();

        QVERIFY(!(reading ? rig.read().ok() : rig.write().ok()));
        QCOMPARE(rig.link.lastOutcome(), ExchangeOutcome::Unplugged);
        QCOMPARE(rig.model.label4Text(), QStringLiteral("IMPOSSIBLE !"));
        QCOMPARE(rig.model.label4Color(), ProgressColour::Unset);  // background left as it was
        QCOMPARE(rig.fields(), repeated(64, "0"));
        QVERIFY(rig.transport.record().empty());
        QCOMPARE(rig.log(), logBefore);  // not an exchange: the list is not cleared
    }

    void beforeFirstTickNothingSent()
    {
        Rig rig(false);
        const QStringList request = QStringList{"30"} + repeated(63, "5");
        rig.fill(request);
        QVERIFY(!rig.read().ok());
        QCOMPARE(rig.link.lastOutcome(), ExchangeOutcome::NotOpen);
        QVERIFY(rig.transport.record().empty());
        QCOMPARE(rig.transport.openHandles(), 0);
        QCOMPARE(rig.fields(), request);
        QCOMPARE(rig.model.label4Text(), QStringLiteral("Fin de l'envoi ."));
        QCOMPARE(rig.model.label4Color(), ProgressColour::Green);
    }

    void exchangeLog()
    {
        Rig rig;
        rig.fill(QStringList{"30"} + repeated(63, "0"));
        rig.transport.display().setSignature(0x42, 0x43, 0x49, 0x50);
        QVERIFY(rig.read().ok());
        const QStringList log = rig.log();
        CHECK_IN_ORDER(
            log,
            QStringList({"***** HID Test Report *****", "WriteFile", " NumberOfBytesWritten = 65", "30", "00",
                         "ReadFile", "waiting for ReadFile", "WaitForSingleObject", "ReadFile completed successfully.",
                         " Report ID: 0", " Report Data:", " 42", " 43", " 49", " 50"}));
        // The 64 request bytes, one line each, right after the count written.
        const int count = int(log.indexOf(" NumberOfBytesWritten = 65"));
        QCOMPARE(log.mid(count + 1, 64), QStringList{"30"} + repeated(63, "00"));
        QCOMPARE(log.mid(log.indexOf(" Report Data:") + 1),
                 rig.fields().replaceInStrings(QRegularExpression("^"), " "));
    }

    void observerSeesBothReports()
    {
        Rig rig;
        std::vector<Observed> seen;
        rig.link.setReportObserver([&](bool output, const uint8_t* data, std::size_t length) {
            seen.push_back({output, std::vector<uint8_t>(data, data + length)});
        });
        QVERIFY(rig.link.ask(commands::registersRead()).ok());
        QCOMPARE(seen.size(), std::size_t(2));
        QVERIFY(seen[0].output);
        QCOMPARE(seen[0].bytes, rig.transport.outputReports().at(0));
        QVERIFY(!seen[1].output);
        QCOMPARE(seen[1].bytes, rig.inputReports().at(0));
    }

    // Trace files hold whole frames: a short input report is seen as the 65 bytes the reply fills.
    void observerSeesWholeFrames()
    {
        Rig rig;
        rig.transport.display().setSignature(0x42, 0x43, 0x49, 0x50);
        rig.transport.injectFault(Fault::ShortReply, 0, 3);  // report ID, 42, 43
        std::vector<Observed> seen;
        rig.link.setReportObserver([&](bool output, const uint8_t* data, std::size_t length) {
            seen.push_back({output, std::vector<uint8_t>(data, data + length)});
        });
        rig.setText1(0, "30");
        QVERIFY(!rig.read().ok());  // and taken for no reply: its missing bytes are not the display's
        QCOMPARE(rig.link.lastOutcome(), ExchangeOutcome::Short);
        QCOMPARE(seen.size(), std::size_t(2));
        std::vector<uint8_t> frame(65, 0);
        frame[1] = 0x42;
        frame[2] = 0x43;
        QVERIFY(!seen[1].output);
        QCOMPARE(seen[1].bytes, frame);
        QCOMPARE(rig.model.text1(1), QStringLiteral("43"));
        QCOMPARE(rig.model.text1(2), QStringLiteral("00"));
    }

    void failedWriteWaitsForNothing_data()
    {
        QTest::addColumn<bool>("reading");
        QTest::addRow("write") << false;
        QTest::addRow("read") << true;
    }

    void failedWriteWaitsForNothing()
    {
        QFETCH(bool, reading);
        Rig rig;
        rig.transport.setFailWrites(true);
        const QStringList request = QStringList{"30"} + repeated(63, "1");
        rig.fill(request);
        QVERIFY(!(reading ? rig.read().ok() : rig.write().ok()));
        QCOMPARE(rig.link.lastOutcome(), ExchangeOutcome::WriteFailed);
        const QStringList log = rig.log();
        CHECK_IN_ORDER(log, QStringList({"WriteFile", "  Result = Input/output error", " NumberOfBytesWritten = 0"}));
        QVERIFY(!log.contains("ReadFile"));
        QVERIFY(!log.contains("WaitForSingleObject"));
        QCOMPARE(rig.fields(), reading ? repeated(64, "00") : request);
        // The write failure alone does not close the link: the next exchange tries again.
        rig.transport.setFailWrites(false);
        QVERIFY(rig.write().ok());
    }

    void partialWriteIsAFailure()
    {
        Rig rig;
        rig.transport.injectFault(Fault::ShortWrite, 0, 30);
        QVERIFY(!rig.write().ok());
        QCOMPARE(rig.link.lastOutcome(), ExchangeOutcome::WriteFailed);
        QCOMPARE(rig.transport.readTimeouts(), 0);  // no reply was waited for
        QVERIFY(!rig.log().contains("WaitForSingleObject"));
        QVERIFY(rig.log().contains(" NumberOfBytesWritten = 30"));
    }

    void readErrorKeepsLinkOpen()
    {
        Rig rig;
        const int handles = rig.transport.openHandles();
        rig.transport.injectFault(Fault::ReadError);
        rig.setText1(0, "30");
        QVERIFY(!rig.read().ok());
        QCOMPARE(rig.link.lastOutcome(), ExchangeOutcome::ReadFailed);
        QVERIFY(rig.log().contains("Readfile undefined error"));
        QCOMPARE(rig.transport.openHandles(), handles);
        rig.transport.removeFault(Fault::ReadError);
        rig.transport.display().setSignature(0x42, 0x43, 0x49, 0x2A);
        rig.setText1(0, "30");
        QVERIFY(rig.read().ok());
        QCOMPARE(rig.model.text1(3), QStringLiteral("2A"));
        QCOMPARE(rig.transport.outputReports().size(), std::size_t(2));
    }

    // A display that never answers costs one full time-out, then the link is known to be down until
    // the next monitor pass.
    void silentDisplay()
    {
        Rig rig;
        QCOMPARE(rig.link.readTimeoutMs(), kReadTimeoutMs);
        rig.transport.setSilent(true);
        rig.fill(QStringList{"30"} + repeated(63, "5"));
        const long long before = rig.transport.clockMs();
        QVERIFY(!rig.read().ok());
        QCOMPARE(rig.transport.clockMs() - before, (long long)kReadTimeoutMs);
        QCOMPARE(rig.transport.readTimeouts(), 1);
        QCOMPARE(rig.link.lastOutcome(), ExchangeOutcome::TimedOut);
        QCOMPARE(rig.link.state(), LinkState::NotAnswering);
        QCOMPARE(rig.fields(), repeated(64, "00"));
        CHECK_IN_ORDER(rig.log(),
                       QStringList({"WaitForSingleObject", "Readfile timeout", "CloseHandle", " Report ID: 0",
                                    " Report Data:", " 00"}));
        QCOMPARE(rig.transport.openHandles(), 0);

        rig.transport.clearRecord();
        rig.fill(QStringList{"34"});
        QVERIFY(!rig.write().ok());
        QCOMPARE(rig.link.lastOutcome(), ExchangeOutcome::NotAnswering);
        QVERIFY(rig.transport.record().empty());
        QVERIFY(!rig.log().contains("ReadFile"));
        QCOMPARE(rig.model.text1(0), QStringLiteral("34"));
        QVERIFY(!rig.read().ok());
        QCOMPARE(rig.link.lastOutcome(), ExchangeOutcome::NotAnswering);
        QCOMPARE(rig.fields(), repeated(64, "00"));
        QVERIFY(rig.transport.record().empty());

        // A pass finds it still there and still does not call it connected; nothing more was waited for.
        rig.transport.setSilent(false);
        rig.link.connectionCheck();
        QCOMPARE(rig.link.state(), LinkState::NotAnswering);
        QCOMPARE(rig.transport.readTimeouts(), 1);
        // Unplugged and plugged in again, it is opened again.
        rig.transport.plug(false);
        rig.link.connectionCheck();
        QCOMPARE(rig.link.state(), LinkState::Waiting);
        rig.transport.plug(true);
        rig.link.connectionCheck();
        QCOMPARE(rig.link.state(), LinkState::Connected);
        rig.setText1(0, "30");
        QVERIFY(rig.read().ok());
        QCOMPARE(rig.model.text1(0), QStringLiteral("42"));
    }

    // A reply that arrives after its exchange gave up is drained and logged before the next request,
    // so it is never taken for the next answer.
    void lateReplyIsDrained()
    {
        Rig rig;
        std::vector<Observed> seen;
        rig.link.setReportObserver([&](bool output, const uint8_t* data, std::size_t length) {
            seen.push_back({output, std::vector<uint8_t>(data, data + length)});
        });
        auto& block = rig.transport.display().block;
        rig.transport.display().setSignature(0x42, 0x43, 0x49, 0x50);
        block[0x20] = 0x11;
        block[0x21] = 0x22;
        block[0x22] = 0x33;
        block[0x23] = 0x44;

        rig.link.setReadTimeoutMs(30);
        rig.transport.setReplyDelayMs(60000);
        rig.setText1(0, "30");
        QVERIFY(!rig.read().ok());
        QCOMPARE(rig.link.lastOutcome(), ExchangeOutcome::TimedOut);
        QCOMPARE(rig.transport.pendingReplies(), 1);

        rig.transport.advanceMs(60000);  // the late reply to 30 is now waiting
        rig.transport.setReplyDelayMs(0);
        rig.link.connectionCheck();
        rig.setText1(0, "31");
        // An operation gives the display that stopped answering its one more try.
        const Exchanger::Operation operation(rig.link);
        QVERIFY(rig.read().ok());
        QCOMPARE(rig.fields().mid(0, 4), QStringList({"11", "22", "33", "44"}));
        QCOMPARE(rig.transport.pendingReplies(), 0);
        const QString drained = QStringLiteral(" Late input report discarded: 42 43 49 50");
        bool logged = false;
        for (const QString& line : rig.log())
            logged = logged || line.startsWith(drained);
        QVERIFY(logged);
        QVERIFY(rig.log().indexOf(QRegularExpression("^ Late input report"))
                < rig.log().indexOf("WriteFile"));
        // 30 written, the late reply drained, 31 written, its answer read: each seen by the observer.
        QCOMPARE(seen.size(), std::size_t(4));
        QCOMPARE(seen[0].output, true);
        QCOMPARE(seen[1].output, false);
        QCOMPARE(seen[1].bytes.at(1), uint8_t(0x42));
        QCOMPARE(seen[2].output, true);
        QCOMPARE(seen[2].bytes.at(1), uint8_t(0x31));
        QCOMPARE(seen[3].output, false);
        QCOMPARE(seen[3].bytes.at(1), uint8_t(0x11));
    }

    void reportLengths_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("output");
        QTest::addColumn<bool>("accepted");
        QTest::addRow("65/65") << 65 << 65 << true;
        QTest::addRow("short input") << 64 << 65 << false;
        QTest::addRow("short output") << 65 << 64 << false;
        QTest::addRow("both long") << 66 << 66 << false;
        QTest::addRow("no report ID byte") << 64 << 64 << false;
    }

    void reportLengths()
    {
        QFETCH(int, input);
        QFETCH(int, output);
        QFETCH(bool, accepted);
        Rig rig(false);
        rig.transport.setReportLengths({input, output});
        rig.link.connectionCheck();
        QCOMPARE(rig.link.deviceFound(), accepted);
        QCOMPARE(rig.link.state(), accepted ? LinkState::Connected : LinkState::Waiting);
        QCOMPARE(rig.transport.openHandles(), accepted ? 2 : 0);
        QCOMPARE(rig.log().contains(QStringLiteral("  Input Report Byte Length: %1").arg(input)), true);
        QCOMPARE(rig.log().last() == QStringLiteral(" Device not found."), !accepted);
        rig.setText1(0, "30");
        QCOMPARE(rig.read().ok(), accepted);
        QCOMPARE(rig.transport.outputReports().size(), std::size_t(accepted ? 1 : 0));
    }

    void closeLink_data()
    {
        QTest::addColumn<bool>("displayOpen");
        QTest::addRow("display open") << true;
        QTest::addRow("never opened") << false;
    }

    void closeLink()
    {
        QFETCH(bool, displayOpen);
        Rig rig(displayOpen);
        QCOMPARE(rig.transport.openHandles(), displayOpen ? 2 : 0);
        rig.link.CloseLink();
        QCOMPARE(rig.transport.openHandles(), 0);
        const QStringList log = rig.log();
        CHECK_IN_ORDER(log, QStringList({"CloseHandle (HIDHandle)", "CloseHandle (ReadHandle)"}));
        QCOMPARE(log.last().startsWith("  Result = "), true);
        // Nothing goes out on closed handles.
        rig.setText1(0, "30");
        QVERIFY(!rig.write().ok());
        QVERIFY(rig.transport.record().empty());
    }
};

QTEST_GUILESS_MAIN(TestLinkExchange)
#include "test_link_exchange.moc"
