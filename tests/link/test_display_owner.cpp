// The display's owner: every exchange on its own I/O thread, operations one at a time in the order asked,
// results back on the asking thread, the connection check held off by an operation, cancelling between two
// exchanges, and one program at a time on a display.
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <numeric>

#include "common/language.h"
#include "emulator/emulated_display.h"
#include "link/commands.h"
#include "link/display_claim.h"
#include "link/display_owner.h"
#include "support/rig.h"

using namespace trivo;

namespace {

// The emulated display, telling on which thread each call came.
class ThreadWatch final : public EmulatedTransport {
public:
    std::atomic<int> onTestThread{0};
    std::atomic<int> calls{0};
    int write(Handle h, const uint8_t* data, std::size_t length) override
    {
        note();
        return EmulatedTransport::write(h, data, length);
    }
    ReadStatus read(Handle h, uint8_t* buffer, std::size_t length, int timeoutMs, std::size_t& got) override
    {
        note();
        return EmulatedTransport::read(h, buffer, length, timeoutMs, got);
    }
    std::vector<HidInterfaceInfo> enumerate() override
    {
        note();
        return EmulatedTransport::enumerate();
    }

private:
    void note()
    {
        ++calls;
        if (QThread::currentThread() == QCoreApplication::instance()->thread())
            ++onTestThread;
    }
};

struct Owned {
    ThreadWatch transport;
    DisplayOwner owner{transport};
    Owned()
    {
        owner.setReadTimeoutMs(50);
        owner.DETECT_CON_Timer();
        test::settle(owner);
    }
};

// An operation of several exchanges: the register reads it was asked for, stopping at the first one refused.
std::function<int(Exchanger&, Progress&)> reads(int count)
{
    return [count](Exchanger& link, Progress& progress) {
        progress.begin(count, QString());
        int done = 0;
        while (done < count && link.ask(commands::registersRead()).ok())
            progress.advance(++done);
        progress.end();
        return done;
    };
}

// Three register reads, held on the I/O thread after the first until the test lets them go on: the test
// knows where each operation stands without waiting for time.
std::function<int(Exchanger&, Progress&)> heldReads(QSemaphore& held, QSemaphore& goOn)
{
    return [&held, &goOn](Exchanger& link, Progress& progress) {
        const int first = link.ask(commands::registersRead()).ok() ? 1 : 0;
        held.release();
        goOn.acquire();
        return first + reads(2)(link, progress);
    };
}

class Steps final : public Progress {
public:
    QStringList seen;
    void begin(int maximum, const QString&) override { seen << QStringLiteral("begin %1").arg(maximum); }
    void advance(int value, const QString&) override { seen << QStringLiteral("at %1").arg(value); }
    void end() override { seen << QStringLiteral("end"); }
};

}  // namespace

class TestDisplayOwner : public QObject {
    Q_OBJECT

private slots:
    // The test's thread stands for the windows' one: it never reaches the transport, whatever it asks.
    void onlyTheIoThreadTouchesTheDisplay()
    {
        Owned o;
        QCOMPARE(o.owner.state(), LinkState::Connected);
        QList<int> order;
        QSignalSpy busy(&o.owner, &DisplayOwner::busyChanged);
        for (int n : {3, 1, 2})
            o.owner.run<int>(this, reads(n), [&order](const int& done) { order << done; });
        QVERIFY(o.owner.busy());
        QVERIFY(order.isEmpty());  // nothing comes back before the event loop runs
        QVERIFY(test::settle(o.owner));
        QCOMPARE(order, QList<int>({3, 1, 2}));
        QCOMPARE(busy.count(), 2);  // busy once for the three, idle once after the last result
        QCOMPARE(int(o.transport.outputReports().size()), 6);
        QVERIFY(o.transport.calls > 0);
        QCOMPARE(o.transport.onTestThread.load(), 0);
    }

    // Progress arrives in order on the asking thread, consecutive advances merged into the latest.
    void progressFollows()
    {
        Owned o;
        Steps steps;
        o.owner.run<int>(this, reads(40), {}, &steps);
        QVERIFY(test::settle(o.owner));
        QVERIFY(steps.seen.size() >= 3);
        QCOMPARE(steps.seen.first(), QStringLiteral("begin 40"));
        QCOMPARE(steps.seen.at(steps.seen.size() - 2), QStringLiteral("at 40"));
        QCOMPARE(steps.seen.last(), QStringLiteral("end"));
    }

