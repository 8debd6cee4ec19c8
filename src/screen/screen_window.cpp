#include "screen/screen_window.h"

namespace trivo {

ScreenWindow::ScreenWindow(Link& link, Dialogs& dialogs, MainServices& main, QWidget* parent)
    : QWidget(parent), link_(link), dialogs_(dialogs), main_(main)
{
    setObjectName(QStringLiteral("ECRAN_ACCEUIL"));
    setWindowTitle(QStringLiteral("Chargez un écran de présentation."));
    resize(400, 300);
}

void ScreenWindow::Form_Load() {}

}  // namespace trivo
