#include "configwindow/config_window.h"

#include <QTimer>

namespace trivo {

struct ConfigWindow::Ui {
    FormState state;
    QTimer timer;
    int page = 0;
};

ConfigWindow::ConfigWindow(Link& link, Dialogs& dialogs, MainServices& main, QWidget* parent)
    : QWidget(parent), link_(link), dialogs_(dialogs), main_(main), ui_(new Ui)
{
    setObjectName(QStringLiteral("CP"));
    setWindowTitle(QStringLiteral("Configuration TRIVO CP."));
    resize(400, 300);
}

ConfigWindow::~ConfigWindow() { delete ui_; }

void ConfigWindow::Form_Load() {}
FormState ConfigWindow::formState() const { return ui_->state; }
void ConfigWindow::applyFormState(const FormState& state) { ui_->state = state; }
void ConfigWindow::INIT_P() { applyProductionLayout(ui_->state); }
void ConfigWindow::INIT_T() { applyTotaliserLayout(ui_->state); }
void ConfigWindow::setProgress(int, int) {}
void ConfigWindow::LIRE_PARAM() {}
void ConfigWindow::PROG_PARAM() {}
void ConfigWindow::RAZ_CONFIG() { ui_->state = resetConfiguration(ui_->state); }
void ConfigWindow::NOUV_CONFIG() {}
void ConfigWindow::BOUTON_Click(int) {}
void ConfigWindow::BOUTON_MouseDown(int) {}
void ConfigWindow::BOUTON_MouseUp(int) {}
void ConfigWindow::BOUTON_STA_Click(int index) { ui_->page = index; }
void ConfigWindow::Option_CPT_Click(int) {}
void ConfigWindow::Check1_Click(int) {}
void ConfigWindow::cadre_R1_Click(int) {}
void ConfigWindow::cadre_R2_Click(int) {}
void ConfigWindow::cadre_Buz_Click(int) {}
void ConfigWindow::Timer1_Timer() {}
QTimer& ConfigWindow::Timer1() { return ui_->timer; }
int ConfigWindow::currentPage() const { return ui_->page; }
bool ConfigWindow::eventFilter(QObject* watched, QEvent* event) { return QWidget::eventFilter(watched, event); }
void ConfigWindow::buildUi() {}
void ConfigWindow::connectControls() {}
void ConfigWindow::thresholdClick(int, int) {}
void ConfigWindow::sliderChanged(int, int) {}
void ConfigWindow::applyModeColours(bool) {}

}  // namespace trivo
