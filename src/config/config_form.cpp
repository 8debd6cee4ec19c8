#include "config/config_form.h"

namespace trivo {

namespace {
void applyModeLayout(FormState& state, const ModeLayout& layout)
{
    state.Option_CPT = {layout.production, !layout.production};
    for (int output = 0; output < 3; ++output)
        state.rule(output).select(layout.ruleAssign);
    for (std::size_t k = 0; k < 3; ++k)
        state.Check1[7 + k] = layout.displayChecks[k];
    state.Slider7 = state.Slider8 = state.Slider9 = layout.displaySeconds;
}
}  // namespace

void applyProductionLayout(FormState& state) { applyModeLayout(state, kProductionLayout); }
void applyTotaliserLayout(FormState& state) { applyModeLayout(state, kTotaliserLayout); }

FormState resetConfiguration(const FormState& current)
{
    FormState s = current;
    for (QString& text : s.REG_V)
        text.clear();
    s.REG_V[6] = s.REG_V[7] = s.REG_V[8] = QStringLiteral("0");
    s.Check1[0] = kChecked;
    for (int n = 1; n <= 6; ++n)
        s.Check1[static_cast<std::size_t>(n)] = kUnchecked;
    s.Check_C = kChecked;
    s.Check_T = kChecked;
    for (int output = 0; output < 3; ++output)
        s.rule(output).clear();
    for (int n = 1; n <= 6; ++n)
        s.slider(n) = 1;
    s.Option_raz.select(1);
    s.OptionE1.select(1);
    s.OptionE2.select(1);
    s.Option_anti_non = false;
    s.Option_anti_oui = true;
    s.Option_pdec = {true, false, false, false};
    for (int output = 0; output < 3; ++output)
        s.threshold(output).setGreaterOrEqual(true);
    s.Slider7 = s.Slider8 = s.Slider9 = 1;
    s.Check1[7] = s.Check1[8] = s.Check1[9] = kChecked;
    return s;
}

}  // namespace trivo
