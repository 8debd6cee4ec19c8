#include "shell/tools_menu.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include "backup/backup.h"
#include "common/dialogs.h"
#include "common/language.h"
#include "common/progress.h"
#include "common/tool_settings.h"
#include "config/config_file_io.h"
#include "config/config_form.h"
#include "configwindow/config_window.h"
#include "configwindow/gest_f_files.h"
#include "journal/recording.h"
#include "link/display_owner.h"
#include "journal/ui/history_window.h"
#include "maintenance/ui/maintenance_window.h"
#include "shell/comparison_dialog.h"
#include "shell/main_window.h"

namespace trivo {

// Marks an operation as running from its first dialog to its result, so that none starts inside another.
class ToolsMenu::Running {
public:
    explicit Running(ToolsMenu& menu) : menu_(menu)
    {
        menu_.running_ = true;
        menu_.refreshAvailability();
    }
    ~Running()
    {
        menu_.running_ = false;
        menu_.refreshAvailability();
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

private:
    ToolsMenu& menu_;
};

// A bar in the main window's status bar while an operation of the menu runs. The configuration reads
// leave their bar full, as the configuration window shows it: this one goes when the operation is over.
class ToolsMenu::StatusProgress : public Progress {
public:
    explicit StatusProgress(QProgressBar* bar) : bar_(bar) {}
    void begin(int maximum, const QString&) override
    {
        bar_->setRange(0, maximum);
        bar_->setValue(0);
        bar_->show();
    }
    void advance(int value, const QString&) override { bar_->setValue(value); }
    void end() override {}

private:
    QProgressBar* bar_;
};

template <class Result>
void ToolsMenu::start(std::shared_ptr<Running> running, std::function<Result(Exchanger&, Progress&)> work,
                      std::function<void(const Result&)> done)
{
    cancel_->setEnabled(true);
    cancel_->show();
    operation_ = main_.owner().run<Result>(
        &main_, std::move(work),
        [this, running, done = std::move(done)](const Result& result) {
            progress_->hide();
            cancel_->hide();
            operation_ = 0;
            done(result);
        },
        statusProgress_.get());
}

void ToolsMenu::cancelOperation()
{
    if (operation_ == 0)
        return;
    cancel_->setEnabled(false);
    main_.owner().cancel(operation_);
}

namespace {

const QString kProgressName = FR("Progression de l'opération");

QAction* addItem(QMenu* menu, const char* name, const QString& caption)
{
    auto* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction* addSwitch(QMenu* menu, const char* name, const QString& caption, const QString& key)
{
    QAction* action = addItem(menu, name, caption);
    action->setCheckable(true);
    action->setChecked(tool_settings::isOn(key));
    return action;
}

}  // namespace

ToolsMenu::ToolsMenu(MainWindow& main, QObject* parent) : QObject(parent), main_(main) {}

void ToolsMenu::build(QMenuBar* bar)
{
    menu_ = bar->addMenu(T("Ou&tils"));
    menu_->setObjectName(QStringLiteral("MENU_OUTILS"));
    menu_->menuAction()->setObjectName(QStringLiteral("MENU_OUTILS"));

    QAction* verify = addItem(menu_, "MENU_VERIFIER", T("&Vérifier l'afficheur."));
    QAction* compare = addItem(menu_, "MENU_COMPARER", T("Co&mparer avec un fichier..."));
    menu_->addSeparator();
    QAction* afterProgramming =
        addSwitch(menu_, "MENU_VERIF_PROG", T("Vérifier après &programmation"), tool_settings::kVerifyAfterProgramming);
    QAction* afterSend = addSwitch(menu_, "MENU_VERIF_ECRAN", T("Relire l'écran d'accueil après &envoi"),
                                   tool_settings::kVerifyScreenAfterSend);
    menu_->addSeparator();
    QAction* backup = addItem(menu_, "MENU_SAUVEGARDE_AFF", T("&Sauvegarder l'afficheur..."));
    QAction* restore = addItem(menu_, "MENU_RESTAURE_AFF", T("&Restaurer l'afficheur..."));
    operations_ = {verify, compare, afterProgramming, afterSend, backup, restore};
    menu_->addSeparator();
    QAction* history = addItem(menu_, "MENU_HISTORIQUE", T("&Historique..."));
    history->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(history, &QAction::triggered, this, &ToolsMenu::MENU_HISTORIQUE_Click);

    connect(verify, &QAction::triggered, this, &ToolsMenu::MENU_VERIFIER_Click);
    connect(compare, &QAction::triggered, this, &ToolsMenu::MENU_COMPARER_Click);
    connect(afterProgramming, &QAction::toggled, this, &ToolsMenu::MENU_VERIF_PROG_Toggled);
    connect(afterSend, &QAction::toggled, this, &ToolsMenu::MENU_VERIF_ECRAN_Toggled);
    connect(backup, &QAction::triggered, this, &ToolsMenu::MENU_SAUVEGARDE_AFF_Click);
    connect(restore, &QAction::triggered, this, &ToolsMenu::MENU_RESTAURE_AFF_Click);
    connect(menu_, &QMenu::aboutToShow, this, &ToolsMenu::refreshAvailability);

    progress_ = new QProgressBar(main_.statusBar());
    progress_->setObjectName(QStringLiteral("PROGRESS_OUTILS"));
    progress_->setTextVisible(false);
    progress_->setMaximumWidth(160);
    progress_->setAccessibleName(T(kProgressName));
    progress_->hide();
    statusProgress_ = std::make_unique<StatusProgress>(progress_);
    main_.statusBar()->addPermanentWidget(progress_);
    cancel_ = new QPushButton(T("Annuler"), main_.statusBar());
    cancel_->setObjectName(QStringLiteral("ANNULER_OUTILS"));
    cancel_->setToolTip(T("Arrête l'opération entre deux échanges avec l'afficheur."));
    cancel_->hide();
    main_.statusBar()->addPermanentWidget(cancel_);
    connect(cancel_, &QPushButton::clicked, this, &ToolsMenu::cancelOperation);
}

ToolsMenu::~ToolsMenu() = default;

bool ToolsMenu::available() const
{
    if (running_)
        return false;
    const MaintenanceWindow* maintenance = main_.maintenanceWindow();
    return !(maintenance && maintenance->heightTwips() >= MaintenanceWindow::kTallHeightTwips);
}

void ToolsMenu::refreshAvailability()
{
    const bool on = available();
    for (QAction* action : operations_)
        action->setEnabled(on);
}

void ToolsMenu::showVerification(const Verification& verification, const QString& expectedFrom)
{
    if (!verification.ok()) {
        present(verification, main_.dialogs(), nullptr);
        main_.setStatusPanel2(T(kVerifyImpossibleStatus));
        return;
    }
    main_.setStatusPanel2(verification.status);
    if (comparison_)
        comparison_->close();
    comparison_ = new ComparisonDialog(verification.comparison, expectedFrom, &main_);
    comparison_->setAttribute(Qt::WA_DeleteOnClose);
    comparison_->show();
}

void ToolsMenu::MENU_VERIFIER_Click()
{
    if (!available())
        return;
    auto running = std::make_shared<Running>(*this);
    // The form as a window opened for it has read it from the display.
    main_.withConfigWindow([this, running](ConfigWindow& cp) {
        const FormState form = cp.formState();
        start<Verification>(
            running, [form](Exchanger& link, Progress& progress) { return verifyDisplay(link, form, progress); },
            [this](const Verification& v) { showVerification(v, T("la fenêtre de configuration")); });
    });
}

void ToolsMenu::MENU_COMPARER_Click()
{
    if (!available())
        return;
    auto running = std::make_shared<Running>(*this);
    FileRequest request;
    request.title = T("Comparer l'afficheur avec une configuration.");
    request.filter = kConfigFileFilter;
    request.initialDir = main_.dialogFolder();
    const QString path = main_.dialogs().openFile(request);
    if (path.isEmpty())
        return;
    const ConfigLoad loaded = loadConfiguration(path, resetConfiguration(FormState{}));
    if (!loaded.ok()) {
        present(loaded, main_.dialogs(), &main_);
        return;
    }
    const FormState form = loaded.state;
    start<Verification>(
        running, [form](Exchanger& link, Progress& progress) { return verifyDisplay(link, form, progress); },
        [this, path](const Verification& v) { showVerification(v, QDir::toNativeSeparators(path)); });
}

void ToolsMenu::MENU_VERIF_PROG_Toggled(bool on) { tool_settings::setOn(tool_settings::kVerifyAfterProgramming, on); }

void ToolsMenu::MENU_VERIF_ECRAN_Toggled(bool on) { tool_settings::setOn(tool_settings::kVerifyScreenAfterSend, on); }

void ToolsMenu::MENU_SAUVEGARDE_AFF_Click()
{
    if (!available())
        return;
    auto running = std::make_shared<Running>(*this);
    const QString folder =
        main_.dialogs().folder({T("Dossier de la sauvegarde (nouveau ou vide)."), main_.dialogFolder()});
    if (folder.isEmpty())
        return;
    start<BackupResult>(
        running, [folder](Exchanger& link, Progress& progress) { return backupDisplay(link, folder, progress); },
        [this](const BackupResult& backup) {
            if (!backup.ok()) {
                present(backup, main_.dialogs(), &main_);
                return;
            }
            main_.setStatusPanel2(backup.status);
            main_.dialogs().inform(backup.status, MsgIcon::Information);
        });
}

void ToolsMenu::MENU_RESTAURE_AFF_Click()
{
    if (!available())
        return;
    auto running = std::make_shared<Running>(*this);
    const QString folder = main_.dialogs().folder({T("Dossier de la sauvegarde à restaurer."), main_.dialogFolder()});
    if (folder.isEmpty())
        return;
    const BackupContents contents = checkBackup(folder);
    if (!contents.ok()) {
        present(contents, main_.dialogs(), &main_);
        return;
    }
    if (!main_.dialogs().confirm(restoreQuestion(contents), MsgIcon::Question, T("Restaurer l'afficheur.")))
        return;
    journal::Journal* journal = main_.serviceJournal();
    start<journal::Recorded<RestoreResult>>(
        running,
        [contents, journal](Exchanger& link, Progress& progress) {
            return restoreRecorded(link, contents, {journal, &progress, {}});
        },
        [this](const journal::Recorded<RestoreResult>& run) {
            if (run.refusal) {
                present(*run.refusal, main_.dialogs(), &main_);
                return;
            }
            RestoreResult restored = run.result;
            journal::noteMissingRecord(restored, run.missing);
            present(restored, main_.dialogs(), &main_);
            if (restored.ok())
                main_.dialogs().inform(restored.status, MsgIcon::Information);
        });
}

HistoryWindow* ToolsMenu::MENU_HISTORIQUE_Click()
{
    QMdiSubWindow* sub = nullptr;
    if (!history_) {
        history_ = new HistoryWindow(main_.dialogs(), main_.journal());
        sub = main_.mdiArea()->addSubWindow(history_);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowIcon(main_.windowIcon());
        connect(history_, &QObject::destroyed, &main_, &MainWindow::childWindowsChanged);
        emit main_.childWindowsChanged();
    } else {
        sub = main_.subWindowOf(history_);
        history_->ACTUALISER_Click();
    }
    history_->setSelectedDisplay(main_.connectedDisplay());
    sub->show();
    if (sub->isMinimized())
        sub->showNormal();
    main_.mdiArea()->setActiveSubWindow(sub);
    return history_;
}

}  // namespace trivo
