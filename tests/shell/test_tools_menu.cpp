// The Outils menu: its items between Option and Fenêtre, the comparison dialog, the two read-back switches
// kept between runs, verification after programming in the status panel, backup and restore through the
// folder dialogs, and nothing offered while the update area is open or another tool is running.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "common/tool_settings.h"
#include "config/config_file_io.h"
#include "config/config_procedures.h"
#include "config/program_verification.h"
#include "configwindow/config_window.h"
#include "maintenance/ui/maintenance_window.h"
#include "screen/ui/screen_window.h"
#include "shell/comparison_dialog.h"
#include "shell/main_window.h"
#include "shell/tools_menu.h"
#include "support/rig.h"
#include "support/screenshots.h"
#include "support/settings_sandbox.h"
#include "support/files.h"

using namespace trivo;

namespace {

// Strict dialogs that can also look around when a folder is asked for.
class ProbeDialogs : public test::StrictDialogs {
public:
    std::function<void()> onFolder;
    QString folder(const FolderRequest& request) override
    {
        if (onFolder)
            onFolder();
        return StrictDialogs::folder(request);
    }
};

struct Fixture {
    test::OwnerRigWith<ProbeDialogs> rig;
    ProbeDialogs& dialogs = rig.dialogs;
    MainWindow main{rig.owner, dialogs};

    Fixture() { main.show(); }
    bool settled() { return rig.settled(); }
    // An item chosen, and the operation it started waited for.
    void choose(const QString& name)
    {
        item(name)->trigger();
        QVERIFY(settled());
    }
    ToolsMenu* tools() const { return main.findChild<ToolsMenu*>(); }
    QAction* item(const QString& name) const { return main.menuBar()->findChild<QAction*>(name); }
    QMenu* menu() const { return main.menuBar()->findChild<QMenu*>(QStringLiteral("MENU_OUTILS")); }
    // The config window open (its load reads the display) and the record cleared after it.
    ConfigWindow* configWindow()
    {
        ConfigWindow* cp = main.showConfigWindow();
        [&] { QVERIFY(settled()); }();
        rig.transport.clearRecord();
        return cp;
    }
    QList<int> requestCodes() const
    {
        QList<int> codes;
        for (const auto& r : rig.outputs())
            codes << r[1];
        return codes;
    }
    bool onlyReads() const
    {
        for (int code : requestCodes())
            if (code != 0x30 && code != 0x31 && code != 0x02)
                return false;
        return true;
    }
};

// The items that reach the display, then the one that only reads the service journal.
const QStringList kOperations{"MENU_VERIFIER",    "MENU_COMPARER",       "MENU_VERIF_PROG",
                              "MENU_VERIF_ECRAN", "MENU_SAUVEGARDE_AFF", "MENU_RESTAURE_AFF"};
const QStringList kItems = kOperations + QStringList{"MENU_HISTORIQUE"};

int visibleRows(const QTableWidget* table)
{
    int n = 0;
    for (int row = 0; row < table->rowCount(); ++row)
        n += table->isRowHidden(row) ? 0 : 1;
    return n;
}

}  // namespace