    // A window that is gone hears nothing, and the owner does not stay busy for it.
    void receiverGoneBeforeTheResult()
    {
        Owned o;
        bool heard = false;
        auto* receiver = new QObject;
        o.owner.run<int>(receiver, reads(2), [&heard](const int&) { heard = true; });
        delete receiver;
        QVERIFY(test::settle(o.owner));
        QVERIFY(!heard);
        QVERIFY(!o.owner.busy());
    }

    // The connection check never comes between an operation's exchanges: it waits for a tick after it.
    void checkWaitsForTheOperation()
    {
        Owned o;
        o.transport.setLatencyMs(2);
        o.owner.run<int>(this, reads(5), {});
        QSignalSpy ticks(&o.owner, &DisplayOwner::monitorTick);
        o.owner.DETECT_CON_Timer();
        QVERIFY(!o.owner.checking());
        QVERIFY(test::settle(o.owner));
        QCOMPARE(ticks.count(), 0);
        o.owner.DETECT_CON_Timer();
        QVERIFY(test::settle(o.owner));
        QCOMPARE(ticks.count(), 1);
    }

    // Every tick reports, not only a change; the state has its text for the status line.
    void checksReportEveryTick_data()
    {
        QTest::addColumn<bool>("plugged");
        QTest::addColumn<LinkState>("state");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<Language>("language");
        QTest::addRow("connected") << true << LinkState::Connected << kConnectedText << Language::French;
        QTest::addRow("waiting") << false << LinkState::Waiting << kWaitingText << Language::French;
        QTest::addRow("connected, in English")
            << true << LinkState::Connected << QStringLiteral(" - TRIVO_ZURED_CONNECTED -") << Language::English;
        QTest::addRow("waiting, in English") << false << LinkState::Waiting
                                             << QStringLiteral("Waiting for a connection. Please connect the TRIVO_ZURED.")
                                             << Language::English;
    }

    void checksReportEveryTick()
    {
        QFETCH(bool, plugged);
        QFETCH(LinkState, state);
        QFETCH(QString, caption);
        QFETCH(Language, language);
        QVERIFY(setLanguage(language));
        const auto french = qScopeGuard([] { setLanguage(Language::French); });
        EmulatedTransport transport;
        transport.plug(plugged);
        DisplayOwner owner(transport);
        QCOMPARE(owner.state(), LinkState::Unknown);
        QSignalSpy ticks(&owner, &DisplayOwner::monitorTick);
        for (int i = 0; i < 3; ++i) {
            owner.DETECT_CON_Timer();
            QVERIFY(test::settle(owner));
        }
        QCOMPARE(ticks.count(), 3);
        for (const auto& args : ticks)
            QCOMPARE(args.at(0).toBool(), plugged);
        QCOMPARE(owner.state(), state);
        QCOMPARE(owner.label3Text(), caption);
    }

    // Cancelled between two exchanges: what was sent stays sent, nothing more goes; an operation asked
    // after it runs whole, and one that must finish ignores the cancel.
    void cancelStopsBetweenExchanges()
    {
        Owned o;
        o.transport.clearRecord();
        o.transport.holdAfterWrites(3);
        int cancelledAt = -1;
        int after = -1;
        int whole = -1;
        const quint64 first = o.owner.run<int>(this, reads(200), [&](const int& n) { cancelledAt = n; });
        o.owner.run<int>(this, reads(3), [&](const int& n) { after = n; });
        const quint64 third = o.owner.run<int>(
            this,
            [](Exchanger& link, Progress& p) {
                const Exchanger::Uncancellable mustFinish(link);
                return reads(3)(link, p);
            },
            [&](const int& n) { whole = n; });
        // Cancelled while its fourth report waits at the transport: three are on the wire.
        QTRY_VERIFY_WITH_TIMEOUT(o.transport.holding(), 20000);
        o.owner.cancel(first);
        o.owner.cancel(third);
        o.transport.release();
        QVERIFY(test::settle(o.owner));
        QVERIFY2(cancelledAt == 3 || cancelledAt == 4, qPrintable(QString::number(cancelledAt)));  // at most the exchange under way went on
        QCOMPARE(after, 3);
        QCOMPARE(whole, 3);
        QCOMPARE(o.transport.outputReports().size(), std::size_t(cancelledAt + 6));
    }

