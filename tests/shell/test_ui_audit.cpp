// Every window and dialog of the program, opened as the program opens them, audited for what a small
// screen, a keyboard or a screen reader meets (support/ui_audit.h), and pictured at scale 2 and on small
// screens. The screen, the scale, the palette and the language are the run's (CTest runs one row of each:
// tests/shell/CMakeLists.txt); the counts are printed at the end and must all be 0.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyleOptionTitleBar>
#include <QTabWidget>
#include <QtTest>

#include "common/language.h"
#include "common/ui/theme.h"
#include "configwindow/config_window.h"
#include "emulator/faults.h"
#include "journal/ui/dashboard_page.h"
#include "journal/ui/history_window.h"
#include "maintenance/ui/maintenance_window.h"
#include "production/ui/production_window.h"
#include "registers/ui/registers_window.h"
#include "screen/ui/screen_window.h"
#include "shell/about_window.h"
#include "shell/emulated_panel_view.h"
#include "shell/menus.h"
#include "shell/production_menu.h"
#include "shell/tools_menu.h"
#include "shell/usb_window.h"
#include "shell/main_window_rig.h"
#include "support/screenshots.h"
#include "support/settings_sandbox.h"
#include "support/ui_audit.h"

using namespace trivo;

namespace {

constexpr int kLineLimitMs = 60000;  // a bound for a broken line, not a measure

// The program's windows as a session meets them: the main window, then each window opened from its menus.
struct Program : test::MainWindowRig {
    QTemporaryDir files;
    QPointer<ProductionWindow> production;
    std::unique_ptr<QSignalSpy> lineEnd;

    Program()
    {
        main.enableSimulation(transport);
        main.show();
        main.MDIForm_Load();
        owner.stopMonitor();
        transport.plug(true);
    }
    ConfigWindow* config() { return main.configWindow(); }
    void page(int index) { config()->BOUTON_STA_Click(index); }
    void mode(int index) { config()->findChild<QRadioButton*>(QStringLiteral("Option_CPT(%1)").arg(index))->click(); }
    ToolsMenu* tools() { return main.findChild<ToolsMenu*>(); }
};

// Known pixels of a window in its frame as drawn: the bottom of the title bar is the active window's
// highlight (its gradient ends there), and the window's margin shows the window's own background.
void knownPixels(QMdiSubWindow* frame, QWidget* window)
{
    const QImage picture = frame->grab().toImage();
    const auto at = [&](QPoint q) { return picture.pixelColor((QPointF(q) * picture.devicePixelRatio()).toPoint()); };
    QStyleOptionTitleBar option;
    option.initFrom(frame);
    const QColor bar = at({frame->width() / 4, frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, frame) - 2});
    const QColor highlight = frame->palette().color(QPalette::Highlight);
    QVERIFY2(std::abs(bar.red() - highlight.red()) <= 4 && std::abs(bar.green() - highlight.green()) <= 4
                 && std::abs(bar.blue() - highlight.blue()) <= 4,
             qPrintable(QStringLiteral("title bar %1, the highlight %2").arg(bar.name(), highlight.name())));
    QCOMPARE(at(window->mapTo(frame, QPoint(2, 2))).name(), window->palette().color(QPalette::Window).name());
}

struct Scene {
    const char* name;
    std::function<QWidget*(Program&)> show;
};

