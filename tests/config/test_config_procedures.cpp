// The read and programming procedures on a form without widgets (as the command line uses them),
// against the emulated display.
#include <QtTest>

#include "config/config_form.h"
#include "config/config_procedures.h"
#include "config/settings_codec.h"
#include "emulator/emulated_display.h"
#include "link/exchanger.h"
#include "link/display_owner.h"
#include "support/rig.h"

using namespace trivo;

Q_DECLARE_METATYPE(trivo::ExchangeOutcome)

namespace {

struct ProcedureRig : test::Rig {
    PlainConfigForm form;
    test::RecordingProgress progress;
};

}  // namespace

class TestConfigProcedures : public QObject {
    Q_OBJECT
private slots:
    void readLaysOutTheModeOnce_data();
    void readLaysOutTheModeOnce();
    void readWithTheDisplayAway_data();
    void readWithTheDisplayAway();
    void programmingProgress();
    void directCommandSendsTheTag();
};

void TestConfigProcedures::readLaysOutTheModeOnce_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<int>("initP");
    QTest::addColumn<int>("initT");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("bar");
    QTest::newRow("production") << QByteArray("\x42\x43\x49\x50", 4) << 1 << 0 << true << 18;
    QTest::newRow("totaliser") << QByteArray("\x42\x43\x49\x54", 4) << 0 << 1 << true << 18;
    QTest::newRow("bad letter, totaliser byte") << QByteArray("\x42\x43\x48\x54", 4) << 0 << 0 << false << 1;
    QTest::newRow("bad letter, production byte") << QByteArray("\x41\x43\x49\x50", 4) << 0 << 0 << false << 1;
    QTest::newRow("bad mode byte") << QByteArray("\x42\x43\x49\x51", 4) << 0 << 0 << false << 1;
}

void TestConfigProcedures::readLaysOutTheModeOnce()
{
    QFETCH(QByteArray, head);
    QFETCH(int, initP);
    QFETCH(int, initT);
    QFETCH(bool, valid);
    QFETCH(int, bar);
    ProcedureRig rig;
    rig.transport.display().setSignature(uint8_t(head[0]), uint8_t(head[1]), uint8_t(head[2]), uint8_t(head[3]));
    const FormState before = rig.form.state;
    const OperationResult result = readParameters(rig.link, rig.form, rig.progress);
    QCOMPARE(result.outcome, valid ? Outcome::Done : Outcome::InvalidBlock);
    QCOMPARE(rig.form.initPCalls, initP);
    QCOMPARE(rig.form.initTCalls, initT);
    QCOMPARE(rig.progress.last(), bar);
    QCOMPARE(rig.progress.maximum, 18);
    QVERIFY(rig.progress.ascending());
    QCOMPARE(rig.progress.ends, 0);
    QCOMPARE(result.box.text, valid ? QString() : kInvalidBlock);
    QCOMPARE(result.box.icon, valid ? MsgIcon::None : MsgIcon::Critical);
    QCOMPARE(result.status, valid ? kReadDone : QString());
    if (!valid) {
        // All or nothing: a refused reply leaves the form exactly as it was, mode layout included.
        QCOMPARE(rig.form.state, before);
    } else {
        FormState expected;
        if (initT)
            applyTotaliserLayout(expected);
        else
            applyProductionLayout(expected);
        ParameterBlock block{};
        std::copy(rig.transport.display().block.begin(), rig.transport.display().block.end(), block.begin());
        settingsToForm(decodeBlock(block), expected);
        QCOMPARE(rig.form.state, expected);
    }
}

void TestConfigProcedures::readWithTheDisplayAway_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<ExchangeOutcome>("exchange");
    QTest::newRow("unplugged") << "unplugged" << ExchangeOutcome::Unplugged;
    QTest::newRow("silent") << "silent" << ExchangeOutcome::TimedOut;
}

void TestConfigProcedures::readWithTheDisplayAway()
{
    QFETCH(QString, fault);
    QFETCH(ExchangeOutcome, exchange);
    ProcedureRig rig;
    if (fault == "unplugged")
        rig.plug(false);
    else
        rig.transport.setSilent(true);
    const FormState before = rig.form.state;
    const OperationResult result = readParameters(rig.link, rig.form, rig.progress);
    // Told as a display that did not answer, not as one whose block is wrong.
    QCOMPARE(result.outcome, Outcome::LinkLost);
    QCOMPARE(result.exchange, exchange);
    QCOMPARE(rig.form.state, before);
    QCOMPARE(result.box.title, kReadLostTitle);
    QCOMPARE(result.box.text, exchangeOutcomeText(exchange) + kReadUnchangedLine);
    QCOMPARE(rig.progress.last(), 1);
}

void TestConfigProcedures::programmingProgress()
{
    ProcedureRig rig;
    rig.form.state.Check_C = kUnchecked;
    const ProgramResult result = programParameters(rig.link, rig.form.state, rig.progress);
    QCOMPARE(result.outcome, Outcome::Done);
    QCOMPARE(rig.progress.begins, 1);
    QCOMPARE(rig.progress.last(), 25);
    QCOMPARE(rig.progress.maximum, 25);
    QVERIFY(rig.progress.values.front() > 0);
    QVERIFY(rig.progress.ascending());
    QCOMPARE(rig.transport.outputReports().size(), std::size_t(1 + 28));
    QCOMPARE(result.status, kProgramDone);
}

void TestConfigProcedures::directCommandSendsTheTag()
{
    ProcedureRig rig;
    rig.transport.display().totaliser = 1234;
    QVERIFY(sendDirectCommand(rig.link, commands::DirectAction::ResetTotal).ok());
    QCOMPARE(int(rig.transport.outputReports().back()[1]), 0x35);
    QCOMPARE(rig.transport.display().totaliser, rig.transport.display().word(2));
    rig.plug(false);
    const OperationResult refused = sendDirectCommand(rig.link, commands::DirectAction::Restart);
    QCOMPARE(refused.outcome, Outcome::LinkLost);
    QCOMPARE(refused.box.text, kCommandLostText);
}

QTEST_GUILESS_MAIN(TestConfigProcedures)
#include "test_config_procedures.moc"