    // A cancel reaches the operation it names and no other, wherever the I/O thread stands: the first three
    // operations asked are of three exchanges, one of them held after its first; the cancel comes while it is
    // held, and a fourth operation asked after the cancel runs whole.
    void cancelReachesItsOperationOnly_data()
    {
        QTest::addColumn<int>("held");       // which of the three is held
        QTest::addColumn<int>("cancelled");  // which one is cancelled (0: all, cancelAll)
        QTest::addColumn<QList<int>>("exchanges");
        QTest::addRow("waiting its turn") << 1 << 2 << QList<int>{3, 0, 3, 3};
        QTest::addRow("under way") << 2 << 2 << QList<int>{3, 1, 3, 3};
        // The first has ended on the I/O thread, its result not yet delivered: its window still asks.
        QTest::addRow("ended, the next under way") << 2 << 1 << QList<int>{3, 3, 3, 3};
        QTest::addRow("every one asked") << 2 << 0 << QList<int>{3, 1, 0, 3};
    }

    void cancelReachesItsOperationOnly()
    {
        QFETCH(int, held);
        QFETCH(int, cancelled);
        QFETCH(QList<int>, exchanges);
        Owned o;
        o.transport.clearRecord();
        QSemaphore isHeld, goOn;
        QList<int> done(4, -1);
        QList<quint64> numbers;
        for (int i = 0; i < 3; ++i)
            numbers << o.owner.run<int>(this, i + 1 == held ? heldReads(isHeld, goOn) : reads(3),
                                        [&done, i](const int& n) { done[i] = n; });
        isHeld.acquire();  // no event is handled meanwhile: every result is still on its way
        cancelled == 0 ? o.owner.cancelAll() : o.owner.cancel(numbers[cancelled - 1]);
        o.owner.run<int>(this, reads(3), [&done](const int& n) { done[3] = n; });
        goOn.release();
        QVERIFY(test::settle(o.owner));
        QCOMPARE(done, exchanges);
        QCOMPARE(int(o.transport.outputReports().size()), std::accumulate(done.begin(), done.end(), 0));
    }

    // A display held by another program is not opened: the status line says who has it, the exchanges
    // send nothing, and once it is free the next check takes it.
    void displayHeldElsewhere()
    {
        QTemporaryDir nodes;  // the emulated display's relative path names a file of ours: its node
        const QString here = QDir::currentPath();
        QVERIFY(QDir::setCurrent(nodes.path()) && QFile(EmulatedTransport::kDisplayPath).open(QIODevice::WriteOnly));
        EmulatedTransport transport;
        DisplayClaim other;  // another program's claim: a lock of its own on the same node
        QVERIFY(other.claim(EmulatedTransport::kDisplayPath).taken());
        DisplayOwner owner(transport);
        owner.setClaims(true);
        owner.DETECT_CON_Timer();
        QVERIFY(test::settle(owner));
        QCOMPARE(owner.state(), LinkState::Waiting);
        QVERIFY2(owner.label3Text().startsWith(QStringLiteral("Afficheur déjà utilisé par ")),
                 qPrintable(owner.label3Text()));
        QVERIFY(owner.label3Text().endsWith(QStringLiteral("(pid %1).").arg(QCoreApplication::applicationPid())));
        Reply reply;
        owner.run<Reply>(this, [](Exchanger& link, Progress&) { return link.ask(commands::parameterRead0()); },
                         [&reply](const Reply& r) { reply = r; });
        QVERIFY(test::settle(owner));
        QCOMPARE(reply.outcome, ExchangeOutcome::AlreadyUsed);
        QVERIFY(transport.outputReports().empty());
        QCOMPARE(transport.openHandles(), 0);

        other.release();
        owner.DETECT_CON_Timer();
        QVERIFY(test::settle(owner));
        QCOMPARE(owner.state(), LinkState::Connected);
        QVERIFY(!other.claim(EmulatedTransport::kDisplayPath).taken());  // now ours
        owner.CloseLink();
        QVERIFY(test::settle(owner));
        QVERIFY(other.claim(EmulatedTransport::kDisplayPath).taken());  // and given up with the link
        QVERIFY(QDir::setCurrent(here));
    }
};

QTEST_GUILESS_MAIN(TestDisplayOwner)
#include "test_display_owner.moc"
