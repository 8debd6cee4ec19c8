// The shell without a mouse and on a dark desktop (as with --theme sombre): access letters and keys of every
// menu, Échap, the Pannes number box, the status colours, where the logs and the file dialogs start.
#include <QtTest>
#include <QtWidgets>

#include "common/ui/theme.h"
#include "production/ui/production_window.h"
#include "shell/usb_window.h"
#include "main_window_rig.h"
#include "support/screenshots.h"
#include "support/settings_sandbox.h"
#include "support/ui_audit.h"

using namespace trivo;

namespace {

struct Fixture : test::MainWindowRig {
    Fixture()
    {
        main.enableSimulation(transport);
        main.show();
        main.MDIForm_Load();
        owner.stopMonitor();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
    }
};

// Menus without letter or key, letters shared in a menu (but "&Fenêtre.", given, after "&Fichier": Qt goes from
// one to the other), keys shared over the whole bar.
void checkKeys(const QList<QAction*>& actions, bool bar, QSet<QKeySequence>& keys, QStringList& faults)
{
    QSet<QKeySequence> letters;
    for (QAction* a : actions) {
        const QKeySequence letter = QKeySequence::mnemonic(a->text());
        if (((bar || a->menu()) && letter.isEmpty() && a->shortcut().isEmpty())
            || (letters.contains(letter) && !letter.isEmpty() && a->text() != QStringLiteral("&Fenêtre."))
            || (keys.contains(a->shortcut()) && !a->shortcut().isEmpty()))
            faults << a->text();
        letters << letter;
        keys << a->shortcut();
        if (a->menu())
            checkKeys(a->menu()->actions(), false, keys, faults);
    }
}

}  // namespace

class TestAccess : public QObject {
    Q_OBJECT
    QTemporaryDir home_;

private slots:
    void initTestCase()
    {
        qputenv("HOME", home_.path().toLocal8Bit());  // the documents and data folders are made here
        test::sandboxSettings();
        theme::forceDark(*qApp);
    }

    void accessLettersAndKeys()
    {
        Fixture f;
        QSet<QKeySequence> keys;
        QStringList faults;
        checkKeys(f.main.menuBar()->actions(), true, keys, faults);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    void faultCountTakesTypedDigits()
    {
        Fixture f;
        auto* faults = f.main.findChild<QMenu*>(QStringLiteral("MENU_SIM_PANNES"));
        auto* row = f.main.findChild<QWidgetAction*>(QStringLiteral("MENU_SIM_PANNE_N_ACTION"));
        faults->popup(f.main.geometry().center());
        for (int i = 0; i < faults->actions().size() && faults->activeAction() != row; ++i)
            QTest::keyClick(faults, Qt::Key_Down);
        QTest::keyClicks(faults->focusWidget() ? faults->focusWidget() : faults, "25");  // as a popup routes keys
        auto* count = f.main.findChild<QSpinBox*>(QStringLiteral("MENU_SIM_PANNE_N"));
        QCOMPARE(count->value(), 25);
        // What a screen reader hears of the box comes from the box and its editor alike: both named.
        QVERIFY(!count->accessibleName().isEmpty());
        QCOMPARE(test::UiAudit::namelessParts(count), QStringList());
    }

    void escapeClosesSecondaryWindows_data()
    {
        QTest::addColumn<QString>("window");  // the menu item that opens it
        for (const char* item : {"MENU_INIT", "MENU_PRODUCTION", "MENU_HISTORIQUE", "MENU_SIM_PANNEAU"})
            QTest::newRow(item) << QString::fromLatin1(item);
    }

    void escapeClosesSecondaryWindows()
    {
        QFETCH(QString, window);
        Fixture f;
        if (window == QLatin1String("MENU_INIT"))
            f.dialogs.expect(MsgResult::Yes);
        f.main.findChild<QAction*>(window)->trigger();
        QPointer<QWidget> w = f.main.mdiArea()->activeSubWindow()->widget();
        test::screenshot(w, QStringLiteral("sombre-%1.png").arg(w->objectName()));
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus && (focus == w || w->isAncestorOf(focus)));  // where the operator's keys go
        QTest::keyClick(focus, Qt::Key_Escape);
        QVERIFY(test::waitFor([&w] { return !w || !w->isVisible(); }));
    }

    void darkStatusColours_data()
    {
        QTest::addColumn<int>("status");  // a link state, else a unit that passed (-1) or failed (-2)
        QTest::newRow("connected") << int(LinkState::Connected);
        QTest::newRow("not connected") << int(LinkState::Waiting);
        QTest::newRow("not answering") << int(LinkState::NotAnswering);
        QTest::newRow("passed") << -1;
        QTest::newRow("failed") << -2;
    }

    void darkStatusColours()
    {
        QFETCH(int, status);
        Fixture f;
        ProductionWindow production(f.dialogs, f.main);
        const QLabel* painted = f.main.usbWindow()->findChild<QLabel*>(QStringLiteral("Label3"));
        if (status < 0) {  // as the line tells the window of a unit
            production::UnitRecord unit;
            unit.passed = status == -1;
            emit production.runner().unitFinished(0, unit, QString());
            painted = production.findChild<QLabel*>(QStringLiteral("lblResultat"));
        } else {
            f.transport.plug(status != int(LinkState::Waiting));
            f.tick();
            if (status == int(LinkState::NotAnswering)) {
                f.transport.injectFault(Fault::Silent);
                f.main.usbWindow()->findChild<QAbstractButton*>(QStringLiteral("but_RD_HID"))->click();
                QVERIFY(f.settled());
            }
            QCOMPARE(int(f.owner.state()), status);
        }
        const QPalette p = painted->palette();
        QVERIFY(theme::contrastRatio(p.color(QPalette::Window), p.color(QPalette::WindowText)) >= 4.5);
    }

    // The ratio on pairs whose values are published (black on white 21:1, #767676 on white 4.54:1).
    void contrastOfKnownPairs_data()
    {
        QTest::addColumn<QColor>("a");
        QTest::addColumn<QColor>("b");
        QTest::addColumn<double>("ratio");
        QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
        QTest::newRow("white on black") << QColor(Qt::white) << QColor(Qt::black) << 21.0;
        QTest::newRow("same colour") << QColor(0x336699) << QColor(0x336699) << 1.0;
        QTest::newRow("grey 767676 on white") << QColor(0x767676) << QColor(Qt::white) << 4.54;
    }
    void contrastOfKnownPairs()
    {
        QFETCH(QColor, a);
        QFETCH(QColor, b);
        QFETCH(double, ratio);
        QVERIFY2(qAbs(theme::contrastRatio(a, b) - ratio) < 0.01, qPrintable(QString::number(theme::contrastRatio(a, b))));
    }

    // Files among the documents, the production log in the data folder, a training line's in its own file.
    void defaultLocations()
    {
        Fixture f;
        const QString documents = QDir::fromNativeSeparators(f.main.dialogFolder());
        QVERIFY(QFileInfo(documents).isDir() && documents.startsWith(home_.path()));
        ProductionWindow window(f.dialogs, f.main);
        const auto* edit = window.findChild<QLineEdit*>(QStringLiteral("txtJournal"));
        const auto log = [edit] { return QDir::fromNativeSeparators(edit->text()); };
        const QDir data(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        QCOMPARE(log(), data.filePath(QStringLiteral("journal-production.csv")));
        QVERIFY(data.exists());
        window.setTraining(true);
        QCOMPARE(log(), data.filePath(QStringLiteral("journal-production-formation.csv")));
    }
};

QTEST_MAIN(TestAccess)
#include "test_access.moc"