class TestToolsMenu : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::sandboxSettings(); }
    void init() { test::sandboxSettings(); }

    void itemsBetweenOptionAndFenetre_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("checkable");
        QTest::newRow("MENU_OUTILS") << "MENU_OUTILS"
                                     << "Ou&tils" << false;
        QTest::newRow("MENU_VERIFIER") << "MENU_VERIFIER"
                                       << "&Vérifier l'afficheur." << false;
        QTest::newRow("MENU_COMPARER") << "MENU_COMPARER"
                                       << "Co&mparer avec un fichier..." << false;
        QTest::newRow("MENU_VERIF_PROG") << "MENU_VERIF_PROG"
                                         << "Vérifier après &programmation" << true;
        QTest::newRow("MENU_VERIF_ECRAN") << "MENU_VERIF_ECRAN"
                                          << "Relire l'écran d'accueil après &envoi" << true;
        QTest::newRow("MENU_SAUVEGARDE_AFF") << "MENU_SAUVEGARDE_AFF"
                                             << "&Sauvegarder l'afficheur..." << false;
        QTest::newRow("MENU_RESTAURE_AFF") << "MENU_RESTAURE_AFF"
                                           << "&Restaurer l'afficheur..." << false;
        QTest::newRow("MENU_HISTORIQUE") << "MENU_HISTORIQUE"
                                         << "&Historique..." << false;
    }
    void itemsBetweenOptionAndFenetre()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(bool, checkable);
        Fixture f;
        QAction* action = f.item(name);
        QVERIFY2(action, qPrintable(name));
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->isCheckable(), checkable);
        QVERIFY(!action->isChecked());  // both switches off until asked
        QVERIFY(action->isEnabled());

        QStringList bar;
        for (QAction* a : f.main.menuBar()->actions())
            bar << a->objectName();
        QCOMPARE(bar.indexOf(QStringLiteral("MENU_OUTILS")), bar.indexOf(QStringLiteral("MENU_OPTION")) + 1);
        QCOMPARE(bar.indexOf(QStringLiteral("MENU8FEN")), bar.indexOf(QStringLiteral("MENU_OUTILS")) + 1);
        QStringList items;
        for (QAction* a : f.menu()->actions())
            if (!a->isSeparator())
                items << a->objectName();
        QCOMPARE(items, kItems);
    }

    void switchesAreKeptBetweenRuns_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");
        QTest::newRow("after programming") << "MENU_VERIF_PROG" << QString(tool_settings::kVerifyAfterProgramming);
        QTest::newRow("after sending") << "MENU_VERIF_ECRAN" << QString(tool_settings::kVerifyScreenAfterSend);
    }
    void switchesAreKeptBetweenRuns()
    {
        QFETCH(QString, name);
        QFETCH(QString, key);
        {
            Fixture f;
            f.item(name)->trigger();
            QVERIFY(tool_settings::isOn(key));
        }
        {
            Fixture again;
            QVERIFY(again.item(name)->isChecked());
            again.item(name)->trigger();
            QVERIFY(!tool_settings::isOn(key));
        }
        Fixture third;
        QVERIFY(!third.item(name)->isChecked());
    }

    void verifyOpensTheConfigurationWindowAndOnlyReads()
    {
        Fixture f;
        QVERIFY(!f.main.configWindow());
        f.choose(QStringLiteral("MENU_VERIFIER"));
        QVERIFY(f.main.configWindow());
        // The window's own read at load, then the verification's.
        QCOMPARE(f.requestCodes(), (QList<int>{0x30, 0x31, 0x30, 0x31}));
        ComparisonDialog* dialog = f.tools()->comparisonDialog();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("LBL_RESUME"))->text(), QStringLiteral("Identique."));
        QVERIFY(!dialog->differencesOnly());
        QCOMPARE(visibleRows(dialog->findChild<QTableWidget*>(QStringLiteral("TABLE_COMPARAISON"))), 37);
        QCOMPARE(f.main.statusPanel2(), QStringLiteral("Identique."));
        QVERIFY(f.main.findChild<QProgressBar*>(QStringLiteral("PROGRESS_OUTILS"))->isHidden());
    }

    void theDialogMarksTheDifferences()
    {
        Fixture f;
        ConfigWindow* cp = f.configWindow();
        FormState form = cp->formState();
        form.REG_V[6] = QStringLiteral("777");
        cp->applyFormState(form);
        f.choose(QStringLiteral("MENU_VERIFIER"));
        QVERIFY(f.onlyReads());
        QCOMPARE(f.main.statusPanel2(), kDifferentText);

        ComparisonDialog* dialog = f.tools()->comparisonDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("LBL_RESUME"))->text(),
                 QStringLiteral("1 paramètre diffère : Seuil relais 1."));
        QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("LBL_SOURCE"))->text(),
                 QStringLiteral("Attendu : la fenêtre de configuration"));
        auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("TABLE_COMPARAISON"));
        QCOMPARE(table->columnCount(), 4);
        QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("Paramètre"));
        QCOMPARE(table->horizontalHeaderItem(2)->text(), QStringLiteral("Attendu"));
        QCOMPARE(table->horizontalHeaderItem(3)->text(), QStringLiteral("Afficheur"));
        QCOMPARE(table->rowCount(), 37);
        QVERIFY(dialog->differencesOnly());
        QCOMPARE(visibleRows(table), 1);
        for (int row = 0; row < table->rowCount(); ++row) {
            const bool differs = table->item(row, 1)->text() == QLatin1String("Seuil relais 1");
            QCOMPARE(table->isRowHidden(row), !differs);
            QCOMPARE(table->item(row, 0)->text(), differs ? QStringLiteral("≠") : QString());
            QCOMPARE(table->item(row, 1)->font().bold(), differs);
            if (differs) {
                QCOMPARE(table->item(row, 2)->text(), QStringLiteral("777"));
                QCOMPARE(table->item(row, 3)->text(), QStringLiteral("2"));
                QVERIFY(table->item(row, 2)->foreground().color() != table->item(0, 2)->foreground().color());
            }
        }

        dialog->findChild<QCheckBox*>(QStringLiteral("CHK_DIFFERENCES"))->click();
        QCOMPARE(visibleRows(table), 37);
        dialog->findChild<QPushButton*>(QStringLiteral("BTN_COPIER"))->click();
        const QString copied = QApplication::clipboard()->text();
        QCOMPARE(copied, dialog->copyText());
        QVERIFY(copied.startsWith(QStringLiteral("Attendu : la fenêtre de configuration\n"
                                                 "1 paramètre diffère : Seuil relais 1.\n"
                                                 "\tParamètre\tAttendu\tAfficheur\n")));
        QVERIFY(copied.contains(QStringLiteral("\n≠\tSeuil relais 1\t777\t2\n")));
        QCOMPARE(copied.count(QLatin1Char('\n')), 3 + 37);

        QPointer<ComparisonDialog> closing(dialog);
        dialog->findChild<QPushButton*>(QStringLiteral("BTN_FERMER"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(closing.isNull());
    }

    void compareWithAFile_data()
    {
        QTest::addColumn<QString>("file");  // "" cancelled, "changed", "unreadable"
        QTest::addColumn<QString>("summary");
        QTest::newRow("cancelled") << "" << QString();
        QTest::newRow("one field changed") << "changed"
                                           << "1 paramètre diffère : Début du totalisateur.";
        QTest::newRow("not a configuration") << "unreadable" << QString();
    }
    void compareWithAFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, summary);
        Fixture f;
        ConfigWindow* cp = f.configWindow();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("c.config_CP"));
        if (file == QLatin1String("changed")) {
            FormState form = cp->formState();
            form.REG_V[1] = QStringLiteral("4242");
            QVERIFY(saveConfiguration(path, form).ok());
        } else if (file == QLatin1String("unreadable")) {
            test::writeAll(path, "pas une configuration\r\n");
            f.dialogs.expect();
        }
        if (!file.isEmpty())
            f.dialogs.fileAnswers << path;
        f.choose(QStringLiteral("MENU_COMPARER"));
        QCOMPARE(f.dialogs.fileRequests.size(), 1);
        QCOMPARE(f.dialogs.fileRequests[0].filter, QStringLiteral("Fichier (*.config_CP)"));
        ComparisonDialog* dialog = f.tools()->comparisonDialog();
        if (summary.isEmpty()) {
            QVERIFY(!dialog);
            QVERIFY(f.rig.outputs().empty());
            return;
        }
        QVERIFY(dialog);
        QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("LBL_RESUME"))->text(), summary);
        QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("LBL_SOURCE"))->text(),
                 QStringLiteral("Attendu : ") + QDir::toNativeSeparators(path));
        QCOMPARE(f.requestCodes(), (QList<int>{0x30, 0x31}));
    }

    // "Programmer" stays as it was until the switch is on; then the status says what the read-back found.
    void statusAfterProgramming_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("reports");
        QTest::addColumn<QString>("status");
        QTest::newRow("switch off") << false << "none" << 30 << "Programmation efféctuée avec succés.";
        QTest::newRow("switch off, display changes")
            << false << "block" << 30 << "Programmation efféctuée avec succés.";
        QTest::newRow("identical") << true << "none" << 32 << "Programmation efféctuée avec succés.";
        QTest::newRow("different") << true << "block" << 32
                                   << "Programmation effectuée, mais l'afficheur relu diffère. "
                                      "1 paramètre diffère : Seuil relais 1.";
        QTest::newRow("read-back lost") << true << "gone" << 30 << QString(kProgramReadBackFailedStatus);
    }
    void statusAfterProgramming()
    {
        QFETCH(bool, on);
        QFETCH(QString, fault);
        QFETCH(int, reports);
        QFETCH(QString, status);
        Fixture f;
        ConfigWindow* cp = f.configWindow();
        if (on)
            f.item(QStringLiteral("MENU_VERIF_PROG"))->trigger();
        if (fault == QLatin1String("block")) {
            EmulatedDisplay& display = f.rig.transport.display();
            // On the display's own thread, between two of its exchanges.
            f.rig.owner.setReportObserver([&display](bool output, const uint8_t* data, std::size_t) {
                if (output && data[1] == 0x33)
                    display.setWord(7, 12345);
            });
        } else if (fault == QLatin1String("gone")) {
            f.rig.transport.unplugAfterReports(30);
            f.dialogs.expect();  // the read-back's own box
        }
        cp->PROG_PARAM();
        QVERIFY(f.settled());
        QCOMPARE(f.main.statusPanel2(), status);
        QCOMPARE(int(f.rig.outputs().size()), reports);
        if (fault == QLatin1String("gone"))
            QCOMPARE(f.dialogs.messages.last().icon, MsgIcon::Critical);
    }

    void nothingIsOfferedWhileTheUpdateAreaIsOpen()
    {
        Fixture f;
        MaintenanceWindow* maintenance = f.main.showMaintenanceWindow();
        f.dialogs.expect(MsgResult::Yes);
        maintenance->Maj_Click();
        emit f.menu()->aboutToShow();
        for (const QString& name : kOperations)
            QVERIFY2(!f.item(name)->isEnabled(), qPrintable(name));
        QVERIFY(f.item(QStringLiteral("MENU_HISTORIQUE"))->isEnabled());
        f.rig.transport.clearRecord();
        f.tools()->MENU_VERIFIER_Click();
        f.tools()->MENU_SAUVEGARDE_AFF_Click();
        f.tools()->MENU_RESTAURE_AFF_Click();
        QVERIFY(f.settled());
        QVERIFY(f.rig.outputs().empty());
        QVERIFY(f.dialogs.folderRequests.isEmpty());
        QVERIFY(!f.tools()->comparisonDialog());

        maintenance->FERME_Click();
        emit f.menu()->aboutToShow();
        for (const QString& name : kItems)
            QVERIFY2(f.item(name)->isEnabled(), qPrintable(name));
    }

    void nothingElseStartsWhileAToolRuns()
    {
        Fixture f;
        bool offeredDuringDialog = true;
        f.dialogs.onFolder = [&] {
            offeredDuringDialog = f.item(QStringLiteral("MENU_VERIFIER"))->isEnabled() || f.tools()->available();
            f.tools()->MENU_VERIFIER_Click();  // a second operation inside the first: refused
        };
        f.rig.transport.clearRecord();
        f.choose(QStringLiteral("MENU_SAUVEGARDE_AFF"));  // cancelled at the folder dialog
        QVERIFY(!offeredDuringDialog);
        QVERIFY(f.rig.outputs().empty());
        QVERIFY(f.item(QStringLiteral("MENU_VERIFIER"))->isEnabled());
    }

    void backupAndRestoreThroughTheMenu()
    {
        Fixture f;
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("sauvegarde"));
        EmulatedDisplay& display = f.rig.transport.display();
        display.setWord(3, 4321);
        display.picture[7] = 0x81;
        const auto block = display.block;
        const auto picture = display.picture;

        f.rig.transport.clearRecord();
        f.dialogs.folderAnswers << folder;
        f.dialogs.expect();
        f.choose(QStringLiteral("MENU_SAUVEGARDE_AFF"));
        QVERIFY(f.onlyReads());
        QCOMPARE(f.dialogs.messages.last().icon, MsgIcon::Information);
        QVERIFY(f.dialogs.messages.last().text.startsWith(QStringLiteral("Sauvegarde de l'afficheur enregistrée")));
        QCOMPARE(f.main.statusPanel2(), f.dialogs.messages.last().text);
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("/sauvegarde.json")));

        // The display changes; declining the restore sends nothing, accepting it brings it back.
        display.setWord(3, 1);
        display.picture.fill(0xFF);
        f.rig.transport.clearRecord();
        f.dialogs.folderAnswers << folder;
        f.dialogs.expect(MsgResult::No);
        f.choose(QStringLiteral("MENU_RESTAURE_AFF"));
        QVERIFY(f.rig.outputs().empty());
        const MessageRequest question = f.dialogs.messages.last();
        QCOMPARE(question.buttons, MsgButtons::YesNo);
        QCOMPARE(question.defaultButton, MsgResult::No);
        QVERIFY(question.text.contains(QStringLiteral("Voulez-vous restaurer cette sauvegarde ?")));

        f.dialogs.folderAnswers << folder;
        f.dialogs.expect(MsgResult::Yes).expect();
        f.choose(QStringLiteral("MENU_RESTAURE_AFF"));
        QCOMPARE(f.dialogs.messages.last().text,
                 QStringLiteral("Afficheur restauré : configuration et écran d'accueil relus identiques."));
        QCOMPARE(display.block, block);
        QCOMPARE(display.picture, picture);

        // A backup with a file gone is refused before anything is sent.
        QVERIFY(QFile::remove(folder + QStringLiteral("/ecran.png")));
        f.rig.transport.clearRecord();
        f.dialogs.folderAnswers << folder;
        f.dialogs.expect();
        f.choose(QStringLiteral("MENU_RESTAURE_AFF"));
        QVERIFY(f.dialogs.messages.last().text.contains(QStringLiteral("ecran.png manque")));
        QVERIFY(f.rig.outputs().empty());
    }

    void screenshots()
    {
        Fixture f;
        f.main.resize(1100, 780);
        ConfigWindow* cp = f.configWindow();
        f.item(QStringLiteral("MENU_VERIF_PROG"))->trigger();
        QMenu* menu = f.menu();
        menu->popup(f.main.mapToGlobal(QPoint(20, 20)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        test::screenshot(menu, QStringLiteral("MENU_OUTILS.png"));
        menu->hide();

        FormState form = cp->formState();
        form.REG_V[6] = QStringLiteral("777");
        form.REG_V[9] = QStringLiteral("3");
        form.Slider1 = 9;
        cp->applyFormState(form);
        f.choose(QStringLiteral("MENU_VERIFIER"));
        ComparisonDialog* dialog = f.tools()->comparisonDialog();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        test::screenshot(dialog, QStringLiteral("comparaison_differences.png"));
        dialog->setDifferencesOnly(false);
        test::screenshot(dialog, QStringLiteral("comparaison_tout.png"));
        QCoreApplication::processEvents();
        dialog->findChild<QTableWidget*>(QStringLiteral("TABLE_COMPARAISON"))->scrollToBottom();
        QCoreApplication::processEvents();
        test::screenshot(dialog, QStringLiteral("comparaison_fin.png"));
        test::screenshot(&f.main, QStringLiteral("main_with_outils.png"));
        dialog->close();

        // The home-screen window in its frame, grown by the read-back's line.
        f.item(QStringLiteral("MENU_VERIF_ECRAN"))->trigger();
        ScreenWindow* screen = f.main.showScreenWindow();
        screen->but_WR_HID_ECR_Click();
        QVERIFY(f.settled());
        QVERIFY(screen->readBackShown());
        test::screenshot(f.main.subWindowOf(screen), QStringLiteral("ecran_relecture_mdi.png"));
    }
};

QTEST_MAIN(TestToolsMenu)
#include "test_tools_menu.moc"
