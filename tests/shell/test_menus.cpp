// The menu bar: every item with its caption, what each one opens, the help documents through the
// desktop seam, the maintenance question, window arrangement and the window list, and the about window.
#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

#include "common/dialogs.h"
#include "common/ui/twips.h"
#include "config/config_file_io.h"
#include "config/config_form.h"
#include "configwindow/config_window.h"
#include "emulator/emulated_display.h"
#include "link/exchanger.h"
#include "link/display_owner.h"
#include "maintenance/ui/maintenance_window.h"
#include "registers/ui/registers_window.h"
#include "screen/ui/screen_window.h"
#include "shell/about_window.h"
#include "shell/help_documents.h"
#include "shell/main_window.h"
#include "shell/menus.h"
#include "shell/window_arrangement.h"
#include "main_window_rig.h"
#include "support/rig.h"
#include "support/screenshots.h"
#include "support/settings_sandbox.h"
#include "support/files.h"

using namespace trivo;

namespace {

// The main window on the rig, its display unplugged and no connection check run by the test.
struct Fixture : test::MainWindowRig {
    int exits = 0;
    QList<QUrl> opened;
    QStringList currentFolderAtOpen;

    Fixture()
    {
        transport.plug(false);
        main.setExitHandler([this] { ++exits; });
        main.show();
        main.MDIForm_Load();
        owner.stopMonitor();
        setUrlOpener([this](const QUrl& url) {
            opened.append(url);
            currentFolderAtOpen.append(QDir::currentPath());
            return true;
        });
    }
    ~Fixture() { setUrlOpener({}); }

    MenuBar* menus() const { return main.findChild<MenuBar*>(); }
    void touch(const QString& folder, const QString& name) const
    {
        QDir().mkpath(folder);
        test::writeAll(folder + QLatin1Char('/') + name, "%PDF-1.4\n");
    }
    QStringList menuItems(const QString& menu) const
    {
        QStringList names;
        for (QAction* a : main.menuBar()->findChild<QMenu*>(menu)->actions())
            if (!a->isSeparator() && !a->objectName().startsWith(QLatin1String("MENU8FEN_LISTE")))
                names << a->objectName();
        return names;
    }
};

}  // namespace

class TestMenus : public QObject {
    Q_OBJECT

    QString startFolder_;

private slots:
    void initTestCase()
    {
        test::sandboxSettings();
        startFolder_ = QDir::currentPath();
    }
    void cleanup() { QDir::setCurrent(startFolder_); }

