// The emulated display's fault catalogue: each fault starts at the exchange it is injected for and shows
// on the wire as it should; the names the command line and the menu use.
#include <QTest>

#include "emulator/emulated_display.h"
#include "emulator/faults.h"

using namespace trivo;

namespace {

using Bytes = std::vector<uint8_t>;

// One exchange as the link makes it: a parameter read written, its reply awaited up to 6 s. Written as
// "w<count> <outcome> [n<bytes> id<report ID> <first data bytes>] +<ms waited> q<replies left>".
QString exchange(EmulatedTransport& t, HidTransport::Handle h)
{
    Bytes request(65, 0);
    request[1] = 0x30;
    const long long before = t.clockMs();
    const int written = t.write(h, request.data(), request.size());
    Bytes reply(65, 0xEE);
    std::size_t n = 0;
    const auto status = t.read(h, reply.data(), reply.size(), 6000, n);
    QString text = QStringLiteral("w%1 ").arg(written);
    if (status == HidTransport::ReadStatus::Completed) {
        text += QStringLiteral("ok n%1 id%2 ").arg(n).arg(reply[0], 2, 16, QLatin1Char('0'));
        for (std::size_t i = 1; i < std::min<std::size_t>(n, 5); ++i)
            text += QStringLiteral("%1").arg(reply[i], 2, 16, QLatin1Char('0')).toUpper();
        text += QLatin1Char(' ');
    } else {
        text += status == HidTransport::ReadStatus::TimedOut ? QStringLiteral("timeout ") : QStringLiteral("error ");
    }
    return text + QStringLiteral("+%1 q%2").arg(t.clockMs() - before).arg(t.pendingReplies());
}

const QString kNormal = QStringLiteral("w65 ok n65 id00 42434950 +0 q0");

}  // namespace

Q_DECLARE_METATYPE(Fault)

