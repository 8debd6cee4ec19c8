#pragma once
// What the read and programming procedures need of the configuration form: its values and the two mode
// layouts. The window CP supplies the real one; PlainConfigForm holds the values alone (tests, command
// line).
#include "config/form_state.h"

namespace trivo {

class ConfigForm {
public:
    virtual ~ConfigForm() = default;
    virtual FormState formState() const = 0;
    // Sets every value; each change has the same effects as the operator's.
    virtual void applyFormState(const FormState& state) = 0;
    // Production and totaliser layouts.
    virtual void INIT_P() = 0;
    virtual void INIT_T() = 0;
};

// What the two mode layouts (INIT_P / INIT_T) set among the form's values; everything else is kept.
// The window applies the same table and adds what only it shows.
struct ModeLayout {
    bool production;                   // Option_CPT(0), else Option_CPT(1)
    int ruleAssign;                    // option selected in every output's "Affecté au:" frame
    std::array<int, 3> displayChecks;  // Check1(7..9): production, balance, total shown
    int displaySeconds;                // Slider7..Slider9
};
inline constexpr ModeLayout kProductionLayout{true, 0, {kChecked, kChecked, kUnchecked}, 1};
inline constexpr ModeLayout kTotaliserLayout{false, 0, {kUnchecked, kUnchecked, kChecked}, 1};

void applyProductionLayout(FormState& state);
void applyTotaliserLayout(FormState& state);

// The fifteen steps of the reset to defaults, on the values: mode and everything not a setting kept.
FormState resetConfiguration(const FormState& current);

// A form with values only.
class PlainConfigForm : public ConfigForm {
public:
    FormState state;
    int initPCalls = 0;
    int initTCalls = 0;

    FormState formState() const override { return state; }
    void applyFormState(const FormState& s) override { state = s; }
    void INIT_P() override
    {
        ++initPCalls;
        applyProductionLayout(state);
    }
    void INIT_T() override
    {
        ++initTCalls;
        applyTotaliserLayout(state);
    }
};

}  // namespace trivo
