#pragma once
// The Outils menu: verify the display against the configuration window, compare it with a configuration
// file, the two read-back switches (after "Programmer", after "Envoi"), and backup and restore of a
// display. Every item runs the procedure the command line runs; none is offered while the maintenance
// window's update area is open (the display may then take every report as firmware) or while one of
// these operations is already running. "Historique" only reads the service journal and is always offered.
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

#include "common/language.h"
#include "shell/comparison_dialog.h"

class QAction;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;

namespace trivo {
class Exchanger;
class MainWindow;
class Progress;
class HistoryWindow;

inline const QString kVerifyImpossibleStatus = FR("Vérification impossible : rien n'est vérifié.");

class ToolsMenu : public QObject {
    Q_OBJECT
public:
    ToolsMenu(MainWindow& main, QObject* parent);
    ~ToolsMenu() override;
    // Adds "Ou&tils" at the end of the bar as it stands.
    void build(QMenuBar* bar);

    // Handlers, public so that tests can run them as the menu does.
    void MENU_VERIFIER_Click();
    void MENU_COMPARER_Click();
    void MENU_VERIF_PROG_Toggled(bool on);
    void MENU_VERIF_ECRAN_Toggled(bool on);
    void MENU_SAUVEGARDE_AFF_Click();
    void MENU_RESTAURE_AFF_Click();
    // "Annuler" beside the status bar's progress: stops the operation between two exchanges (a restore
    // only before its first write).
    void cancelOperation();
    // An operation of the menu is under way (from its first dialog to its result).
    bool running() const { return running_; }
    // The service journal's window, the connected display's operations first; one at a time.
    HistoryWindow* MENU_HISTORIQUE_Click();

    // Whether the items may run now, and their enabled state set from it (also before the menu shows).
    bool available() const;
    void refreshAvailability();

    // The last comparison shown, while it is open.
    ComparisonDialog* comparisonDialog() const { return comparison_; }

private:
    class Running;
    class StatusProgress;
    void showVerification(const Verification& verification, const QString& expectedFrom);
    // Runs the operation on the display's owner with the status bar's progress and cancel button.
    template <class Result>
    void start(std::shared_ptr<Running> running, std::function<Result(Exchanger&, Progress&)> work,
               std::function<void(const Result&)> done);

    MainWindow& main_;
    QMenu* menu_ = nullptr;
    QList<QAction*> operations_;
    QProgressBar* progress_ = nullptr;
    std::unique_ptr<StatusProgress> statusProgress_;
    QPushButton* cancel_ = nullptr;
    quint64 operation_ = 0;
    QPointer<ComparisonDialog> comparison_;
    QPointer<HistoryWindow> history_;
    bool running_ = false;
};

}  // namespace trivo