class TestEmulatorFaults : public QObject {
    Q_OBJECT
private slots:
    void everyFaultStartsAtItsExchange_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("at");
        QTest::addColumn<QString>("faulty");  // what exchanges k and k + 1 show
        const struct {
            Fault fault;
            const char* shows;
        } rows[] = {
            {Fault::Silent, "w65 timeout +6000 q0"},
            {Fault::SlowReply, "w65 ok n65 id00 42434950 +2000 q0"},
            // The reply comes a second after the read gave up: the next exchange gets it first.
            {Fault::LateReply, "w65 timeout +6000 q1"},
            {Fault::FailingWrite, "w-1 timeout +6000 q0"},
            {Fault::ShortWrite, "w30 timeout +6000 q0"},
            {Fault::ReadError, "w65 error +0 q0"},
            {Fault::ShortReply, "w65 ok n3 id00 4243 +0 q0"},
            {Fault::WrongSignature, "w65 ok n65 id00 FFFFFFFF +0 q0"},
            {Fault::WrongReply, "w65 ok n65 id00 FFFFFFFF +0 q0"},
            {Fault::Unplugged, "w-1 error +0 q0"},
        };
        for (const auto& row : rows)
            for (int at : {0, 3})
                QTest::addRow("%s at %d", faultInfo(row.fault).name, at)
                    << row.fault << at << QString::fromLatin1(row.shows);
    }

    void everyFaultStartsAtItsExchange()
    {
        QFETCH(Fault, fault);
        QFETCH(int, at);
        QFETCH(QString, faulty);
        EmulatedTransport t;
        const auto h = t.open(EmulatedTransport::kDisplayPath);
        QCOMPARE(exchange(t, h), kNormal);  // what came before the injection does not count
        t.injectFault(fault, at);
        QVERIFY(t.hasFault(fault));
        for (int k = 0; k < at; ++k)
            QCOMPARE(exchange(t, h), kNormal);
        QCOMPARE(exchange(t, h), faulty);
        if (fault == Fault::LateReply)
            return;                        // the next exchange reads the late reply: shown by the link's tests
        QCOMPARE(exchange(t, h), faulty);  // the fault lasts
    }

    void faultsEndWhenRemoved_data()
    {
        QTest::addColumn<Fault>("fault");
        for (const FaultInfo& info : faultCatalogue())
            if (info.fault != Fault::Unplugged && info.fault != Fault::RefuseOpen && info.fault != Fault::LateReply)
                QTest::newRow(info.name) << info.fault;
    }

    void faultsEndWhenRemoved()
    {
        QFETCH(Fault, fault);
        EmulatedTransport t;
        const auto h = t.open(EmulatedTransport::kDisplayPath);
        t.injectFault(fault);
        QVERIFY(exchange(t, h) != kNormal);
        t.removeFault(fault);
        QVERIFY(!t.hasFault(fault));
        QCOMPARE(exchange(t, h), kNormal);
    }

    // Either every open of a display fails, or only the n-th attempt since the fault started.
    void refusedOpens_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("param");
        QTest::addColumn<QString>("opens");  // "+" opened, "-" refused, for five attempts
        QTest::newRow("every open") << 0 << 0 << "-----";
        QTest::newRow("the second attempt") << 0 << 2 << "+-+++";
        QTest::newRow("every open after two reports") << 2 << 0 << "++---";
    }

    void refusedOpens()
    {
        QFETCH(int, at);
        QFETCH(int, param);
        QFETCH(QString, opens);
        EmulatedTransport t;
        const auto h = t.open(EmulatedTransport::kDisplayPath);
        t.injectFault(Fault::RefuseOpen, at, param);
        QString seen;
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (attempt == 2)  // the reports the fault waits for go out between the second and third attempt
                for (int k = 0; k < at; ++k)
                    QCOMPARE(exchange(t, h), kNormal);
            const auto opened = t.open(EmulatedTransport::kDisplayPath);
            seen += opened != 0 ? QLatin1Char('+') : QLatin1Char('-');
            if (opened == 0)
                QCOMPARE(t.lastError(), std::string("Permission denied"));
        }
        QCOMPARE(seen, opens);
    }

    void namesRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        for (const FaultInfo& info : faultCatalogue())
            if (info.fault != Fault::Unplugged)
                QTest::newRow(info.name) << QString::fromLatin1(info.name) << true;
        QTest::newRow("unplug after 7") << "debranche:7" << true;
        QTest::newRow("unplug at once") << "debranche:0" << true;
        QTest::newRow("negative count") << "debranche:-1" << false;
        QTest::newRow("count not a number") << "debranche:x" << false;
        QTest::newRow("a count on another fault") << "muet:3" << false;
        QTest::newRow("unknown") << "cassé" << false;
        QTest::newRow("upper case") << "MUET" << false;
        QTest::newRow("empty") << "" << false;
    }

    void namesRoundTrip()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const std::optional<FaultSpec> spec = parseFault(text);
        QCOMPARE(spec.has_value(), valid);
        if (valid)
            QCOMPARE(faultText(*spec), text);
    }

    void catalogueNamesEveryFaultOnce()
    {
        QSet<QString> names;
        QSet<QString> captions;
        for (const FaultInfo& info : faultCatalogue()) {
            names << QString::fromLatin1(info.name);
            captions << QString::fromUtf8(info.caption);
            // The menus show the caption through faultCaption(): in French, the catalogue's own.
            QCOMPARE(faultCaption(info.fault), QString::fromUtf8(info.caption));
            QCOMPARE(faultNamed(QString::fromLatin1(info.name)), std::optional<Fault>(info.fault));
            QCOMPARE(faultInfo(info.fault).name, info.name);
        }
        QCOMPARE(names.size(), int(faultCatalogue().size()));
        QCOMPARE(captions.size(), int(faultCatalogue().size()));
        QCOMPARE(int(faultCatalogue().size()), int(Fault::RefuseOpen) + 1);
    }

    void shorthandsAreCatalogueFaults()
    {
        EmulatedTransport t;
        t.setSilent(true);
        t.setFailWrites(true);
        t.setReplyDelayMs(500);
        t.unplugAfterReports(4);
        for (Fault f : {Fault::Silent, Fault::FailingWrite, Fault::SlowReply, Fault::Unplugged})
            QVERIFY(t.hasFault(f));
        t.setSilent(false);
        t.setFailWrites(false);
        t.unplugAfterReports(-1);
        const auto h = t.open(EmulatedTransport::kDisplayPath);
        QCOMPARE(exchange(t, h), QStringLiteral("w65 ok n65 id00 42434950 +500 q0"));
        t.setReplyDelayMs(0);
        for (const FaultInfo& info : faultCatalogue())
            QVERIFY2(!t.hasFault(info.fault), info.name);
    }

    // Clearing ends the faults to come, not an unplug that already happened.
    void clearFaults()
    {
        EmulatedTransport t;
        const auto h = t.open(EmulatedTransport::kDisplayPath);
        t.injectFault(Fault::Unplugged, 1);
        QCOMPARE(exchange(t, h), kNormal);
        QVERIFY(!t.plugged());
        t.injectFault(Fault::Silent);
        t.injectFault(Fault::WrongReply, 5);
        t.clearFaults();
        for (const FaultInfo& info : faultCatalogue())
            QVERIFY2(!t.hasFault(info.fault), info.name);
        QVERIFY(!t.plugged());
        t.plug(true);
        QCOMPARE(exchange(t, t.open(EmulatedTransport::kDisplayPath)), kNormal);
    }

    void numberedInputReports()
    {
        EmulatedTransport t;
        t.setInputReportId(7);
        t.injectFault(Fault::WrongReply, 0, 0x07);
        const auto h = t.open(EmulatedTransport::kDisplayPath);
        QCOMPARE(exchange(t, h), QStringLiteral("w65 ok n65 id07 07070707 +0 q0"));
    }
};

QTEST_GUILESS_MAIN(TestEmulatorFaults)
#include "test_emulator_faults.moc"
