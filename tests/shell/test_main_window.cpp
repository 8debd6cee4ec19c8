// The main window's reaction to the connection monitor, its caption and its shutdown path.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QtTest>

#include "common/dialogs.h"
#include "common/ui/twips.h"
#include "configwindow/config_window.h"
#include "emulator/emulated_display.h"
#include "emulator/faults.h"
#include "link/exchanger.h"
#include "link/display_owner.h"
#include "registers/ui/registers_window.h"
#include "screen/ui/screen_window.h"
#include "shell/emulated_panel_view.h"
#include "shell/main_window.h"
#include "shell/usb_window.h"
#include "support/screenshots.h"
#include "support/settings_sandbox.h"

using namespace trivo;

namespace {
struct Fixture {
    EmulatedTransport transport;
    Link link{transport};
    ScriptedDialogs dialogs;
    MainWindow main{link, dialogs};
    int exits = 0;

    Fixture()
    {
        transport.plug(false);
        main.setExitHandler([this] { ++exits; });
        main.show();
        main.MDIForm_Load();
        // The monitor is driven by hand: no test waits for the one-second timer.
        link.stopMonitor();
    }
    int configWindows() const
    {
        int n = 0;
        for (auto* sub : main.mdiArea()->subWindowList())
            if (qobject_cast<ConfigWindow*>(sub->widget()))
                ++n;
        return n;
    }
};
}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::sandboxSettings(); }

    void captionCarriesTheVersion_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("caption");
        QTest::newRow("2.3.45") << 2 << 3 << 45 << " TRIVO ZURED Zirevive 2.3.45";
        QTest::newRow("1.00.0018") << 1 << 0 << 18 << " TRIVO ZURED Zirevive 1.0.18";
    }
    void captionCarriesTheVersion()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, caption);
        QCOMPARE(MainWindow::captionForVersion(major, minor, revision), caption);
    }

    void startsWaitingWithTheLinkWindowMinimised()
    {
        Fixture f;
        QVERIFY(f.main.windowTitle().startsWith(QStringLiteral(" TRIVO ZURED Zirevive ")));
        QCOMPARE(f.main.panel1Text(), QStringLiteral("Connectez votre TRIVO ZURED COMPTEUR."));
        QVERIFY(f.main.usbSubWindow()->isVisible());
        QVERIFY(f.main.usbSubWindow()->isMinimized());
        QCOMPARE(f.link.state(), LinkState::Unknown);
        QVERIFY(f.link.findChild<QTimer*>(QStringLiteral("DETECT_CON"))->interval() == 1000);

        f.link.DETECT_CON_Timer();  // no display plugged
        QCOMPARE(f.link.state(), LinkState::Waiting);
        QCOMPARE(f.main.panel1Text(), kWaitingText);
        QCOMPARE(f.main.panel1Picture(), 1);
        QVERIFY(f.main.usbSubWindow()->isVisible());
        QCOMPARE(f.configWindows(), 0);
        QVERIFY(f.main.tag().isEmpty());
        QVERIFY(f.main.property("Tag").toString().isEmpty());
    }

    void plugUnplugPlug()
    {
        Fixture f;
        f.transport.plug(true);
        f.link.DETECT_CON_Timer();
        QCOMPARE(f.link.state(), LinkState::Connected);
        QCOMPARE(f.link.label3Text(), QStringLiteral(" - TRIVO_ZURED_CONNECTÉ -"));
        QCOMPARE(f.main.panel1Text(), kConnectedText);
        QCOMPARE(f.main.panel1Picture(), 3);
        QVERIFY(!f.main.usbSubWindow()->isVisible());
        QCOMPARE(f.configWindows(), 1);
        QCOMPARE(f.main.tag(), QStringLiteral("ON"));
        QCOMPARE(f.main.property("Tag").toString(), QStringLiteral("ON"));
        auto* sub = f.main.subWindowOf(f.main.configWindow());
        QVERIFY(sub);
        QCOMPARE(sub->pos(), QPoint(twipsToPixels(50, &f.main), twipsToPixels(50, &f.main)));
        // Its load read the configuration from the display.
        QVERIFY(f.transport.display().requests(0x30) >= 1);

        f.transport.plug(false);
        f.link.DETECT_CON_Timer();
        QCOMPARE(f.link.state(), LinkState::Waiting);
        QCOMPARE(f.link.label3Text(), kWaitingText);
        QCOMPARE(f.main.panel1Text(), kWaitingText);
        QCOMPARE(f.main.panel1Picture(), 1);
        QVERIFY(f.main.usbSubWindow()->isVisible());
        // The operator's configuration window survives a loose cable, on every waiting tick.
        f.link.DETECT_CON_Timer();
        QCOMPARE(f.configWindows(), 1);

        f.transport.plug(true);
        f.link.DETECT_CON_Timer();
        QCOMPARE(f.link.state(), LinkState::Connected);
        QCOMPARE(f.configWindows(), 1);
        QVERIFY(!f.main.usbSubWindow()->isVisible());
    }

    void linkWindowControls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        QTest::newRow("but_WR_HID") << "but_WR_HID"
                                    << "Envoi"
                                    << "Envoi des paramètres couleur au panneau.";
        QTest::newRow("but_RD_HID") << "but_RD_HID"
                                    << "Lire "
                                    << "Lecture EEPROM du panneau.";
        QTest::newRow("but_CLEAR_HID") << "but_CLEAR_HID"
                                       << "efface"
                                       << "";
        QTest::newRow("Command1") << "Command1"
                                  << "Quitter"
                                  << "";
    }
    void linkWindowControls()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, tip);
        Fixture f;
        auto* button = f.main.usbWindow()->findChild<QPushButton*>(name);
        QVERIFY(button);
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->toolTip(), tip);
        QCOMPARE(f.main.findChild<QStatusBar*>(QStringLiteral("StatusBar1"))->toolTip(),
                 QStringLiteral("La connection avec le TRIVO_CT est symbolisée par une diode verte."));
    }

    // The status line's background is the connection flag: white before the first tick, then pure red or green.
    void linkWindowStatusLineColours()
    {
        Fixture f;
        auto* label3 = f.main.usbWindow()->findChild<QLabel*>(QStringLiteral("Label3"));
        auto* label4 = f.main.usbWindow()->findChild<QLabel*>(QStringLiteral("Label4"));
        QVERIFY(label3 && label4);
        QCOMPARE(label3->palette().color(QPalette::Window), QColor(255, 255, 255));
        QVERIFY(label3->text().isEmpty());
        f.link.DETECT_CON_Timer();
        QCOMPARE(label3->palette().color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(label3->text(), QStringLiteral("En attente de connexion. Veuillez connecter le TRIVO_ZURED."));
        f.link.but_WR_HID_Click();
        QCOMPARE(label4->text(), QStringLiteral("IMPOSSIBLE !"));
        f.transport.plug(true);
        f.link.DETECT_CON_Timer();
        QCOMPARE(label3->palette().color(QPalette::Window), QColor(0, 255, 0));
        QCOMPARE(label3->text(), QStringLiteral(" - TRIVO_ZURED_CONNECTÉ -"));
        QCOMPARE(label4->text(), QStringLiteral("Fin de l'envoi ."));  // the configuration window's read
        QCOMPARE(label4->palette().color(QPalette::Window), QColor(0, 255, 0));
    }

    // Exchanges made while the link window is hidden or minimised show in its fields once it is back.
    void linkWindowCatchesUpWhenShownAgain()
    {
        Fixture f;
        UsbWindow* usb = f.main.usbWindow();
        usb->setDetailsShown(true);
        f.transport.plug(true);
        f.link.DETECT_CON_Timer();
        QVERIFY(!usb->isVisible());
        f.link.setText1(0, QStringLiteral("30"));
        QVERIFY(f.link.but_RD_HID_Click());
        f.main.usbSubWindow()->show();
        f.main.usbSubWindow()->showNormal();
        QCOMPARE(usb->findChild<QLineEdit*>(QStringLiteral("Text1(0)"))->text(), QStringLiteral("42"));
        QCOMPARE(usb->findChild<QLineEdit*>(QStringLiteral("Text1(64)"))->text(), QStringLiteral("0"));
        QCOMPARE(usb->findChild<QListWidget*>(QStringLiteral("lstResults"))->count(), int(f.link.lstResults().size()));
    }

    // Shown, the window follows every step of an exchange; not shown, it only takes the state the
    // exchange ends in. Either way its fields and list end up as the link's.
    void linkWindowFollowsExchanges_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QStringList>("seen");  // Label4's background and text at each change of the link's
        // The configuration window's read at the connection left it green.
        const QString fin = QStringLiteral("#00ff00|Fin de l'envoi .");
        QTest::newRow("shown") << true << QStringList{"#ffffff|    ", "#ffff00|Envoi en cours.", "#ffff00|", fin,
                                                      "#ffffff|    ", "#ffff00|Envoi en cours.", "#ffff00|", fin};
        QTest::newRow("hidden") << false << QStringList(8, fin);
    }
    void linkWindowFollowsExchanges()
    {
        QFETCH(bool, shown);
        QFETCH(QStringList, seen);
        Fixture f;
        f.transport.plug(true);
        f.link.DETECT_CON_Timer();
        UsbWindow* usb = f.main.usbWindow();
        usb->setDetailsShown(true);
        if (shown)
            f.main.usbSubWindow()->showNormal();
        QCOMPARE(usb->isVisible(), shown);
        auto* label4 = usb->findChild<QLabel*>(QStringLiteral("Label4"));
        QStringList changes;
        // Connected after the window's own connection, so called after it.
        connect(&f.link, &Link::label4Changed, this,
                [&] { changes << label4->palette().color(QPalette::Window).name() + "|" + label4->text(); });
        f.link.setText1(0, QStringLiteral("30"));
        QVERIFY(f.link.but_RD_HID_Click());
        f.link.setText1(0, QStringLiteral("a"));
        QVERIFY(f.link.but_WR_HID_Click());
        QCOMPARE(changes, seen);

        f.main.usbSubWindow()->showNormal();
        QStringList items;
        auto* list = usb->findChild<QListWidget*>(QStringLiteral("lstResults"));
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        QCOMPARE(items, f.link.lstResults());
        for (int i = 0; i <= 64; ++i)
            QCOMPARE(usb->findChild<QLineEdit*>(QStringLiteral("Text1(%1)").arg(i))->text(), f.link.text1(i));
        QCOMPARE(f.link.text1(0), QStringLiteral("a"));
    }

    void configurationOpensOnceEvenWhenClosedByTheOperator()
    {
        Fixture f;
        f.transport.plug(true);
        f.link.DETECT_CON_Timer();
        QCOMPARE(f.configWindows(), 1);
        f.main.subWindowOf(f.main.configWindow())->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(f.configWindows(), 0);
        f.link.DETECT_CON_Timer();
        QCOMPARE(f.configWindows(), 0);
        // The menu's way brings it back, once.
        f.main.showConfigWindow();
        f.main.showConfigWindow();
        QCOMPARE(f.configWindows(), 1);
    }

    void quitClosesTheLinkAndEndsTheProgram_data()
    {
        QTest::addColumn<bool>("plugged");
        QTest::newRow("display connected") << true;
        QTest::newRow("no display ever") << false;
    }
    void quitClosesTheLinkAndEndsTheProgram()
    {
        QFETCH(bool, plugged);
        Fixture f;
        f.transport.plug(plugged);
        f.link.DETECT_CON_Timer();
        f.main.quit();
        QCOMPARE(f.exits, 1);
        QVERIFY(f.link.lstResults().contains(QStringLiteral("CloseHandle (HIDHandle)")));
        QVERIFY(f.link.lstResults().contains(QStringLiteral("CloseHandle (ReadHandle)")));
        QCOMPARE(f.transport.openHandles(), 0);
    }

    void closingTheFrameQuitsWithoutQuestions()
    {
        Fixture f;
        f.transport.plug(true);
        f.link.DETECT_CON_Timer();
        f.dialogs.messages.clear();
        f.main.close();
        QCOMPARE(f.exits, 1);
        QVERIFY(f.dialogs.messages.isEmpty());
        QCOMPARE(f.transport.openHandles(), 0);
    }

    void statusPanel2KeepsTheLastMessage()
    {
        Fixture f;
        QVERIFY(f.main.statusPanel2().isEmpty());
        f.main.setStatusPanel2(QStringLiteral("Lecture efféctuée avec succés."));
        QCOMPARE(f.main.statusPanel2(), QStringLiteral("Lecture efféctuée avec succés."));
    }

    void livePanelFollowsTheCommandsSent()
    {
        Fixture f;
        f.transport.plug(true);
        f.main.enableSimulation(f.transport);
        f.link.DETECT_CON_Timer();
        auto* cp = f.main.configWindow();
        QVERIFY(cp);
        EmulatedPanelView* panel = f.main.showEmulatedPanel();
        QVERIFY(panel);
        QCOMPARE(f.main.showEmulatedPanel(), panel);  // brought forward, not duplicated

        cp->BOUTON_Click(2);  // +1
        cp->BOUTON_Click(2);
        panel->refresh();
        QCOMPARE(panel->counterText(), QStringLiteral("2"));
        cp->BOUTON_Click(0);  // Raz C
        cp->BOUTON_Click(2);
        panel->refresh();
        QCOMPARE(panel->counterText(), QStringLiteral("1"));

        ScreenWindow* screen = f.main.showScreenWindow();
        screen->but_WR_HID_ECR_Click();
        panel->refresh();
        int white = 0;
        const QImage lcd = panel->lcdImage();
        for (int y = 0; y < lcd.height(); ++y)
            for (int x = 0; x < lcd.width(); ++x)
                white += lcd.pixelColor(x, y) == Qt::white;
        QVERIFY(white > 0);  // the picture shown at the window's load, now on the emulated LCD

        // The Simulation menu's plug switch is the emulated cable.
        auto* plug = f.main.findChild<QAction*>(QStringLiteral("MENU_SIM_BRANCHE"));
        QVERIFY(plug && plug->isChecked());
        plug->setChecked(false);
        f.link.DETECT_CON_Timer();
        QCOMPARE(f.link.state(), LinkState::Waiting);

        plug->setChecked(true);
        f.link.DETECT_CON_Timer();
        f.main.resize(1280, 900);
        f.main.mdiArea()->tileSubWindows();
        QCoreApplication::processEvents();
        test::screenshot(&f.main, QStringLiteral("training.png"));
    }

    // A display that stays plugged in but goes silent, with the registers window reading twice a second and
    // the connection checked every second, for 20 s on the emulated clock: one 6-second wait, then the
    // display is shown as not answering and nothing more waits; an operator's read tries once more; after
    // unplugging and plugging it in again it is connected and read again.
    void silentDisplayCostsOneWaitAndSaysSo()
    {
        Fixture f;
        f.transport.plug(true);
        f.link.DETECT_CON_Timer();
        RegistersWindow* registers = f.main.showRegistersWindow();
        QVERIFY(registers->valuesCurrent());
        QCOMPARE(f.link.readTimeoutMs(), kReadTimeoutMs);

        f.transport.injectFault(Fault::Silent);
        const long long start = f.transport.clockMs();
        for (int halfSeconds = 0; f.transport.clockMs() - start < 20000; ++halfSeconds) {
            registers->Timer1_Timer();
            if (halfSeconds % 2 == 1)
                f.link.DETECT_CON_Timer();
            f.transport.advanceMs(500);
        }
        QCOMPARE(f.transport.readTimeouts(), 1);
        QCOMPARE(f.link.state(), LinkState::NotAnswering);
        QVERIFY(!f.link.label3Text().contains(QStringLiteral("CONNECTÉ")));
        QCOMPARE(f.main.panel1Text(), kNotAnsweringText);
        QCOMPARE(f.main.panel1Picture(), 2);
        QVERIFY(!registers->valuesCurrent());
        f.main.resize(1100, 780);
        QCoreApplication::processEvents();
        test::screenshot(&f.main, QStringLiteral("not_answering.png"));

        const int sent = int(f.transport.outputReports().size());
        registers->but_RD_HID_ECR_Click();  // the operator's "Lire": one more try, one more wait
        QCOMPARE(int(f.transport.outputReports().size()), sent + 1);
        QCOMPARE(f.transport.readTimeouts(), 2);
        QCOMPARE(f.main.panel1Text(), kNotAnsweringText);

        f.transport.clearFaults();
        f.transport.plug(false);
        f.link.DETECT_CON_Timer();
        QCOMPARE(f.main.panel1Picture(), 1);
        f.transport.plug(true);
        f.link.DETECT_CON_Timer();
        QCOMPARE(f.link.state(), LinkState::Connected);
        QCOMPARE(f.main.panel1Text(), kConnectedText);
        QCOMPARE(f.main.panel1Picture(), 3);
        registers->Timer1_Timer();
        QCOMPARE(int(f.transport.outputReports().size()), sent + 2);
        QVERIFY(registers->valuesCurrent());
        QCOMPARE(f.transport.readTimeouts(), 2);
    }

    // The Simulation menu's "Pannes": one checkable entry per fault of the catalogue, "Aucune panne" ends
    // them all; the unplug takes its count from the box under the list.
    void faultMenuInjectsTheCatalogue()
    {
        Fixture f;
        f.transport.plug(true);
        f.main.enableSimulation(f.transport);
        auto* faults = f.main.findChild<QMenu*>(QStringLiteral("MENU_SIM_PANNES"));
        QVERIFY(faults);
        faults->popup(QPoint(0, 0));
        QCoreApplication::processEvents();
        test::screenshot(faults, QStringLiteral("fault_menu.png"));
        faults->hide();
        for (const FaultInfo& info : faultCatalogue()) {
            auto* action = f.main.findChild<QAction*>(MainWindow::faultActionName(info.fault));
            QVERIFY2(action && action->isCheckable(), info.name);
            QCOMPARE(action->text(), QString::fromUtf8(info.caption));
            action->setChecked(true);
            QVERIFY2(f.transport.hasFault(info.fault), info.name);
            action->setChecked(false);
            QVERIFY2(!f.transport.hasFault(info.fault), info.name);
        }
        f.main.findChild<QAction*>(MainWindow::faultActionName(Fault::Silent))->setChecked(true);
        f.main.findChild<QAction*>(MainWindow::faultActionName(Fault::WrongSignature))->setChecked(true);
        f.main.findChild<QAction*>(QStringLiteral("MENU_SIM_PANNE_AUCUNE"))->trigger();
        for (const FaultInfo& info : faultCatalogue())
            QVERIFY2(!f.transport.hasFault(info.fault), info.name);

        // Unplugged after the number of reports in the box.
        auto* count = f.main.findChild<QSpinBox*>(QStringLiteral("MENU_SIM_PANNE_N"));
        QVERIFY(count);
        count->setValue(2);
        f.link.DETECT_CON_Timer();
        f.transport.clearRecord();
        f.main.findChild<QAction*>(MainWindow::faultActionName(Fault::Unplugged))->setChecked(true);
        for (int i = 0; i < 3; ++i) {
            f.link.setText1(0, "30");
            f.link.but_RD_HID_Click();
        }
        QVERIFY(!f.transport.plugged());
        QCOMPARE(int(f.transport.outputReports().size()), 2);
    }

    void screenshotsOfBothStates()
    {
        Fixture f;
        f.link.DETECT_CON_Timer();
        QCoreApplication::processEvents();
        test::screenshot(&f.main, QStringLiteral("main_waiting.png"));
        f.transport.plug(true);
        f.link.DETECT_CON_Timer();
        QCoreApplication::processEvents();
        test::screenshot(&f.main, QStringLiteral("main_connected.png"));
        ConfigWindow* cp = f.main.configWindow();
        cp->BOUTON_STA_Click(1);
        QCoreApplication::processEvents();
        test::screenshot(cp, QStringLiteral("cp_sorties_production.png"));
        cp->Option_CPT_Click(1);
        QCoreApplication::processEvents();
        test::screenshot(cp, QStringLiteral("cp_sorties_totaliser.png"));
        cp->BOUTON_STA_Click(0);
        QCoreApplication::processEvents();
        test::screenshot(cp, QStringLiteral("cp_general_totaliser.png"));
        f.main.usbWindow()->setDetailsShown(true);
        f.main.usbSubWindow()->show();
        f.main.usbSubWindow()->showNormal();
        QCoreApplication::processEvents();
        test::screenshot(f.main.usbWindow(), QStringLiteral("usb_details.png"));
    }

    void trainingModeSaysSoInTheCaption()
    {
        Fixture f;
        f.main.setTrainingMode(true);
        QVERIFY(f.main.windowTitle().contains(QStringLiteral("Simulation")));
        f.main.setTrainingMode(false);
        QVERIFY(!f.main.windowTitle().contains(QStringLiteral("Simulation")));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
