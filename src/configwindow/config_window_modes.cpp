// The configuration window laid out for its mode: production or totaliser.
#include <QGroupBox>
#include <QRadioButton>
#include <QSlider>

#include "common/ui/theme.h"
#include "config/config_form.h"
#include "configwindow/config_window_parts.h"

namespace trivo {

using namespace cp_parts;

void ConfigWindow::INIT_P() { layOutMode(kProductionLayout); }

void ConfigWindow::INIT_T() { layOutMode(kTotaliserLayout); }

// The values come from the layout table that a form without window uses too; the window adds what only it
// shows: the colours, which frames show and which controls take input.
void ConfigWindow::layOutMode(const ModeLayout& layout)
{
    Ui& u = *ui_;
    const bool production = layout.production;
    u.Option_CPT[production ? 0 : 1]->setChecked(true);
    applyModeColours(production);
    u.Frame26->setVisible(!production);
    u.Frame_afficher->setVisible(production);
    for (std::size_t o = 0; o < 3; ++o) {
        // An output follows the totaliser only in the totaliser mode.
        u.ruleOption[o][1]->setEnabled(!production);
        u.ruleOption[o][static_cast<std::size_t>(layout.ruleAssign)]->setChecked(true);
    }
    u.Frame3->setEnabled(production);
    u.Frame4->setEnabled(production);
    u.Frame7->setEnabled(!production);
    for (std::size_t k = 0; k < 3; ++k)
        setCheckValue(u.Check1[7 + k], layout.displayChecks[k]);
    for (std::size_t n = 7; n <= 9; ++n)
        u.Slider[n]->setValue(layout.displaySeconds);
}

void ConfigWindow::applyModeColours(bool production)
{
    Ui& u = *ui_;
    theme::paint(u.Option_CPT[0], production ? theme::kModeSelected : theme::kModeUnselected);
    theme::paint(u.Option_CPT[1], production ? theme::kModeUnselected : theme::kModeSelected);
    u.productionColours = production;
    paintButton(1);
    paintButton(3);
}

// Blue, or green while held; the reset that does not apply in the mode written in red.
void ConfigWindow::paintButton(int index)
{
    const Ui& u = *ui_;
    const std::size_t i = static_cast<std::size_t>(index);
    const bool notApplicable = (index == 1 && u.productionColours) || (index == 3 && !u.productionColours);
    theme::paint(u.BOUTON[i], (u.down[i] ? theme::kLabelButtonDownGround : theme::kLabelButtonGround).get(),
                 (notApplicable ? theme::kNotApplicableText : theme::kLabelButtonText).get());
}

void ConfigWindow::Option_CPT_Click(int index)
{
    if (index == 0)
        INIT_P();
    else
        INIT_T();
}

}  // namespace trivo
