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
#include "support/rig.h"
#include "support/screenshots.h"
#include "support/settings_sandbox.h"

using namespace trivo;

namespace {
struct Fixture {
    EmulatedTransport transport;
    DisplayOwner owner{transport};
    ScriptedDialogs dialogs;
    MainWindow main{owner, dialogs};
    int exits = 0;

    Fixture()
    {
        transport.plug(false);
        main.setExitHandler([this] { ++exits; });
        main.show();
        main.MDIForm_Load();
        // The monitor is driven by hand: no test waits for the one-second timer.
        owner.stopMonitor();
    }
    // One tick of the monitor, and what it started, waited for.
    void tick()
    {
        owner.DETECT_CON_Timer();
        QVERIFY(test::settle(owner));
    }
    bool settled() { return test::settle(owner); }
    QPushButton* usbButton(const char* name) const
    {
        return main.usbWindow()->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    // The link window's buffer field i and its diagnostics list, as shown.
    QString text1(int i) const
    {
        return main.usbWindow()->findChild<QLineEdit*>(QStringLiteral("Text1(%1)").arg(i))->text();
    }
    QStringList lstResults() const
    {
        QStringList items;
        auto* list = main.usbWindow()->findChild<QListWidget*>(QStringLiteral("lstResults"));
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        return items;
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
        QCOMPARE(f.owner.state(), LinkState::Unknown);
        QCOMPARE(f.owner.monitorTimer().objectName(), QStringLiteral("DETECT_CON"));
        QCOMPARE(f.owner.monitorTimer().interval(), 1000);

        f.tick();  // no display plugged
        QCOMPARE(f.owner.state(), LinkState::Waiting);
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
        f.tick();
        QCOMPARE(f.owner.state(), LinkState::Connected);
        QCOMPARE(f.owner.label3Text(), QStringLiteral(" - TRIVO_ZURED_CONNECTÉ -"));
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
        f.tick();
        QCOMPARE(f.owner.state(), LinkState::Waiting);
        QCOMPARE(f.owner.label3Text(), kWaitingText);
        QCOMPARE(f.main.panel1Text(), kWaitingText);
        QCOMPARE(f.main.panel1Picture(), 1);
        QVERIFY(f.main.usbSubWindow()->isVisible());
        // The operator's configuration window survives a loose cable, on every waiting tick.
        f.tick();
        QCOMPARE(f.configWindows(), 1);

        f.transport.plug(true);
        f.tick();
        QCOMPARE(f.owner.state(), LinkState::Connected);
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
    // Label4 says how the last exchange went whether or not the details were shown while it ran.
    void linkWindowStatusLineColours_data()
    {
        QTest::addColumn<bool>("detailsFirst");
        QTest::newRow("details shown before") << true;
        QTest::newRow("details shown after each exchange") << false;
    }
    void linkWindowStatusLineColours()
    {
        QFETCH(bool, detailsFirst);
        Fixture f;
        UsbWindow* usb = f.main.usbWindow();
        const auto details = [&] {
            if (!detailsFirst)
                usb->setDetailsShown(true);
        };
        if (detailsFirst)
            usb->setDetailsShown(true);
        auto* label3 = f.main.usbWindow()->findChild<QLabel*>(QStringLiteral("Label3"));
        auto* label4 = f.main.usbWindow()->findChild<QLabel*>(QStringLiteral("Label4"));
        QVERIFY(label3 && label4);
        QCOMPARE(label3->palette().color(QPalette::Window), QColor(255, 255, 255));
        QVERIFY(label3->text().isEmpty());
        f.tick();
        QCOMPARE(label3->palette().color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(label3->text(), QStringLiteral("En attente de connexion. Veuillez connecter le TRIVO_ZURED."));
        if (!detailsFirst)
            usb->setDetailsShown(false);
        f.usbButton("but_WR_HID")->click();
        QVERIFY(f.settled());
        details();
        QTRY_COMPARE(label4->text(), QStringLiteral("IMPOSSIBLE !"));
        if (!detailsFirst)
            usb->setDetailsShown(false);
        f.transport.plug(true);
        f.tick();
        details();
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
        f.tick();
        QVERIFY(!usb->isVisible());
        auto* field = usb->findChild<QLineEdit*>(QStringLiteral("Text1(0)"));
        field->clear();
        QTest::keyClicks(field, QStringLiteral("30"));
        f.usbButton("but_RD_HID")->click();
        QVERIFY(f.settled());
        f.main.usbSubWindow()->show();
        f.main.usbSubWindow()->showNormal();
        QCOMPARE(f.text1(0), QStringLiteral("42"));
        QCOMPARE(f.text1(64), QStringLiteral("0"));
        const QStringList list = f.lstResults();
        QVERIFY(!list.isEmpty());
        QCOMPARE(list.first(), QStringLiteral("***** HID Test Report *****"));
        QVERIFY(list.contains(QStringLiteral("ReadFile completed successfully.")));
    }

    // The window takes the end of every exchange, also while it is hidden, its details shown or not; shown
    // only afterwards, its list starts from the last exchange. Either way its fields and list end up as the
    // exchange left them.
    void linkWindowFollowsExchanges_data()
    {
        QTest::addColumn<bool>("detailsBefore");
        QTest::newRow("details shown, window hidden") << true;
        QTest::newRow("details shown afterwards") << false;
    }
    void linkWindowFollowsExchanges()
    {
        QFETCH(bool, detailsBefore);
        const QString fin = QStringLiteral("#00ff00|Fin de l'envoi .");
        const QStringList seen{fin, fin};  // Label4's background and text after each exchange
        Fixture f;
        f.transport.plug(true);
        f.tick();
        UsbWindow* usb = f.main.usbWindow();
        QVERIFY(!usb->isVisible());
        usb->setDetailsShown(detailsBefore);
        QCOMPARE(usb->detailsShown(), detailsBefore);
        auto* label4 = usb->findChild<QLabel*>(QStringLiteral("Label4"));
        auto* field = usb->findChild<QLineEdit*>(QStringLiteral("Text1(0)"));
        QStringList changes;
        const auto exchange = [&](const char* button, const QString& typed) {
            field->clear();
            QTest::keyClicks(field, typed);
            f.usbButton(button)->click();
            QVERIFY(f.settled());
            changes << label4->palette().color(QPalette::Window).name() + "|" + label4->text();
        };
        exchange("but_RD_HID", QStringLiteral("30"));
        exchange("but_WR_HID", QStringLiteral("a"));
        QCOMPARE(changes, seen);

        usb->setDetailsShown(true);
        f.main.usbSubWindow()->showNormal();
        QVERIFY(f.settled());
        QCOMPARE(label4->text(), QStringLiteral("Fin de l'envoi ."));
        // "Envoi" sent the buffer as the read left it, with the typed byte first.
        const std::vector<uint8_t> sent = f.transport.outputReports().back();
        QCOMPARE(sent[1], uint8_t(0x0A));
        for (int i = 0; i < 64; ++i)
            QCOMPARE(requestByte(f.text1(i)), sent[std::size_t(i) + 1]);
        // The log comes with the replay of the last exchange, posted by the display's thread once asked.
        QVERIFY(test::waitFor([&] { return f.lstResults().contains(QStringLiteral(" NumberOfBytesWritten = 65")); }));
        const QStringList list = f.lstResults();
        const qsizetype at = list.indexOf(QStringLiteral(" NumberOfBytesWritten = 65"));
        QVERIFY(at > 0);
        QVERIFY(list.size() > at + 64);
        for (int i = 0; i < 64; ++i)
            QCOMPARE(list[at + 1 + i],
                     QStringLiteral("%1").arg(sent[std::size_t(i) + 1], 2, 16, QLatin1Char('0')).toUpper());
    }

    void configurationOpensOnceEvenWhenClosedByTheOperator()
    {
        Fixture f;
        f.transport.plug(true);
        f.tick();
        QCOMPARE(f.configWindows(), 1);
        f.main.subWindowOf(f.main.configWindow())->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(f.configWindows(), 0);
        f.tick();
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
        f.tick();
        f.main.usbWindow()->setDetailsShown(true);
        f.main.quit();
        QCOMPARE(f.exits, 1);
        QVERIFY(f.settled());
        QVERIFY(f.lstResults().contains(QStringLiteral("CloseHandle (HIDHandle)")));
        QVERIFY(f.lstResults().contains(QStringLiteral("CloseHandle (ReadHandle)")));
        QCOMPARE(f.transport.openHandles(), 0);
    }

    void closingTheFrameQuitsWithoutQuestions()
    {
        Fixture f;
        f.transport.plug(true);
        f.tick();
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
        f.tick();
        auto* cp = f.main.configWindow();
        QVERIFY(cp);
        EmulatedPanelView* panel = f.main.showEmulatedPanel();
        QVERIFY(panel);
        QCOMPARE(f.main.showEmulatedPanel(), panel);  // brought forward, not duplicated

        const auto press = [&](int button) {
            cp->BOUTON_Click(button);
            QVERIFY(f.settled());
        };
        press(2);  // +1
        press(2);
        panel->refresh();
        QCOMPARE(panel->counterText(), QStringLiteral("2"));
        press(0);  // Raz C
        press(2);
        panel->refresh();
        QCOMPARE(panel->counterText(), QStringLiteral("1"));

        ScreenWindow* screen = f.main.showScreenWindow();
        screen->but_WR_HID_ECR_Click();
        QVERIFY(f.settled());
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
        f.tick();
        QCOMPARE(f.owner.state(), LinkState::Waiting);

        plug->setChecked(true);
        f.tick();
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
        f.tick();
        RegistersWindow* registers = f.main.showRegistersWindow();
        registers->Timer1().stop();  // its ticks are called below
        QVERIFY(f.settled());
        QVERIFY(registers->valuesCurrent());

        f.transport.injectFault(Fault::Silent);
        const long long start = f.transport.clockMs();
        int halfSeconds = 0;
        for (; f.transport.clockMs() - start < 20000; ++halfSeconds) {
            registers->Timer1_Timer();
            QVERIFY(f.settled());
            if (halfSeconds % 2 == 1)
                f.tick();
            f.transport.advanceMs(500);
        }
        QCOMPARE(f.transport.readTimeouts(), 1);
        QCOMPARE(f.transport.clockMs() - start, halfSeconds * 500LL + kReadTimeoutMs);  // the program's own wait
        QCOMPARE(f.owner.state(), LinkState::NotAnswering);
        QVERIFY(!f.owner.label3Text().contains(QStringLiteral("CONNECTÉ")));
        QCOMPARE(f.main.panel1Text(), kNotAnsweringText);
        QCOMPARE(f.main.panel1Picture(), 2);
        QVERIFY(!registers->valuesCurrent());
        f.main.resize(1100, 780);
        QCoreApplication::processEvents();
        test::screenshot(&f.main, QStringLiteral("not_answering.png"));

        const int sent = int(f.transport.outputReports().size());
        registers->but_RD_HID_ECR_Click();  // the operator's "Lire": one more try, one more wait
        QVERIFY(f.settled());
        QCOMPARE(int(f.transport.outputReports().size()), sent + 1);
        QCOMPARE(f.transport.readTimeouts(), 2);
        QCOMPARE(f.main.panel1Text(), kNotAnsweringText);

        f.transport.clearFaults();
        f.transport.plug(false);
        f.tick();
        QCOMPARE(f.main.panel1Picture(), 1);
        f.transport.plug(true);
        f.tick();
        QCOMPARE(f.owner.state(), LinkState::Connected);
        QCOMPARE(f.main.panel1Text(), kConnectedText);
        QCOMPARE(f.main.panel1Picture(), 3);
        registers->Timer1_Timer();
        QVERIFY(f.settled());
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
        f.tick();
        f.transport.clearRecord();
        f.main.findChild<QAction*>(MainWindow::faultActionName(Fault::Unplugged))->setChecked(true);
        auto* field = f.main.usbWindow()->findChild<QLineEdit*>(QStringLiteral("Text1(0)"));
        for (int i = 0; i < 3; ++i) {
            field->clear();
            QTest::keyClicks(field, QStringLiteral("30"));
            f.usbButton("but_RD_HID")->click();
            QVERIFY(f.settled());
        }
        QVERIFY(!f.transport.plugged());
        QCOMPARE(int(f.transport.outputReports().size()), 2);
    }

    void screenshotsOfBothStates()
    {
        Fixture f;
        f.tick();
        QCoreApplication::processEvents();
        test::screenshot(&f.main, QStringLiteral("main_waiting.png"));
        f.transport.plug(true);
        f.tick();
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
