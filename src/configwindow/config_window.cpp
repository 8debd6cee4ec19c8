#include "configwindow/config_window.h"

namespace trivo {

ConfigWindow::ConfigWindow(Link& link, Dialogs& dialogs, MainServices& main, QWidget* parent)
    : QWidget(parent), link_(link), dialogs_(dialogs), main_(main)
{
    setObjectName(QStringLiteral("CP"));
    setWindowTitle(QStringLiteral("Configuration TRIVO CP."));
    resize(400, 300);
}

void ConfigWindow::Form_Load() {}

}  // namespace trivo
