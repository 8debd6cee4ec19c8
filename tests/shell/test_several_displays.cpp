// Several displays on the windows: the one chosen in the status bar is the one the windows read and
// program; unplugging another does not disturb it, and unplugging it does not move the windows to another.
#include <QComboBox>
#include <QtTest>

#include "configwindow/config_window.h"
#include "link/display_owner.h"
#include "shell/main_window_rig.h"

using namespace trivo;

class TestSeveralDisplays : public QObject {
    Q_OBJECT

private slots:
    void windowsStayOnTheChosenDisplay()
    {
        test::MainWindowRig f;
        const int second = f.transport.addDisplay();
        f.transport.display(0).setWord(1, 111);
        f.transport.display(second).setWord(1, 222);
        f.main.enableSimulation(f.transport);
        f.main.MDIForm_Load();
        f.tick();  // the first connection opens the configuration window, which reads the first display
        ConfigWindow* cp = f.main.configWindow();
        QVERIFY(cp);
        QCOMPARE(cp->formState().REG_V[0], QStringLiteral("111"));
        QComboBox* chooser = f.main.displayChooser();
        QCOMPARE(chooser->count(), 2);
        QVERIFY(chooser->itemText(1).contains(QString::fromStdString(EmulatedTransport::serialOf(second))));

        f.main.chooseDisplay(QStringLiteral("emulated:display2"));
        QVERIFY(f.settled());
        cp->LIRE_PARAM();
        QVERIFY(f.settled());
        QCOMPARE(cp->formState().REG_V[0], QStringLiteral("222"));

        // The first display goes: the windows, on the second, carry on.
        f.choose(QStringLiteral("MENU_SIM_BRANCHE"));
        f.tick();
        QCOMPARE(f.owner.state(), LinkState::Connected);
        FormState edited = cp->formState();
        edited.REG_V[0] = QStringLiteral("333");
        cp->applyFormState(edited);
        cp->PROG_PARAM();
        QVERIFY(f.settled());
        QCOMPARE(f.transport.display(second).word(1), 333);
        QCOMPARE(f.transport.display(0).word(1), 111);
        QCOMPARE(chooser->currentData().toString(), QStringLiteral("emulated:display2"));

        // The chosen display goes: the status says so, and nothing moves to the first one, plugged back in.
        f.choose(QStringLiteral("MENU_SIM_BRANCHE"));
        f.choose(QStringLiteral("MENU_SIM_BRANCHE_2"));
        f.tick();
        QCOMPARE(f.owner.state(), LinkState::Waiting);
        QCOMPARE(f.main.panel1Text(), kChosenGoneText.arg(QStringLiteral("emulated:display2")));
        QCOMPARE(chooser->currentData().toString(), QStringLiteral("emulated:display2"));
        f.transport.clearRecord();
        f.dialogs.expect();  // the read is refused: the display is away
        cp->LIRE_PARAM();
        QVERIFY(f.settled());
        QVERIFY(f.transport.outputReports().empty());
    }
};

QTEST_MAIN(TestSeveralDisplays)
#include "test_several_displays.moc"
