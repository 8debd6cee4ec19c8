#include "shell/menus.h"

#include <QMenuBar>

#include "shell/main_window.h"

namespace trivo {

MenuBar::MenuBar(MainWindow& main) : QObject(&main), main_(main) {}

void MenuBar::build(QMenuBar* bar)
{
    auto* file = bar->addMenu(QStringLiteral("&Fichier"));
    file->setObjectName(QStringLiteral("MENU_FICHIER"));
    auto* quit = file->addAction(QStringLiteral("&Quitter"));
    quit->setObjectName(QStringLiteral("MENU_QUITTER"));
    connect(quit, &QAction::triggered, this, [this] { main_.quit(); });
    auto* configure = bar->addAction(QStringLiteral("&Configuration"));
    configure->setObjectName(QStringLiteral("MENU_CONFIGURER"));
    connect(configure, &QAction::triggered, this, [this] { main_.showConfigWindow(); });
}

}  // namespace trivo
