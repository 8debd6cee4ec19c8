// The production window on an emulated line: chosen once, started, the large panel, counters and last log
// lines after each unit, the buttons while the line runs; the Option and Simulation menu items that open it.
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include "production/ui/production_window.h"
#include "shell/main_window.h"
#include "shell/production_menu.h"
#include "support/rig.h"
#include "support/screenshots.h"

using namespace trivo;
using namespace trivo::production;

namespace {

constexpr int kLineTimeoutMs = 60000;  // a bound for a broken line, not a measure

int csvLines(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return int(f.readAll().count('\n'));
}

struct Fixture {
    QTemporaryDir dir;
    test::StrictDialogs dialogs;
    PlainMainServices main;
    ProductionWindow window{dialogs, main};
    QString log;

    Fixture()
    {
        log = dir.filePath(QStringLiteral("journal.csv"));
        QImage image(240, 64, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.save(dir.filePath(QStringLiteral("logo.png")));
        window.setTraining(true);
        window.setVirtualTime(true);
        window.setModelPath(QStringLiteral(TRIVO_MODEL));
        window.setPicturePath(dir.filePath(QStringLiteral("logo.png")));
        window.setLogPath(log);
        window.show();
    }
    // Starts the line and waits for its end.
    bool runLine()
    {
        QSignalSpy finished(&window, &ProductionWindow::lineFinished);
        if (!window.cmdDemarrer_Click())
            return false;
        return finished.wait(kLineTimeoutMs);
    }
    template <typename T>
    T* child(const char* name) const
    {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
    void shot(const char* name) { test::screenshot(&window, QLatin1String(name)); }
};

}  // namespace

class TestProductionWindow : public QObject {
    Q_OBJECT

private slots:
    void startNeedsAModel()
    {
        Fixture f;
        f.window.setModelPath(QString());
        f.dialogs.expect();
        QVERIFY(!f.window.cmdDemarrer_Click());
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY(f.dialogs.messages.first().text.contains(QStringLiteral("modèle")));
        QVERIFY(!f.window.running());
    }

    void lineOfPassingUnits()
    {
        Fixture f;
        f.window.setUnits(3);
        QSignalSpy started(&f.window.runner(), &LineRunner::unitStarted);
        QSignalSpy finished(&f.window, &ProductionWindow::lineFinished);
        QVERIFY(f.window.cmdDemarrer_Click());
        // While the line runs nothing of it can be changed, and it cannot be started twice.
        QVERIFY(!f.child<QPushButton>("cmdDemarrer")->isEnabled());
        QVERIFY(f.child<QPushButton>("cmdArreter")->isEnabled());
        QVERIFY(!f.child<QPushButton>("cmdModele")->isEnabled());
        QVERIFY(!f.window.cmdDemarrer_Click());
        QVERIFY(finished.wait(kLineTimeoutMs));
        QCOMPARE(started.size(), 3);
        QCOMPARE(f.window.units(), 3);
        QCOMPARE(f.window.passed(), 3);
        QCOMPARE(f.window.failed(), 0);
        QCOMPARE(f.window.panel(), ProductionWindow::Panel::Passed);
        QCOMPARE(f.window.panelText(), QStringLiteral("CONFORME"));
        QCOMPARE(f.child<QLabel>("lblConformes")->text(), QStringLiteral("3"));
        QCOMPARE(f.child<QLabel>("lblEchecs")->text(), QStringLiteral("0"));
        QCOMPARE(f.child<QLabel>("lblUnite")->text(), QStringLiteral("Afficheur n° 3"));
        const QStringList shown = f.window.shownLogLines();
        QCOMPARE(shown.size(), 3);
        QVERIFY(shown.first().contains(QStringLiteral("n° 3")));  // newest first
        QVERIFY(shown.last().contains(QStringLiteral("n° 1")));
        QCOMPARE(csvLines(f.log), 4);
        QVERIFY(f.child<QPushButton>("cmdDemarrer")->isEnabled());
        QVERIFY(!f.child<QPushButton>("cmdArreter")->isEnabled());
        QCOMPARE(f.child<QLabel>("lblEtape")->text(), QStringLiteral("3 afficheurs : 3 conformes, 0 en échec"));
        f.shot("prod-pass.png");

        // Started again: the counters are the new line's, the log goes on.
        f.window.setUnits(2);
        QVERIFY(f.runLine());
        QCOMPARE(f.window.units(), 2);
        QCOMPARE(csvLines(f.log), 6);
    }

    void failedUnitShownWithItsReason()
    {
        Fixture f;
        f.window.setUnits(2);
        f.window.setFaultyUnit(2, 0);  // the catalogue's first fault: the display goes silent
        QVERIFY(f.runLine());
        QCOMPARE(f.window.units(), 2);
        QCOMPARE(f.window.passed(), 1);
        QCOMPARE(f.window.failed(), 1);
        QCOMPARE(f.window.panel(), ProductionWindow::Panel::Failed);
        QCOMPARE(f.window.panelText(), QStringLiteral("ÉCHEC"));
        QCOMPARE(f.child<QLabel>("lblUnite")->text(), QStringLiteral("Afficheur n° 2"));
        QVERIFY2(f.window.reasonText().startsWith(QStringLiteral("Lecture du bloc : ")),
                 qPrintable(f.window.reasonText()));
        QVERIFY(f.window.shownLogLines().first().contains(QStringLiteral("ÉCHEC (lecture)")));
        f.shot("prod-fail.png");
    }

    void shownLinesAreTheLastOnes()
    {
        Fixture f;
        f.window.setUnits(ProductionWindow::kShownLogLines + 3);
        f.window.setPlaces(2);
        QVERIFY(f.runLine());
        QCOMPARE(f.window.units(), ProductionWindow::kShownLogLines + 3);
        QCOMPARE(f.window.shownLogLines().size(), ProductionWindow::kShownLogLines);
    }

    void menusOpenOneWindow()
    {
        test::OwnerRig rig;
        test::StrictDialogs dialogs;
        MainWindow main(rig.owner, dialogs);
        main.enableSimulation(rig.transport);
        main.show();
        auto* option = main.menuBar()->findChild<QAction*>(QStringLiteral("MENU_PRODUCTION"));
        auto* simulation = main.menuBar()->findChild<QAction*>(QStringLiteral("MENU_SIM_PRODUCTION"));
        QVERIFY(option && simulation);
        QCOMPARE(simulation->text(), QStringLiteral("&Ligne de production émulée..."));
        simulation->trigger();
        auto* window = main.findChild<ProductionWindow*>();
        QVERIFY(window);
        QVERIFY(window->training());  // on the emulated display, the line is emulated too
        QVERIFY(window->findChild<QSpinBox*>(QStringLiteral("nbUnites"))->isVisibleTo(window));
        option->trigger();
        QCOMPARE(main.findChildren<ProductionWindow*>().size(), 1);
        QCOMPARE(main.mdiArea()->activeSubWindow()->widget(), window);
    }
};

QTEST_MAIN(TestProductionWindow)
#include "test_production_window.moc"