    void everyItemWithItsCaption_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("MENU_FICHIER") << "MENU_FICHIER"
                                      << "&Fichier";
        QTest::newRow("MENU_NEW") << "MENU_NEW"
                                  << "&Nouveau";
        QTest::newRow("MENU_OUVRIR") << "MENU_OUVRIR"
                                     << "&Ouvrir";
        QTest::newRow("MENU_SAUVEGARDER") << "MENU_SAUVEGARDER"
                                          << "&Sauvegarder";
        QTest::newRow("MENU_IMPRIMER") << "MENU_IMPRIMER"
                                       << "&Imprimer la configuration...";
        QTest::newRow("MENU_PDF") << "MENU_PDF"
                                  << "E&xporter en PDF...";
        QTest::newRow("MENU_QUITTER") << "MENU_QUITTER"
                                      << "&Quitter";
        QTest::newRow("MENU_CONFIGURER") << "MENU_CONFIGURER"
                                         << "&Configuration";
        QTest::newRow("MENU_OPTION") << "MENU_OPTION"
                                     << "&Option";
        QTest::newRow("MENU_ECRAN_DEMARRAGE") << "MENU_ECRAN_DEMARRAGE"
                                              << "&Charger un écran de présentation.";
        QTest::newRow("MENU_LIT_HMS") << "MENU_LIT_HMS"
                                      << "&Lire les registres spéciaux.";
        QTest::newRow("MENU_INIT") << "MENU_INIT"
                                   << "Fonctions spéciales de maintenances.";
        QTest::newRow("MENU_PRODUCTION") << "MENU_PRODUCTION"
                                         << "&Production en série.";
        QTest::newRow("MENU8FEN") << "MENU8FEN"
                                  << "&Fenêtre.";
        QTest::newRow("MENU_CASCADE") << "MENU_CASCADE"
                                      << "&En Cascade.";
        QTest::newRow("MENU_HORI") << "MENU_HORI"
                                   << "Mosaïque &Horizontale.";
        QTest::newRow("MENU_VERTI") << "MENU_VERTI"
                                    << "Mosaïque &verticale.";
        QTest::newRow("MENU_ARRANFEUILICO") << "MENU_ARRANFEUILICO"
                                            << "&Réorganiser les icones.";
        QTest::newRow("MENU_AIDE") << "MENU_AIDE"
                                   << "&?";
        QTest::newRow("MENU_AIDETALUORV") << "MENU_AIDETALUORV"
                                          << "Protocole au format  Pdf (reader)";
        QTest::newRow("MEN_FORDOC") << "MEN_FORDOC"
                                    << "Protocole au format  DOC";
        QTest::newRow("MENU_INTERPDF") << "MENU_INTERPDF"
                                       << "Interface au format  Pdf (reader)";
        QTest::newRow("MENU_INTERDOC") << "MENU_INTERDOC"
                                       << "Interface au format  DOC";
        QTest::newRow("MEN_OPENPDF") << "MEN_OPENPDF"
                                     << "Ouvrir de l'aide.";
        QTest::newRow("MENU_SPLASH") << "MENU_SPLASH"
                                     << "?";
    }

    void everyItemWithItsCaption()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        Fixture f;
        QAction* action = f.item(name);
        QVERIFY2(action, qPrintable(name));
        QCOMPARE(action->text(), caption);
        QVERIFY(action->isEnabled());
        QVERIFY(action->isVisible());
    }

    void menusInDisplayOrder()
    {
        Fixture f;
        QStringList bar;
        for (QAction* a : f.main.menuBar()->actions())
            bar << a->objectName();
        // The training mode may add its own menu after these; the program's own come first, in order.
        const QStringList expected{"MENU_FICHIER", "MENU_CONFIGURER", "MENU_OPTION", "MENU_OUTILS",
                                   "MENU8FEN",     "MENU_AIDE",       "MENU_SPLASH"};
        QCOMPARE(bar.mid(0, expected.size()), expected);
        QCOMPARE(
            f.menuItems("MENU_FICHIER"),
            (QStringList{"MENU_NEW", "MENU_OUVRIR", "MENU_SAUVEGARDER", "MENU_IMPRIMER", "MENU_PDF", "MENU_QUITTER"}));
        QCOMPARE(f.menuItems("MENU_OPTION"),
                 (QStringList{"MENU_PROGRAMMER", "MENU_ECRAN_DEMARRAGE", "MENU_LIT_HMS", "MENU_INIT", "MENU_PRODUCTION",
                              "MENU_LANGUE", "MENU_NOMMER_AFFICHEUR"}));
        QCOMPARE(f.menuItems("MENU8FEN"),
                 (QStringList{"MENU_CASCADE", "MENU_HORI", "MENU_VERTI", "MENU_ARRANFEUILICO"}));
        QCOMPARE(f.menuItems("MENU_AIDE"),
                 (QStringList{"MENU_AIDETALUORV", "MEN_FORDOC", "MENU_INTERPDF", "MENU_INTERDOC", "MEN_OPENPDF"}));
    }

    void helpDocuments_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("document");
        QTest::newRow("protocol pdf") << "MENU_AIDETALUORV"
                                      << "TRIVO_SOLANT_VARDEL.pdf";
        QTest::newRow("protocol doc") << "MEN_FORDOC"
                                      << "TRIVO_SOLANT_VARDEL.doc";
        QTest::newRow("interface pdf") << "MENU_INTERPDF"
                                       << "Raccor_Inter_Config_TRIVO.pdf";
        QTest::newRow("interface doc") << "MENU_INTERDOC"
                                       << "Raccor_Inter_Config_TRIVO.doc";
    }

    void helpDocuments()
    {
        QFETCH(QString, item);
        QFETCH(QString, document);
        Fixture f;
        // Missing: nothing opened, nothing said, and the program's folder is the current one.
        f.choose(item);
        QVERIFY(f.opened.isEmpty());
        QVERIFY(f.dialogs.messages.isEmpty());
        QCOMPARE(QDir::currentPath(), QDir(f.programDir.path()).canonicalPath());

        QDir::setCurrent(QDir::tempPath());
        f.touch(f.programDir.path(), document);
        f.choose(item);
        QCOMPARE(f.opened, QList<QUrl>{QUrl::fromLocalFile(f.programDir.filePath(document))});
        QCOMPARE(f.currentFolderAtOpen, QStringList{QDir(f.programDir.path()).canonicalPath()});
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    void installedDocumentsAreFoundInTheDataFolders()
    {
        Fixture f;
        QTemporaryDir data;
        const QByteArray saved = qgetenv("XDG_DATA_DIRS");
        qputenv("XDG_DATA_DIRS", data.path().toLocal8Bit());
        f.touch(data.path() + QStringLiteral("/trivo-cp/doc"), QStringLiteral("TRIVO_SOLANT_VARDEL.pdf"));
        f.choose(QStringLiteral("MENU_AIDETALUORV"));
        qputenv("XDG_DATA_DIRS", saved);
        QCOMPARE(
            f.opened,
            QList<QUrl>{QUrl::fromLocalFile(data.path() + QStringLiteral("/trivo-cp/doc/TRIVO_SOLANT_VARDEL.pdf"))});
        // The program's folder still comes first.
        f.touch(f.programDir.path(), QStringLiteral("TRIVO_SOLANT_VARDEL.pdf"));
        qputenv("XDG_DATA_DIRS", data.path().toLocal8Bit());
        f.choose(QStringLiteral("MENU_AIDETALUORV"));
        qputenv("XDG_DATA_DIRS", saved);
        QCOMPARE(f.opened.last(),
                 QUrl::fromLocalFile(f.programDir.filePath(QStringLiteral("TRIVO_SOLANT_VARDEL.pdf"))));
    }

    void documentNamesUseThePlatformSeparator()
    {
        QCOMPARE(platformDocumentName(QStringLiteral("\\TRIVO_SOLANT_VARDEL.pdf")),
                 QString(QDir::separator()) + QStringLiteral("TRIVO_SOLANT_VARDEL.pdf"));
        QCOMPARE(documentPath(QStringLiteral("/opt/trivo/"), QStringLiteral("\\a.pdf")),
                 QStringLiteral("/opt/trivo") + QDir::separator() + QStringLiteral("a.pdf"));
    }

    void helpFileBrowser()
    {
        Fixture f;
        f.choose(QStringLiteral("MEN_OPENPDF"));  // cancelled
        QCOMPARE(f.dialogs.fileRequests.size(), 1);
        const FileRequest r = f.dialogs.fileRequests.first();
        QCOMPARE(r.title, QStringLiteral("Ouvrir un fichier d'aide (bouton gauche puis ouvrir)."));
        // The second entry lists every file, names without a dot included.
        QCOMPARE(r.filter, QStringLiteral("Fichiers d'aide (*.pdf *.doc *.txt);;Tous les fichiers(*.*) (*)"));
        QCOMPARE(r.filterIndex, 1);
        QCOMPARE(r.initialDir, f.programDir.path());
        QVERIFY(!r.save);
        QVERIFY(f.opened.isEmpty());
        QVERIFY(f.dialogs.messages.isEmpty());
        QCOMPARE(QDir::currentPath(), QDir(f.programDir.path()).canonicalPath());

        f.dialogs.fileAnswers << f.programDir.filePath(QStringLiteral("notes.txt"));
        f.choose(QStringLiteral("MEN_OPENPDF"));
        QCOMPARE(f.opened, QList<QUrl>{QUrl::fromLocalFile(f.programDir.filePath(QStringLiteral("notes.txt")))});
    }

    void cancelledOpenAfterHelpBrowserSaysNothing()
    {
        Fixture f;
        f.dialogs.expect(MsgResult::Ok);  // its load reads a display that is not there
        f.main.showConfigWindow();
        QVERIFY(f.settled());
        f.dialogs.messages.clear();
        const FormState before = f.main.configWindow()->formState();
        f.choose(QStringLiteral("MEN_OPENPDF"));
        f.choose(QStringLiteral("MENU_OUVRIR"));
        QVERIFY(f.dialogs.messages.isEmpty());
        QCOMPARE(f.dialogs.fileRequests.last().title, QStringLiteral("Onvrir une configuration."));
        QCOMPARE(f.main.configWindow()->formState(), before);
    }

    void fileCommandsCreateTheConfigurationWindow()
    {
        Fixture f;
        QVERIFY(!f.main.configWindow());
        f.dialogs.fileAnswers << f.programDir.filePath(QStringLiteral("s.config_CP"));
        f.dialogs.expect(MsgResult::Ok);  // the new window's load reads a display that is not there
        f.choose(QStringLiteral("MENU_SAUVEGARDER"));
        QVERIFY(f.settled());
        QVERIFY(f.main.configWindow());
        QVERIFY(QFile::exists(f.programDir.filePath(QStringLiteral("s.config_CP"))));
        QCOMPARE(f.main.statusPanel2(), QStringLiteral("Enregistrement effectué avec succés !"));
    }

    // A file command that has to open the configuration window works on the form once the window has read
    // the display: the file opened is not overwritten by that read, the file saved holds what it read.
    void fileCommandsWaitForTheWindowsRead_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("open") << "MENU_OUVRIR";
        QTest::newRow("save") << "MENU_SAUVEGARDER";
    }
    void fileCommandsWaitForTheWindowsRead()
    {
        QFETCH(QString, item);
        Fixture f;
        f.transport.display().setWord(1, 4321987);  // the counter's start as the display holds it
        f.transport.plug(true);
        f.tick();
        QMdiSubWindow* first = f.main.subWindowOf(f.main.configWindow());
        FormState inFile = f.main.configWindow()->formState();
        inFile.REG_V[0] = QStringLiteral("5150");
        const QString opened = f.programDir.filePath(QStringLiteral("o.config_CP"));
        const QString saved = f.programDir.filePath(QStringLiteral("s.config_CP"));
        QVERIFY(saveConfiguration(opened, inFile).ok());
        first->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!f.main.configWindow());

        const bool open = item == QLatin1String("MENU_OUVRIR");
        f.dialogs.fileAnswers << (open ? opened : saved);
        f.choose(item);
        QVERIFY(f.settled());
        QVERIFY(f.main.configWindow());
        const FormState form =
            open ? f.main.configWindow()->formState() : loadConfiguration(saved, resetConfiguration(FormState{})).state;
        QCOMPARE(form.REG_V[0], open ? QStringLiteral("5150") : QStringLiteral("4321987"));
    }

    void maintenanceAsksFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("opens");
        QTest::newRow("Enter: No, the default") << int(MsgResult::No) << false;
        QTest::newRow("No") << int(MsgResult::No) << false;
        QTest::newRow("Yes") << int(MsgResult::Yes) << true;
    }

    void maintenanceAsksFirst()
    {
        QFETCH(int, answer);
        QFETCH(bool, opens);
        Fixture f;
        f.dialogs.expect(MsgResult(answer));
        f.choose(QStringLiteral("MENU_INIT"));
        QCOMPARE(f.dialogs.messages.size(), 1);
        const MessageRequest& m = f.dialogs.messages.first();
        QCOMPARE(m.title, QStringLiteral("Fonctions spéciales de maintenances."));
        QCOMPARE(m.text, QStringLiteral("Souhaitez-vous continuer?"));
        QCOMPARE(m.icon, MsgIcon::Exclamation);
        QCOMPARE(m.buttons, MsgButtons::YesNo);
        QCOMPARE(m.defaultButton, MsgResult::No);
        QCOMPARE(f.main.maintenanceWindow() != nullptr, opens);
    }

    void optionItemsShowTheirWindows()
    {
        Fixture f;
        f.choose(QStringLiteral("MENU_ECRAN_DEMARRAGE"));
        QVERIFY(f.main.screenWindow());
        f.choose(QStringLiteral("MENU_LIT_HMS"));
        QVERIFY(f.main.registersWindow());
        QCOMPARE(f.main.mdiArea()->activeSubWindow()->widget(), static_cast<QWidget*>(f.main.registersWindow()));
        f.choose(QStringLiteral("MENU_ECRAN_DEMARRAGE"));
        QCOMPARE(f.main.mdiArea()->activeSubWindow()->widget(), static_cast<QWidget*>(f.main.screenWindow()));
    }

    void configurationComesBackTo50Twips()
    {
        Fixture f;
        f.dialogs.expect(MsgResult::Ok);  // its load reads a display that is not there
        f.choose(QStringLiteral("MENU_CONFIGURER"));
        QVERIFY(f.settled());
        QMdiSubWindow* sub = f.main.subWindowOf(f.main.configWindow());
        sub->move(300, 200);
        f.choose(QStringLiteral("MENU_CONFIGURER"));
        QCOMPARE(sub->pos(), QPoint(twipsToPixels(50, &f.main), twipsToPixels(50, &f.main)));
        int configs = 0;
        for (auto* s : f.main.mdiArea()->subWindowList())
            configs += qobject_cast<ConfigWindow*>(s->widget()) ? 1 : 0;
        QCOMPARE(configs, 1);
    }

    void quitEndsTheProgram()
    {
        Fixture f;
        f.choose(QStringLiteral("MENU_QUITTER"));
        QCOMPARE(f.exits, 1);
    }

    void windowListActivatesAChild()
    {
        Fixture f;
        f.main.showScreenWindow();
        f.main.showRegistersWindow();
        QMdiSubWindow* screen = f.main.subWindowOf(f.main.screenWindow());
        screen->showMinimized();
        QMenu* menu = f.main.menuBar()->findChild<QMenu*>(QStringLiteral("MENU8FEN"));
        emit menu->aboutToShow();
        QStringList titles;
        QAction* screenEntry = nullptr;
        for (QAction* a : menu->actions()) {
            if (!a->objectName().startsWith(QLatin1String("MENU8FEN_LISTE")))
                continue;
            titles << a->text();
            if (a->text().endsWith(QStringLiteral("Chargez un écran de présentation.")))
                screenEntry = a;
        }
        // The link window (minimised while waiting), the screen and the registers windows.
        QCOMPARE(titles.size(), 3);
        QVERIFY(titles.first().startsWith(QStringLiteral("&1 ")));
        QVERIFY(screenEntry);
        screenEntry->trigger();
        QCOMPARE(f.main.mdiArea()->activeSubWindow(), screen);
        QVERIFY(!screen->isMinimized());
        // A second opening lists the same windows, not twice as many.
        emit menu->aboutToShow();
        int entries = 0;
        for (QAction* a : menu->actions())
            entries += a->objectName().startsWith(QLatin1String("MENU8FEN_LISTE")) ? 1 : 0;
        QCOMPARE(entries, 3);
    }

    void windowListShowsTitlesAsTheyStand()
    {
        Fixture f;
        f.main.showScreenWindow();
        f.main.screenWindow()->setWindowTitle(QStringLiteral("Configuration TRIVO CP. Fichier: /tmp/a&b.config_CP"));
        QMenu* menu = f.main.menuBar()->findChild<QMenu*>(QStringLiteral("MENU8FEN"));
        emit menu->aboutToShow();
        QStringList shown;
        for (QAction* a : menu->actions())
            if (a->objectName().startsWith(QLatin1String("MENU8FEN_LISTE")))
                shown << a->iconText();  // the text without its access-letter marks
        QVERIFY2(shown.filter(QStringLiteral("Fichier: /tmp/a&b.config_CP")).size() == 1,
                 qPrintable(shown.join(QLatin1Char('|'))));
    }

    void tilingAndIcons()
    {
        Fixture f;
        f.main.usbSubWindow()->hide();
        f.main.showScreenWindow();
        f.main.showRegistersWindow();
        QMdiSubWindow* a = f.main.subWindowOf(f.main.screenWindow());
        QMdiSubWindow* b = f.main.subWindowOf(f.main.registersWindow());
        const QRect area = f.main.mdiArea()->viewport()->rect();

        f.choose(QStringLiteral("MENU_HORI"));
        QCOMPARE(a->width(), area.width());
        QCOMPARE(b->width(), area.width());
        QCOMPARE(a->height() + b->height(), area.height());
        QVERIFY(a->y() != b->y());

        f.choose(QStringLiteral("MENU_VERTI"));
        QCOMPARE(a->height(), area.height());
        QCOMPARE(b->height(), area.height());
        QCOMPARE(a->width() + b->width(), area.width());
        QVERIFY(a->x() != b->x());

        f.choose(QStringLiteral("MENU_CASCADE"));
        QVERIFY(a->pos() != b->pos());

        a->showMinimized();
        a->move(200, 40);
        f.choose(QStringLiteral("MENU_ARRANFEUILICO"));
        QCOMPARE(a->x(), area.left());
        QCOMPARE(a->geometry().bottom(), area.bottom());
        // Tiles leave the row of icons free.
        f.choose(QStringLiteral("MENU_HORI"));
        QCOMPARE(b->geometry().bottom(), a->y() - 1);
    }

    void tileArithmetic_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("count");
        QTest::newRow("one") << QRect(0, 0, 800, 600) << 1;
        QTest::newRow("three, uneven") << QRect(0, 0, 800, 601) << 3;
        QTest::newRow("seven, offset") << QRect(10, 20, 703, 499) << 7;
        QTest::newRow("more than pixels") << QRect(0, 0, 3, 3) << 5;
    }

    void tileArithmetic()
    {
        QFETCH(QRect, area);
        QFETCH(int, count);
        for (const bool sideBySide : {true, false}) {
            const QList<QRect> tiles = sideBySide ? tilesSideBySide(area, count) : tilesOneAbove(area, count);
            QCOMPARE(tiles.size(), count);
            int covered = 0;
            int at = sideBySide ? area.left() : area.top();
            for (const QRect& t : tiles) {
                QCOMPARE(sideBySide ? t.height() : t.width(), sideBySide ? area.height() : area.width());
                QCOMPARE(sideBySide ? t.left() : t.top(), at);
                const int size = sideBySide ? t.width() : t.height();
                QVERIFY(size >= (sideBySide ? area.width() : area.height()) / count);
                at += size;
                covered += size;
            }
            QCOMPARE(covered, sideBySide ? area.width() : area.height());
        }
    }

    void iconRows()
    {
        const QRect area(0, 0, 250, 400);
        const QList<QPoint> at = iconPositions(area, {QSize(100, 30), QSize(100, 30), QSize(100, 30)});
        QCOMPARE(at, (QList<QPoint>{QPoint(0, 370), QPoint(100, 370), QPoint(0, 340)}));
    }

    void aboutWindowEachTimeAfresh()
    {
        Fixture f;
        f.choose(QStringLiteral("MENU_SPLASH"));
        QPointer<AboutWindow> first = f.menus()->aboutWindow();
        QVERIFY(first);
        QVERIFY(first->isVisible());
        QVERIFY(first->findChild<QLabel*>(QStringLiteral("lblVersion"))->text().startsWith(QStringLiteral("Version ")));
        for (int i = 0; i < 4; ++i)
            first->Timer1_Timer();
        QTest::mouseClick(first->findChild<QWidget*>(QStringLiteral("lblVersion")), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(first.isNull());
        QVERIFY(f.main.isVisible());

        f.choose(QStringLiteral("MENU_SPLASH"));
        AboutWindow* second = f.menus()->aboutWindow();
        QVERIFY(second);
        QCOMPARE(second->Timer1().property("Tag").toString(), QStringLiteral("0"));
        QVERIFY(second->Timer1().isActive());
    }

    void screenshots()
    {
        Fixture f;
        f.main.showScreenWindow();
        test::screenshot(&f.main, QStringLiteral("main_menus.png"));
        for (const char* name : {"MENU_FICHIER", "MENU_OPTION", "MENU8FEN", "MENU_AIDE"}) {
            QMenu* menu = f.main.menuBar()->findChild<QMenu*>(QString::fromLatin1(name));
            menu->popup(f.main.mapToGlobal(QPoint(20, 20)));
            QVERIFY(QTest::qWaitForWindowExposed(menu));
            test::screenshot(menu, QString::fromLatin1(name) + QStringLiteral(".png"));
            menu->hide();
        }
        f.choose(QStringLiteral("MENU_SPLASH"));
        test::screenshot(f.menus()->aboutWindow(), QStringLiteral("about_from_menu.png"));
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
