// The configuration window's controls bound to the form's settings, both ways, and the resets.
#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

#include "common/dialogs.h"
#include "config/config_form.h"
#include "configwindow/config_window_parts.h"

namespace trivo {

using namespace cp_parts;

namespace {

// Selects one button of an exclusive group, or none (Qt refuses to uncheck in exclusive mode).
void selectInGroup(QButtonGroup* group, QAbstractButton* button)
{
    if (button) {
        button->setChecked(true);
        return;
    }
    if (QAbstractButton* checked = group->checkedButton()) {
        group->setExclusive(false);
        checked->setChecked(false);
        group->setExclusive(true);
    }
}

// The buttons of a group from their values; when several are set, the last one ends selected.
template <typename Buttons, typename Values>
void applyGroup(QButtonGroup* group, const Buttons& buttons, const Values& values)
{
    QAbstractButton* last = nullptr;
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (values[i])
            last = buttons[i];
    selectInGroup(group, last);
}

}  // namespace

FormState ConfigWindow::formState() const
{
    const Ui& u = *ui_;
    FormState s;
    for (std::size_t i = 0; i < 2; ++i)
        s.Option_CPT[i] = u.Option_CPT[i]->isChecked();
    for (std::size_t i = 0; i < 12; ++i)
        s.REG_V[i] = u.REG_V[i]->text();
    for (std::size_t i = 0; i < 10; ++i)
        s.Check1[i] = checkValue(u.Check1[i]);
    s.Check_C = checkValue(u.Check_C);
    s.Check_T = checkValue(u.Check_T);
    for (std::size_t i = 0; i < 4; ++i)
        s.Option_pdec[i] = u.Option_pdec[i]->isChecked();
    for (std::size_t i = 0; i < 2; ++i) {
        s.Option_raz.option[i] = u.Option_raz[i]->isChecked();
        s.OptionE1.option[i] = u.OptionE1[i]->isChecked();
        s.OptionE2.option[i] = u.OptionE2[i]->isChecked();
    }
    s.Option_anti_non = u.anti[0]->isChecked();
    s.Option_anti_oui = u.anti[1]->isChecked();
    for (int o = 0; o < 3; ++o) {
        const std::size_t os = static_cast<std::size_t>(o);
        for (std::size_t i = 0; i < 7; ++i)
            s.rule(o).option[i] = u.ruleOption[os][i]->isChecked();
        s.threshold(o).Tag = u.cadre[os][3]->property("Tag").toString();
        // The caption as kept (a file stores it), not as shown.
        s.threshold(o).caption = u.cadre[os][3]->property("caption").toString();
    }
    for (int n = 1; n <= 9; ++n)
        s.slider(n) = u.Slider[static_cast<std::size_t>(n)]->value();
    return s;
}

void ConfigWindow::applyFormState(const FormState& s)
{
    Ui& u = *ui_;
    // The mode first: a change lays the window out, and the values below then take their place.
    if (s.Option_CPT[0] || s.Option_CPT[1])
        u.Option_CPT[s.Option_CPT[1] ? 1 : 0]->setChecked(true);
    else
        selectInGroup(u.cptGroup, nullptr);

    for (std::size_t i = 0; i < 12; ++i)
        u.REG_V[i]->setText(s.REG_V[i]);
    for (std::size_t i = 0; i < 10; ++i)
        setCheckValue(u.Check1[i], s.Check1[i]);
    setCheckValue(u.Check_C, s.Check_C);
    setCheckValue(u.Check_T, s.Check_T);
    for (int n = 1; n <= 9; ++n)
        u.Slider[static_cast<std::size_t>(n)]->setValue(s.slider(n));
    applyGroup(u.pdecGroup, u.Option_pdec, s.Option_pdec);
    applyGroup(u.razGroup, u.Option_raz, s.Option_raz.option);
    applyGroup(u.e1Group, u.OptionE1, s.OptionE1.option);
    applyGroup(u.e2Group, u.OptionE2, s.OptionE2.option);
    applyGroup(u.antiGroup, u.anti, std::array<bool, 2>{s.Option_anti_non, s.Option_anti_oui});
    for (int o = 0; o < 3; ++o) {
        const std::size_t os = static_cast<std::size_t>(o);
        const RuleOptions& rule = s.rule(o);
        const auto& b = u.ruleOption[os];
        applyGroup(u.ruleGroups[os][0], std::array<QRadioButton*, 2>{b[0], b[1]},
                   std::array<bool, 2>{rule[0], rule[1]});
        applyGroup(u.ruleGroups[os][1], std::array<QRadioButton*, 2>{b[2], b[3]},
                   std::array<bool, 2>{rule[2], rule[3]});
        applyGroup(u.ruleGroups[os][2], std::array<QRadioButton*, 3>{b[4], b[5], b[6]},
                   std::array<bool, 3>{rule[4], rule[5], rule[6]});
        setThreshold(o, s.threshold(o));
    }
}

void ConfigWindow::RAZ_CONFIG()
{
    applyFormState(resetConfiguration(formState()));
    origin_ = Origin::None;
}

void ConfigWindow::NOUV_CONFIG()
{
    MessageRequest request;
    request.title = T("Nouvelle configuration.");
    request.text = T("Vous êtes sur le point d'éffacer toutes les données ! ") + QStringLiteral("\r\n")
        + T("Veuillez confirmer:");
    request.icon = MsgIcon::Question;
    request.buttons = MsgButtons::YesNo;
    request.defaultButton = MsgResult::No;
    if (dialogs_.message(request) == MsgResult::Yes)
        RAZ_CONFIG();
}

}  // namespace trivo
