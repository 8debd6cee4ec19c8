#pragma once
// What the configuration window's files share (its construction, accessible names, form binding, mode
// layouts and operations): its controls, its progress bar and the tables more than one of them reads.
// Private to src/configwindow.
#include <QCheckBox>
#include <QProgressBar>
#include <QString>
#include <QTimer>

#include <array>

#include "common/language.h"
#include "common/progress.h"
#include "common/ui/pressable.h"
#include "config/form_state.h"
#include "configwindow/config_window.h"
#include "link/commands.h"

namespace trivo {

class FormScrollArea;

namespace cp_parts {

// BOUTON(0..6): the command strip's buttons.
struct ButtonSpec {
    QString caption;
    QString tip;
    const char* tag;  // the button's Tag property: its command's code in hex
    QString status;   // null: the status bar keeps its text
    commands::DirectAction action = commands::DirectAction::ResetCounter;  // what a command button sends
};
using commands::DirectAction;
inline const ButtonSpec kButtons[7] = {
    {FR("Raz C"), FR("Bouton RAZ COMPTEUR."), "34", FR(" RAZ compteur."), DirectAction::ResetCounter},
    {FR("Raz T"), FR("Bouton RAZ TOTALISATEUR."), "35", FR(" RAZ totalisateur."), DirectAction::ResetTotal},
    {QStringLiteral("+1"), FR("Simuler une impulsion."), "36", FR(" Simule une impulsion."), DirectAction::Pulse},
    {QStringLiteral("-1"), FR("Simuler une impulsion."), "37", QString(), DirectAction::PulseBack},
    {FR("Reset"), FR("Redémarrer le TRIVO."), "38", FR(" Redémarre le TRIVO ZURED."), DirectAction::Restart},
    {FR("Lire"), FR("LIRE le TRIVO."), nullptr, FR(" Lit les paramètres du TRIVO ZURED.")},
    {FR("Programmer"), FR("Programmer le TRIVO"), nullptr, FR(" Programme les paramètres du TRIVO ZURED.")},
};

// The name of a control of an indexed array: "REG_V(3)".
inline QString indexed(const char* name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

// Check box values 0 / 1 / 2 (2 greyed) against Qt's states, where 1 is the greyed one.
inline int checkValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked: return kChecked;
    case Qt::PartiallyChecked: return kGreyed;
    case Qt::Unchecked: break;
    }
    return kUnchecked;
}

inline void setCheckValue(QCheckBox* box, int value)
{
    if (value == kGreyed) {
        box->setCheckState(Qt::PartiallyChecked);
        return;
    }
    box->setCheckState(value == kChecked ? Qt::Checked : Qt::Unchecked);
    box->setTristate(false);
}

}  // namespace cp_parts

struct ConfigWindow::Ui {
    FormScrollArea* pages = nullptr;
    std::array<QLineEdit*, 12> REG_V{};
    std::array<QCheckBox*, 10> Check1{};
    QCheckBox* Check_C = nullptr;
    QCheckBox* Check_T = nullptr;

    std::array<QRadioButton*, 2> Option_CPT{};
    std::array<QRadioButton*, 4> Option_pdec{};
    std::array<QRadioButton*, 2> Option_raz{};
    std::array<QRadioButton*, 2> OptionE1{};
    std::array<QRadioButton*, 2> OptionE2{};
    std::array<QRadioButton*, 2> anti{};  // Option_anti_non, Option_anti_oui
    std::array<std::array<QRadioButton*, 7>, 3> ruleOption{};

    QButtonGroup* cptGroup = nullptr;
    QButtonGroup* pdecGroup = nullptr;
    QButtonGroup* razGroup = nullptr;
    QButtonGroup* e1Group = nullptr;
    QButtonGroup* e2Group = nullptr;
    QButtonGroup* antiGroup = nullptr;
    std::array<std::array<QButtonGroup*, 3>, 3> ruleGroups{};  // per output: assign, action, duration

    // cadre_R1(0..6), cadre_R2(0..3), cadre_Buz(0..3).
    std::array<std::array<QGroupBox*, 7>, 3> cadre{};
    std::array<QSlider*, 10> Slider{};  // Slider1..Slider9 at 1..9
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* MODE_SIMPLE = nullptr;
    QLineEdit* REG_CT1 = nullptr;

    QGroupBox* Frame_trivo = nullptr;
    QGroupBox* Frame26 = nullptr;
    QGroupBox* Frame_afficher = nullptr;
    QGroupBox* Frame3 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QGroupBox* Frame7 = nullptr;

    std::array<LabelButton*, 7> BOUTON{};
    std::array<LabelButton*, 2> BOUTON_STA{};
    std::array<bool, 7> down{};  // BOUTON(i) held (green)
    bool productionColours = true;
    QFrame* Frame5 = nullptr;
    QFrame* GENERAL = nullptr;
    QFrame* SORTIE = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QTimer Timer1;
    int page = 0;

    // A control of an indexed array, made and kept in its slot.
    QLineEdit* newReg(int i, QWidget* parent);
    QCheckBox* newCheck(int i, const QString& text, const QString& tip, QWidget* parent);
    QSlider* newSlider(int n, QWidget* parent);
};

// ProgressBar1 stays in view; the procedures only move it.
class ConfigWindow::ProgressBar : public Progress {
public:
    explicit ProgressBar(QProgressBar* bar) : bar_(bar) {}
    void begin(int maximum, const QString&) override
    {
        bar_->setMaximum(maximum);
        advance(0, QString());
    }
    void advance(int value, const QString&) override { bar_->setValue(value); }
    void end() override {}

private:
    QProgressBar* bar_;
};

}  // namespace trivo
