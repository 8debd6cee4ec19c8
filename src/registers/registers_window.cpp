#include "registers/registers_window.h"

namespace trivo {

RegistersWindow::RegistersWindow(Link& link, Dialogs& dialogs, MainServices& main, QWidget* parent)
    : QWidget(parent), link_(link), dialogs_(dialogs), main_(main)
{
    setObjectName(QStringLiteral("REGISTRE"));
    setWindowTitle(QStringLiteral("Lecture des Registres spéciaux."));
    resize(400, 300);
}

void RegistersWindow::Form_Load() {}

}  // namespace trivo