const std::vector<Scene>& scenes()
{
    static const std::vector<Scene> all{
        {"PR", [](Program& p) { return p.tick(), static_cast<QWidget*>(&p.main); }},
        {"CP-production-general", [](Program& p) { return p.mode(0), p.page(0), p.config(); }},
        {"CP-production-sorties", [](Program& p) { return p.page(1), p.config(); }},
        {"CP-totalisateur-general", [](Program& p) { return p.page(0), p.mode(1), p.config(); }},
        {"CP-totalisateur-sorties", [](Program& p) { return p.page(1), p.config(); }},
        {"ECRAN_ACCEUIL", [](Program& p) { return p.main.showScreenWindow(); }},
        {"REGISTRE",
         [](Program& p) {
             // Its reads every 500 ms are not waited for: the display is left idle once the first has come.
             RegistersWindow* registers = p.main.showRegistersWindow();
             registers->Timer1().stop();
             return registers;
         }},
        {"REGISTRE-courbes",
         [](Program& p) {
             // Twenty minutes of a session read ten seconds apart: warming up, the radio coming and going.
             RegistersWindow* registers = p.main.registersWindow();
             registers->setClock([at = std::make_shared<QDateTime>(QDateTime::currentDateTimeUtc())] {
                 return *at = at->addSecs(10);
             });
             registers->pages()->setCurrentIndex(1);
             for (int i = 0; i < 120; ++i) {
                 p.transport.display().temperatureSixteenths = int16_t(19 * 16 + i * 3 - (i > 80 ? (i - 80) * 5 : 0));
                 p.transport.display().radioLevel = i % 40 < 5 ? 0xFF : uint8_t(3 + (i / 7) % 5);
                 registers->Timer1_Timer();
                 if (!p.settled())
                     return static_cast<RegistersWindow*>(nullptr);
             }
             return registers;
         }},
        {"Fonction_SPE-court",
         [](Program& p) {
             p.dialogs.expect(MsgResult::Yes);
             p.choose("MENU_INIT");
             return p.main.maintenanceWindow();
         }},
        {"Fonction_SPE-haut",
         [](Program& p) {
             // Left at the bottom of the area, as an operator may leave it: unfolding must not carry it past.
             QMdiSubWindow* frame = p.main.subWindowOf(p.main.maintenanceWindow());
             frame->move(frame->x(), p.main.mdiArea()->viewport()->height() - frame->height());
             p.dialogs.expect(MsgResult::Yes);
             p.main.maintenanceWindow()->Maj_Click();
             return p.main.maintenanceWindow();
         }},
        {"USB",
         [](Program& p) {
             p.main.subWindowOf(p.main.maintenanceWindow())->close();
             p.rig.plug(false);
             p.main.usbSubWindow()->showNormal();
             return p.main.usbWindow();
         }},
        {"USB-details", [](Program& p) { return p.main.usbWindow()->setDetailsShown(true), p.main.usbWindow(); }},
        {"COMPARAISON",
         [](Program& p) -> QWidget* {
             p.main.usbWindow()->setDetailsShown(false);
             p.rig.plug(true);
             FormState form = p.config()->formState();
             form.REG_V[6] = QStringLiteral("777");
             p.config()->applyFormState(form);
             p.choose("MENU_VERIFIER");
             return p.settled() ? p.tools()->comparisonDialog() : nullptr;
         }},
        {"PRODUCTION-repos",
         [](Program& p) {
             p.tools()->comparisonDialog()->close();
             p.choose("MENU_PRODUCTION");
             p.production = p.main.findChild<ProductionMenu*>()->window();
             p.production->setModelPath(QStringLiteral(TRIVO_MODEL));
             p.production->setLogPath(p.files.filePath(QStringLiteral("journal.csv")));
             p.production->setUnits(2);
             const auto& faults = faultCatalogue();
             const auto wrong = std::find_if(faults.begin(), faults.end(),
                                             [](const FaultInfo& f) { return f.fault == Fault::WrongSignature; });
             p.production->setFaultyUnit(2, int(wrong - faults.begin()));
             return p.production.data();
         }},
        {"PRODUCTION-en-cours",
         [](Program& p) -> QWidget* {
             p.lineEnd = std::make_unique<QSignalSpy>(p.production.data(), &ProductionWindow::lineFinished);
             const bool caught = p.production->cmdDemarrer_Click() && test::waitFor([&p] {
                 return p.production->panel() == ProductionWindow::Panel::Running || !p.lineEnd->isEmpty();
             }, kLineLimitMs);
             return caught && p.lineEnd->isEmpty() ? p.production.data() : nullptr;
         }},
        {"PRODUCTION-echec",
         [](Program& p) -> QWidget* {
             if (p.lineEnd->isEmpty() && !p.lineEnd->wait(kLineLimitMs))
                 return nullptr;
             return p.production->panel() == ProductionWindow::Panel::Failed ? p.production.data() : nullptr;
         }},
        {"HISTORIQUE", [](Program& p) { return static_cast<QWidget*>(p.tools()->MENU_HISTORIQUE_Click()); }},
        {"HISTORIQUE-tableau",
         [](Program& p) -> QWidget* {
             HistoryWindow* history = p.tools()->MENU_HISTORIQUE_Click();
             history->findChild<QTabWidget*>(QStringLiteral("PAGES"))->setCurrentIndex(1);
             auto* page = history->findChild<DashboardPage*>();
             if (!page || !QTest::qWaitFor([page] { return !page->isCounting(); }, kLineLimitMs))
                 return nullptr;
             // Its charts laid out as they were drawn, before they are looked at.
             QCoreApplication::processEvents();
             return history;
         }},
        {"PANNEAU_EMULE", [](Program& p) { return static_cast<QWidget*>(p.main.showEmulatedPanel()); }},
        {"ORV_ND_SPLASH",
         [](Program& p) -> QWidget* {
             p.choose("MENU_SPLASH");
             AboutWindow* about = p.main.findChild<MenuBar*>()->aboutWindow();
             about->Timer1().stop();  // it would close itself in five seconds
             return about;
         }},
    };
    return all;
}

