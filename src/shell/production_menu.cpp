#include "shell/production_menu.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include "common/language.h"
#include "production/ui/production_window.h"
#include "link/display_owner.h"
#include "shell/main_window.h"

namespace trivo {

ProductionMenu::ProductionMenu(MainWindow& main, QObject* parent) : QObject(parent), main_(main) {}

void ProductionMenu::addTo(QMenu* option)
{
    auto* action = option->addAction(T("&Production en série."));
    action->setObjectName(QStringLiteral("MENU_PRODUCTION"));
    connect(action, &QAction::triggered, this, &ProductionMenu::MENU_PRODUCTION_Click);
}

void ProductionMenu::addSimulationItem(QMenu* simulation)
{
    auto* action = simulation->addAction(T("&Ligne de production émulée..."));
    action->setObjectName(QStringLiteral("MENU_SIM_PRODUCTION"));
    connect(action, &QAction::triggered, this, &ProductionMenu::MENU_SIM_PRODUCTION_Click);
}

ProductionWindow* ProductionMenu::window() const { return window_; }

void ProductionMenu::MENU_PRODUCTION_Click() { showWindow(); }

void ProductionMenu::MENU_SIM_PRODUCTION_Click() { showWindow(); }

ProductionWindow* ProductionMenu::showWindow()
{
    QMdiArea* area = main_.mdiArea();
    QMdiSubWindow* sub = nullptr;
    if (!window_) {
        window_ = new ProductionWindow(main_.dialogs(), main_);
        window_->setJournal(&main_.journal());
        // Before the frame is made: it opens at the size of what it shows.
        window_->setTraining(main_.trainingMode());
        // One program, one opening of each display: the line takes the real displays while it runs.
        connect(window_, &ProductionWindow::realDisplaysTaken, &main_,
                [this](bool taken) { main_.owner().setSuspended(taken); });
        sub = area->addSubWindow(window_);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowIcon(main_.windowIcon());
        connect(window_, &QObject::destroyed, &main_, &MainWindow::childWindowsChanged);
        emit main_.childWindowsChanged();
    } else {
        sub = main_.subWindowOf(window_);
    }
    // In training the line is made of emulated displays: the real bus is not the one the program is on.
    window_->setTraining(main_.trainingMode());
    sub->show();
    if (sub->isMinimized())
        sub->showNormal();
    area->setActiveSubWindow(sub);
    return window_;
}

}  // namespace trivo
