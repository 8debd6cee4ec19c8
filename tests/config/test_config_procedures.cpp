// The read and programming procedures on a form without widgets (as the command line uses them),
// against the emulated display.
#include <QtTest>

#include "common/dialogs.h"
#include "common/main_services.h"
#include "config/config_form.h"
#include "config/config_procedures.h"
#include "config/settings_codec.h"
#include "emulator/emulated_display.h"
#include "link/link.h"

using namespace trivo;

namespace {

// A form that records every progress value it is shown.
class RecordingForm : public PlainConfigForm {
public:
    QList<int> values;
    void setProgress(int value, int maximum) override
    {
        PlainConfigForm::setProgress(value, maximum);
        values << value;
    }
};

struct Rig {
    EmulatedTransport transport;
    Link link{transport};
    ScriptedDialogs dialogs;
    PlainMainServices main;
    RecordingForm form;
    Rig()
    {
        transport.plug(true);
        link.DETECT_CON_Timer();
        link.setReadTimeoutMs(50);
    }
};

bool ascending(const QList<int>& values)
{
    for (int i = 1; i < values.size(); ++i)
        if (values[i] < values[i - 1])
            return false;
    return true;
}

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
    QTest::newRow("bad letter, totaliser byte") << QByteArray("\x42\x43\x48\x54", 4) << 0 << 1 << false << 1;
    QTest::newRow("bad mode byte") << QByteArray("\x42\x43\x49\x51", 4) << 0 << 0 << false << 1;
}

void TestConfigProcedures::readLaysOutTheModeOnce()
{
    QFETCH(QByteArray, head);
    QFETCH(int, initP);
    QFETCH(int, initT);
    QFETCH(bool, valid);
    QFETCH(int, bar);
    Rig rig;
    rig.transport.display().setSignature(uint8_t(head[0]), uint8_t(head[1]), uint8_t(head[2]), uint8_t(head[3]));
    const ReadOutcome outcome = readParameters(rig.link, rig.dialogs, rig.main, rig.form);
    QCOMPARE(outcome, valid ? ReadOutcome::Done : ReadOutcome::InvalidBlock);
    QCOMPARE(rig.form.initPCalls, initP);
    QCOMPARE(rig.form.initTCalls, initT);
    QCOMPARE(rig.form.progressValue, bar);
    QCOMPARE(rig.form.progressMaximum, 18);
    QVERIFY(ascending(rig.form.values));
    QCOMPARE(rig.dialogs.messages.size(), valid ? 0 : 1);
    QCOMPARE(rig.main.panel2, valid ? kReadDone : QString());
    if (valid) {
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
    QTest::newRow("unplugged") << "unplugged";
    QTest::newRow("silent") << "silent";
}

void TestConfigProcedures::readWithTheDisplayAway()
{
    QFETCH(QString, fault);
    Rig rig;
    if (fault == "unplugged") {
        rig.transport.plug(false);
        rig.link.DETECT_CON_Timer();
    } else {
        rig.transport.setSilent(true);
    }
    const FormState before = rig.form.state;
    QCOMPARE(readParameters(rig.link, rig.dialogs, rig.main, rig.form), ReadOutcome::InvalidBlock);
    QCOMPARE(rig.form.state, before);
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages.front().text, kInvalidBlock);
    QCOMPARE(rig.form.progressValue, 1);
}

void TestConfigProcedures::programmingProgress()
{
    Rig rig;
    rig.form.state.Check_C = kUnchecked;
    const ProgramResult result = programParameters(rig.link, rig.dialogs, rig.main, rig.form);
    QCOMPARE(result.outcome, ProgramOutcome::Done);
    QCOMPARE(rig.form.progressValue, 25);
    QCOMPARE(rig.form.progressMaximum, 25);
    QCOMPARE(rig.form.values.front(), 0);
    QVERIFY(ascending(rig.form.values));
    QCOMPARE(rig.transport.outputReports().size(), std::size_t(1 + 28));
    QCOMPARE(rig.main.panel2, kProgramDone);
}

void TestConfigProcedures::directCommandSendsTheTag()
{
    Rig rig;
    rig.transport.display().totaliser = 1234;
    QVERIFY(sendDirectCommand(rig.link, QStringLiteral("35")));
    QCOMPARE(int(rig.transport.outputReports().back()[1]), 0x35);
    QCOMPARE(rig.transport.display().totaliser, rig.transport.display().word(2));
    rig.transport.plug(false);
    rig.link.DETECT_CON_Timer();
    QVERIFY(!sendDirectCommand(rig.link, QStringLiteral("38")));
}

QTEST_GUILESS_MAIN(TestConfigProcedures)
#include "test_config_procedures.moc"