// The language the windows are shown in: the program's own French, or a translation of it.
bool useLanguage(const QString& code)
{
    const std::optional<Language> language = parseLanguage(code);
    return language && setLanguage(*language);
}

}  // namespace

class TestUiAudit : public QObject {
    Q_OBJECT

    std::unique_ptr<Program> program_;
    test::UiAudit audit_;
    QString language_ = qEnvironmentVariable("TRIVO_AUDIT_LANGUE", QStringLiteral("fr"));
    bool dark_ = qEnvironmentVariable("TRIVO_AUDIT_THEME") == QLatin1String("sombre");

private slots:
    void initTestCase()
    {
        test::sandboxSettings();
        // The history shows this run's operations only.
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
        QVERIFY2(useLanguage(language_), qPrintable(QStringLiteral("no windows in language %1").arg(language_)));
        if (dark_)
            theme::forceDark(*qApp);
        audit_.english = language_ == QLatin1String("en");
        audit_.givenClashes = {{QStringLiteral("&Fichier"), QStringLiteral("&Fenêtre.")}};
        program_ = std::make_unique<Program>();
    }

    void windowIsWhole_data()
    {
        QTest::addColumn<int>("scene");
        for (std::size_t i = 0; i < scenes().size(); ++i)
            QTest::newRow(scenes()[i].name) << int(i);
    }
    void windowIsWhole()
    {
        QFETCH(int, scene);
        const Scene& s = scenes()[std::size_t(scene)];
        Program& p = *program_;
        QWidget* window = s.show(p);
        QVERIFY2(window, "the window did not come up in the state named");
        QVERIFY(p.settled());
        QVERIFY(window->isVisible());
        const auto before = audit_.counts;
        const QString name = QString::fromLatin1(s.name);
        audit_.window(window, name);
        if (window == &p.main)
            audit_.menus(p.main.menuBar(), name);
        // Pictured at scale 2 and on a small screen, named after the screen so that no row overwrites another's.
        const QScreen* screen = window->screen();
        if (screen->devicePixelRatio() >= 2 || screen->size().width() < 1024) {
            QMdiSubWindow* frame = p.main.subWindowOf(window);
            test::screenshot(frame ? static_cast<QWidget*>(frame) : window,
                             QStringLiteral("audit-%1-%2-%3x%4-%5.png")
                                 .arg(language_, dark_ ? "sombre" : "clair")
                                 .arg(screen->size().width())
                                 .arg(screen->size().height())
                                 .arg(name));
        }
        if (QMdiSubWindow* frame = p.main.subWindowOf(window))
            knownPixels(frame, window);
        audit_.mouseProbe(window, name);
        QVERIFY(p.settled());
        for (int k = 0; k < test::UiAudit::kKinds; ++k)
            QVERIFY2(audit_.counts[std::size_t(k)] == before[std::size_t(k)],
                     qPrintable(QStringLiteral("%1 in %2: see the lines above")
                                    .arg(QString::fromLatin1(test::UiAudit::kNames[std::size_t(k)]), name)));
    }

    void cleanupTestCase()
    {
        audit_.print();
        program_.reset();
        for (int k = 0; k < test::UiAudit::kKinds; ++k)
            QCOMPARE(audit_.counts[std::size_t(k)], 0);
    }
};

QTEST_MAIN(TestUiAudit)
#include "test_ui_audit.moc"
