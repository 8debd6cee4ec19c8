// The shell's windows without a mouse and on a dark desktop: access letters and keys over every menu, Échap
// on every secondary window, the Pannes menu's number box typed into, the status colours on the dark
// palette, and where the production log and the file dialogs start. The whole program runs dark here, as
// with --theme sombre.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QWidgetAction>
#include <QtTest>

#include "common/ui/theme.h"
#include "config/config_procedures.h"
#include "emulator/faults.h"
#include "production/production_log.h"
#include "production/ui/production_window.h"
#include "maintenance/ui/maintenance_window.h"
#include "shell/about_window.h"
#include "shell/comparison_dialog.h"
#include "shell/emulated_panel_view.h"
#include "shell/menus.h"
#include "shell/production_menu.h"
#include "shell/usb_window.h"
#include "main_window_rig.h"
#include "support/screenshots.h"
#include "support/settings_sandbox.h"

using namespace trivo;

namespace {

// Captions given to the program with the same access letter: Qt goes from one to the other.
const QSet<QString> kGivenClash{QStringLiteral("&Fichier"), QStringLiteral("&Fenêtre.")};

struct Fixture : test::MainWindowRig {
    Fixture()
    {
        main.setExitHandler([] {});
        main.enableSimulation(transport);
        main.show();
        main.MDIForm_Load();
        owner.stopMonitor();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
    }
    QAction* item(const char* name) const { return main.findChild<QAction*>(QLatin1String(name)); }
};

// What is wrong with the access letters and keys of these actions and of their menus' below them.
void checkKeys(const QList<QAction*>& actions, bool bar, QHash<QKeySequence, QString>& keys, QStringList& faults)
{
    QHash<QKeySequence, QString> letters;
    for (QAction* a : actions) {
        if (a->isSeparator() || a->text().isEmpty())
            continue;
        const QKeySequence letter = QKeySequence::mnemonic(a->text());
        if ((bar || a->menu()) && letter.isEmpty() && a->shortcut().isEmpty())
            faults << a->text() + QStringLiteral(": neither access letter nor key");
        if (!letter.isEmpty()) {
            const QString other = letters.value(letter);
            if (!other.isEmpty() && !(bar && kGivenClash.contains(other) && kGivenClash.contains(a->text())))
                faults << QStringLiteral("%1 and %2 share their access letter").arg(other, a->text());
            letters.insert(letter, a->text());
        }
        if (!a->shortcut().isEmpty()) {
            if (keys.contains(a->shortcut()))
                faults << QStringLiteral("%1 and %2 share %3").arg(keys[a->shortcut()], a->text(),
                                                                   a->shortcut().toString());
            keys.insert(a->shortcut(), a->text());
        }
        if (a->menu())
            checkKeys(a->menu()->actions(), false, keys, faults);
    }
}

// The background and the text a widget is painted with.
struct Painted {
    QColor background;
    QColor text;
};
Painted painted(const QWidget* w) { return {w->palette().color(QPalette::Window), w->palette().color(QPalette::WindowText)}; }

}  // namespace

class TestAccess : public QObject {
    Q_OBJECT

private:
    QTemporaryDir home_;

private slots:
    void initTestCase()
    {
        // The user's folders are the test's own: the documents folder and the data folder get made here.
        qputenv("HOME", home_.path().toLocal8Bit());
        test::sandboxSettings();
        theme::forceDark(*qApp);
    }

    void accessLettersAndKeys()
    {
        Fixture f;
        QHash<QKeySequence, QString> keys;
        QStringList faults;
        checkKeys(f.main.menuBar()->actions(), true, keys, faults);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        QVERIFY(keys.size() >= 5);
    }

    // The configuration window's "Programmer" from the keyboard, wherever the focus is in the program.
    void programmingKey()
    {
        Fixture f;
        f.tick();  // connected: the configuration window opens and reads
        QVERIFY(f.settled());
        const QKeyCombination key = f.item("MENU_PROGRAMMER")->shortcut()[0];
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        QVERIFY(f.settled());
        QCOMPARE(f.main.statusPanel2(), kProgramDone);
    }

    void faultCountTakesTypedDigits()
    {
        Fixture f;
        auto* faults = f.main.findChild<QMenu*>(QStringLiteral("MENU_SIM_PANNES"));
        auto* row = f.main.findChild<QWidgetAction*>(QStringLiteral("MENU_SIM_PANNE_N_ACTION"));
        auto* count = f.main.findChild<QSpinBox*>(QStringLiteral("MENU_SIM_PANNE_N"));
        faults->popup(f.main.geometry().center());
        QVERIFY(QTest::qWaitForWindowExposed(faults));
        for (int i = 0; i < faults->actions().size() && faults->activeAction() != row; ++i)
            QTest::keyClick(faults, Qt::Key_Down);
        QCOMPARE(faults->activeAction(), row);
        // A popup gives its keys to its focus widget.
        QWidget* typedInto = faults->focusWidget() ? faults->focusWidget() : faults;
        QTest::keyClicks(typedInto, QStringLiteral("25"));
        QCOMPARE(count->value(), 25);
        faults->close();
    }

