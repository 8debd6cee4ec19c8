#include "shell/menus.h"

#include <QAction>
#include <QActionGroup>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QScreen>

#include "common/dialogs.h"
#include "configwindow/config_window.h"
#include "configwindow/gest_f_files.h"
#include "shell/about_window.h"
#include "shell/help_documents.h"
#include "shell/main_window.h"
#include "shell/print_sheet.h"
#include "shell/production_menu.h"
#include "shell/tools_menu.h"
#include "shell/window_arrangement.h"
#include "common/language.h"

namespace trivo {

namespace {
// Entries of the window list carry this property so that a refresh finds and removes them.
const char* const kWindowListEntry = "trivoWindowListEntry";

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption)
{
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

template <typename Handler>
QAction* addItem(QWidget* owner, QObject* context, const char* name, const QString& caption, Handler handler,
                 const QKeySequence& shortcut = {})
{
    auto* action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    owner->addAction(action);
    QObject::connect(action, &QAction::triggered, context, handler);
    return action;
}

// The keys of the frequent commands; the rest is reached through the menus' access letters.
const QKeySequence kProgramKey(Qt::CTRL | Qt::SHIFT | Qt::Key_P);
const QKeySequence kGuideKey(Qt::Key_F1);
const QKeySequence kAboutKey(Qt::SHIFT | Qt::Key_F1);
// The configuration window's BOUTON(6), "Programmer".
constexpr int kProgramButton = 6;
// The operator's guide, opened by F1.
constexpr std::size_t kGuideDocument = 2;
}  // namespace

MenuBar::MenuBar(MainWindow& main) : QObject(&main), main_(main) {}

void MenuBar::build(QMenuBar* bar)
{
    QMenu* file = addMenu(bar, "MENU_FICHIER", T("&Fichier"));
    addItem(
        file, this, "MENU_NEW", T("&Nouveau"), [this] { MENU_NEW_Click(); }, QKeySequence::New);
    addItem(
        file, this, "MENU_OUVRIR", T("&Ouvrir"), [this] { MENU_OUVRIR_Click(); }, QKeySequence::Open);
    addItem(
        file, this, "MENU_SAUVEGARDER", T("&Sauvegarder"), [this] { MENU_SAUVEGARDER_Click(); }, QKeySequence::Save);
    addItem(
        file, this, "MENU_IMPRIMER", T("&Imprimer la configuration..."),
        [this] { main_.withConfigWindow([this](ConfigWindow&) { printServiceSheet(main_); }); }, QKeySequence::Print);
    addItem(file, this, "MENU_PDF", T("E&xporter en PDF..."),
            [this] { main_.withConfigWindow([this](ConfigWindow&) { exportServiceSheet(main_); }); });
    addItem(
        file, this, "MENU_QUITTER", T("&Quitter"), [this] { MENU_QUITTER_Click(); },
        QKeySequence(Qt::CTRL | Qt::Key_Q));

    addItem(bar, this, "MENU_CONFIGURER", T("&Configuration"), [this] { MENU_CONFIGURER_Click(); });

    QMenu* option = addMenu(bar, "MENU_OPTION", T("&Option"));
    // The configuration window's "Programmer" from the keyboard, wherever the focus is.
    addItem(
        option, this, "MENU_PROGRAMMER", T("Programmer l'&afficheur."), [this] { MENU_PROGRAMMER_Click(); },
        kProgramKey);
    option->addSeparator();
    addItem(option, this, "MENU_ECRAN_DEMARRAGE", T("&Charger un écran de présentation."),
            [this] { MENU_ECRAN_DEMARRAGE_Click(); });
    addItem(option, this, "MENU_LIT_HMS", T("&Lire les registres spéciaux."), [this] { MENU_LIT_HMS_Click(); });
    addItem(option, this, "MENU_INIT", T("Fonctions spéciales de maintenances."), [this] { MENU_INIT_Click(); });
    production_ = new ProductionMenu(main_, this);
    production_->addTo(option);
    addLanguages(option);

    (new ToolsMenu(main_, this))->build(bar);

    windowMenu_ = addMenu(bar, "MENU8FEN", T("&Fenêtre."));
    addItem(windowMenu_, this, "MENU_CASCADE", T("&En Cascade."), [this] { MENU_CASCADE_Click(); });
    addItem(windowMenu_, this, "MENU_HORI", T("Mosaïque &Horizontale."), [this] { MENU_HORI_Click(); });
    addItem(windowMenu_, this, "MENU_VERTI", T("Mosaïque &verticale."), [this] { MENU_VERTI_Click(); });
    addItem(windowMenu_, this, "MENU_ARRANFEUILICO", T("&Réorganiser les icones."),
            [this] { MENU_ARRANFEUILICO_Click(); });
    connect(windowMenu_, &QMenu::aboutToShow, this, &MenuBar::refreshWindowList);

    QMenu* help = addMenu(bar, "MENU_AIDE", QStringLiteral("&?"));
    const std::array<void (MenuBar::*)(), 4> documentHandlers{&MenuBar::MENU_AIDETALUORV_Click,
                                                              &MenuBar::MEN_FORDOC_Click, &MenuBar::MENU_INTERPDF_Click,
                                                              &MenuBar::MENU_INTERDOC_Click};
    for (std::size_t i = 0; i < kHelpDocuments.size(); ++i) {
        const auto handler = documentHandlers[i];
        addItem(
            help, this, kHelpDocuments[i].item, T(kHelpDocuments[i].caption), [this, handler] { (this->*handler)(); },
            i == kGuideDocument ? kGuideKey : QKeySequence());
    }
    addItem(help, this, "MEN_OPENPDF", T("Ouvrir de l'aide."), [this] { MEN_OPENPDF_Click(); });

    addItem(bar, this, "MENU_SPLASH", QStringLiteral("?"), [this] { MENU_SPLASH_Click(); }, kAboutKey);
}

// The languages of the windows; the choice is kept in the settings and holds from the next start (the
// windows are built in one language).
void MenuBar::addLanguages(QMenu* option)
{
    option->addSeparator();
    QMenu* languages = option->addMenu(T("Lan&gue"));
    languages->setObjectName(QStringLiteral("MENU_LANGUE"));
    languages->menuAction()->setObjectName(QStringLiteral("MENU_LANGUE"));
    auto* group = new QActionGroup(languages);
    const struct {
        const char* name;
        QString caption;
        Language language;
    } choices[] = {{"MENU_LANGUE_FR", T("&Français"), Language::French},
                   {"MENU_LANGUE_EN", QStringLiteral("&English"), Language::English}};
    for (const auto& choice : choices) {
        const Language chosen = choice.language;
        QAction* action = addItem(languages, this, choice.name, choice.caption, [this, chosen] { chooseLanguage(chosen); });
        action->setCheckable(true);
        action->setChecked(language() == chosen);
        group->addAction(action);
    }
}

void MenuBar::chooseLanguage(Language chosen)
{
    QSettings().setValue(QString::fromLatin1(kLanguageKey), languageCode(chosen));
    if (chosen == language())
        return;
    MessageRequest box;
    box.text = T("La langue choisie sera celle des fenêtres au prochain démarrage du programme.");
    box.icon = MsgIcon::Information;
    main_.dialogs().message(box);
}

// --- Fichier ---------------------------------------------------------------------------------------

// The file commands work on the form once a window they open has read the display.
void MenuBar::MENU_NEW_Click()
{
    main_.withConfigWindow([](ConfigWindow& cp) { cp.NOUV_CONFIG(); });
}

void MenuBar::MENU_OUVRIR_Click()
{
    main_.withConfigWindow([this](ConfigWindow& cp) { OUVRIR_CONFIG(cp, main_.dialogs(), main_); });
}

void MenuBar::MENU_SAUVEGARDER_Click()
{
    main_.withConfigWindow([this](ConfigWindow& cp) { SAUVE_CONFIG(cp, main_.dialogs(), main_); });
}

void MenuBar::MENU_QUITTER_Click() { main_.quit(); }

// --- Configuration, Option ---------------------------------------------------------------------------

void MenuBar::MENU_CONFIGURER_Click() { main_.showConfigWindow(); }
// As the window's own button does, on the form as it stands (read first when the window was not open).
void MenuBar::MENU_PROGRAMMER_Click()
{
    main_.withConfigWindow([](ConfigWindow& cp) { cp.BOUTON_Click(kProgramButton); });
}

void MenuBar::MENU_ECRAN_DEMARRAGE_Click() { main_.showScreenWindow(); }
void MenuBar::MENU_LIT_HMS_Click() { main_.showRegistersWindow(); }

void MenuBar::MENU_INIT_Click()
{
    if (main_.dialogs().confirm(T("Souhaitez-vous continuer?"), MsgIcon::Exclamation,
                                T("Fonctions spéciales de maintenances.")))
        main_.showMaintenanceWindow();
}

// --- Fenêtre -----------------------------------------------------------------------------------------

void MenuBar::MENU_CASCADE_Click() { arrange(main_.mdiArea(), Arrangement::Cascade); }
void MenuBar::MENU_HORI_Click() { arrange(main_.mdiArea(), Arrangement::TileHorizontal); }
void MenuBar::MENU_VERTI_Click() { arrange(main_.mdiArea(), Arrangement::TileVertical); }
void MenuBar::MENU_ARRANFEUILICO_Click() { arrange(main_.mdiArea(), Arrangement::ArrangeIcons); }

void MenuBar::refreshWindowList()
{
    if (!windowMenu_)
        return;
    for (QAction* action : windowMenu_->actions()) {
        if (action->property(kWindowListEntry).toBool()) {
            windowMenu_->removeAction(action);
            action->deleteLater();
        }
    }
    QMdiArea* area = main_.mdiArea();
    QList<QMdiSubWindow*> shown;
    for (QMdiSubWindow* sub : area->subWindowList(QMdiArea::CreationOrder))
        if (!sub->isHidden())
            shown.append(sub);
    if (shown.isEmpty())
        return;

    QAction* separator = windowMenu_->addSeparator();
    separator->setProperty(kWindowListEntry, true);
    auto* group = new QActionGroup(windowMenu_);
    group->setExclusive(true);
    for (int i = 0; i < shown.size(); ++i) {
        QMdiSubWindow* sub = shown[i];
        QString title = sub->widget() ? sub->widget()->windowTitle() : sub->windowTitle();
        // A title may hold a file path: an '&' in it is shown, not taken as an access letter.
        title.replace(QLatin1Char('&'), QLatin1String("&&"));
        const QString number = i < 9 ? QStringLiteral("&%1 ").arg(i + 1) : QStringLiteral("%1 ").arg(i + 1);
        auto* action = new QAction(number + title, windowMenu_);
        action->setObjectName(QStringLiteral("MENU8FEN_LISTE(%1)").arg(i));
        action->setProperty(kWindowListEntry, true);
        action->setCheckable(true);
        action->setChecked(sub == area->activeSubWindow());
        group->addAction(action);
        windowMenu_->addAction(action);
        QPointer<QMdiSubWindow> target(sub);
        connect(action, &QAction::triggered, this, [area, target] {
            if (!target)
                return;
            if (target->isMinimized())
                target->showNormal();
            area->setActiveSubWindow(target);
        });
    }
    // The group goes with the next refresh's entries.
    connect(windowMenu_, &QMenu::aboutToShow, group, &QObject::deleteLater, Qt::SingleShotConnection);
}

// --- ? -----------------------------------------------------------------------------------------------

void MenuBar::openDocument(int index)
{
    openHelpDocument(kHelpDocuments[static_cast<std::size_t>(index)].name, main_.programFolder());
}

void MenuBar::MENU_AIDETALUORV_Click() { openDocument(0); }
void MenuBar::MEN_FORDOC_Click() { openDocument(1); }
void MenuBar::MENU_INTERPDF_Click() { openDocument(2); }
void MenuBar::MENU_INTERDOC_Click() { openDocument(3); }

void MenuBar::MEN_OPENPDF_Click() { browseHelpFiles(main_.dialogs(), main_.programFolder()); }

AboutWindow* MenuBar::aboutWindow() const { return about_.data(); }

void MenuBar::MENU_SPLASH_Click()
{
    // Each showing is a new window with a fresh count; a window still shown gives way to it.
    if (about_)
        about_->QUITTEUR();
    about_ = new AboutWindow(&main_, &main_);
    about_->Form_Load();
    about_->adjustSize();
    const QRect frame = main_.isVisible() ? main_.geometry() : main_.screen()->availableGeometry();
    about_->move(frame.center() - about_->rect().center());
    about_->show();
    about_->activateWindow();
    about_->setFocus();
}

}  // namespace trivo
