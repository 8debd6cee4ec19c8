#include "maintenance/maintenance_window.h"

namespace trivo {

MaintenanceWindow::MaintenanceWindow(Link& link, Dialogs& dialogs, MainServices& main, QWidget* parent)
    : QWidget(parent), link_(link), dialogs_(dialogs), main_(main)
{
    setObjectName(QStringLiteral("Fonction_SPE"));
    setWindowTitle(QStringLiteral("Fonctions spéciales de maintenances."));
    resize(400, 300);
}

void MaintenanceWindow::Form_Load() {}

}  // namespace trivo