    void escapeClosesSecondaryWindows_data()
    {
        QTest::addColumn<QString>("window");
        for (const char* name : {"maintenance", "production", "history", "panel", "about", "comparison", "usb"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void escapeClosesSecondaryWindows()
    {
        QFETCH(QString, window);
        Fixture f;
        QPointer<QWidget> w;
        std::function<bool()> closed = [&w] { return !w || !w->isVisible(); };
        if (window == QLatin1String("maintenance")) {
            f.dialogs.expect(MsgResult::Yes);
            f.item("MENU_INIT")->trigger();
            w = f.main.maintenanceWindow();
        } else if (window == QLatin1String("production")) {
            f.item("MENU_PRODUCTION")->trigger();
            w = f.main.findChild<MenuBar*>()->production()->window();
        } else if (window == QLatin1String("history")) {
            f.item("MENU_HISTORIQUE")->trigger();
            w = f.main.findChild<QWidget*>(QStringLiteral("HISTORIQUE"));
        } else if (window == QLatin1String("panel")) {
            w = f.main.showEmulatedPanel();
        } else if (window == QLatin1String("about")) {
            f.item("MENU_SPLASH")->trigger();
            w = f.main.findChild<MenuBar*>()->aboutWindow();
            w->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(w));
        } else if (window == QLatin1String("comparison")) {
            Comparison c;
            c.rows << SettingDifference{QStringLiteral("Valeur de départ"), QStringLiteral("0"), QStringLiteral("5")};
            c.differences = c.rows;
            auto* dialog = new ComparisonDialog(c, QStringLiteral("modele.config_CP"), &f.main);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->show();
            dialog->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            w = dialog;
        } else {  // the link window's details fold away
            UsbWindow* usb = f.main.usbWindow();
            f.main.usbSubWindow()->showNormal();
            f.main.mdiArea()->setActiveSubWindow(f.main.usbSubWindow());
            usb->setDetailsShown(true);
            usb->findChild<QWidget*>(QStringLiteral("Text1(0)"))->setFocus();
            w = usb;
            closed = [usb] { return !usb->detailsShown(); };
        }
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        test::screenshot(w, QStringLiteral("sombre-%1.png").arg(window));
        // The focus is in the window, where the operator's keys go.
        QWidget* focus = QApplication::focusWidget();
        QVERIFY2(focus && (focus == w || w->isAncestorOf(focus)), qPrintable(window));
        QTest::keyClick(focus, Qt::Key_Escape);
        QVERIFY(test::waitFor(closed));
    }

    void darkStatusColours_data()
    {
        QTest::addColumn<QString>("status");
        for (const char* name : {"connected", "not connected", "not answering", "passed", "failed"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void darkStatusColours()
    {
        QFETCH(QString, status);
        Painted shown;
        if (status == QLatin1String("passed") || status == QLatin1String("failed")) {
            QTemporaryDir dir;
            test::StrictDialogs dialogs;
            PlainMainServices services;
            ProductionWindow window(dialogs, services);
            window.setTraining(true);
            window.setVirtualTime(true);
            window.setUnits(1);
            if (status == QLatin1String("failed"))
                window.setFaultyUnit(1, 0);
            window.setModelPath(QStringLiteral(TRIVO_MODEL));
            window.setLogPath(dir.filePath(QStringLiteral("j.csv")));
            QSignalSpy finished(&window, &ProductionWindow::lineFinished);
            QVERIFY(window.cmdDemarrer_Click());
            QVERIFY(finished.wait(60000));
            QCOMPARE(window.panel(), status == QLatin1String("passed") ? ProductionWindow::Panel::Passed
                                                                       : ProductionWindow::Panel::Failed);
            shown = painted(window.findChild<QLabel*>(QStringLiteral("lblResultat")));
            QVERIFY(window.findChild<QLabel*>(QStringLiteral("lblConformes"))->accessibleDescription().endsWith(
                QString::number(window.passed())));
        } else {
            Fixture f;
            f.transport.plug(status != QLatin1String("not connected"));
            f.tick();
            if (status == QLatin1String("not answering")) {
                f.transport.injectFault(Fault::Silent);
                f.main.usbWindow()->findChild<QAbstractButton*>(QStringLiteral("but_RD_HID"))->click();
                QVERIFY(f.settled());
            }
            const LinkState expected = status == QLatin1String("connected") ? LinkState::Connected
                : status == QLatin1String("not connected")                   ? LinkState::Waiting
                                                                             : LinkState::NotAnswering;
            QCOMPARE(f.owner.state(), expected);
            shown = painted(f.main.usbWindow()->findChild<QLabel*>(QStringLiteral("Label3")));
        }
        const double ratio = theme::contrastRatio(shown.background, shown.text);
        QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1 on %2: %3:1").arg(shown.text.name(),
                                                                              shown.background.name()).arg(ratio)));
    }

    // The operator's files start among the user's documents, the production log in the data folder, and a
    // training line writes a log of its own; none of them in the program's folder.
    void defaultLocations()
    {
        Fixture f;
        const QString documents = QDir::fromNativeSeparators(f.main.dialogFolder());
        QVERIFY(QFileInfo(documents).isDir());
        QVERIFY(documents.startsWith(home_.path()));
        QVERIFY(documents != f.main.programFolder());

        test::StrictDialogs dialogs;
        PlainMainServices services;
        ProductionWindow window(dialogs, services);
        auto* log = window.findChild<QLineEdit*>(QStringLiteral("txtJournal"));
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QCOMPARE(QDir::fromNativeSeparators(log->text()), QDir(data).filePath(production::kDefaultLogName));
        QVERIFY(QFileInfo(data).isDir());
        window.setTraining(true);
        QCOMPARE(QDir::fromNativeSeparators(log->text()), QDir(data).filePath(production::kTrainingLogName));
        // A log the operator chose stays whatever the line.
        window.setLogPath(documents + QStringLiteral("/lot.csv"));
        window.setTraining(false);
        QCOMPARE(QDir::fromNativeSeparators(log->text()), documents + QStringLiteral("/lot.csv"));
    }
};

QTEST_MAIN(TestAccess)
#include "test_access.moc"
