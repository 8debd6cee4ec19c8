#pragma once
// Every value of the configuration form CP, without widgets: what reading, programming, resetting and the
// configuration files work on. Members carry the names of the controls that show them; a control array
// X(0..n) is a std::array X indexed the same way.
#include <array>

#include <QString>

#include "common/language.h"

namespace trivo {

// Kept in French (a configuration file stores the caption); the window shows it with T().
inline const QString kCompareGreaterText = FR("Supérieur ou = à:");
inline const QString kCompareLessText = FR("Inférieur ou = à:");

// A threshold frame cadre_R1(3), cadre_R2(3) or cadre_Buz(3): the comparison as Tag "S" / "I" and the
// caption shown for it. Kept as two texts because a configuration file stores both independently.
struct ThresholdFrame {
    QString Tag = QStringLiteral("S");
    QString caption = kCompareGreaterText;

    bool greaterOrEqual() const { return Tag == QLatin1String("S"); }
    void setGreaterOrEqual(bool greater)
    {
        Tag = greater ? QStringLiteral("S") : QStringLiteral("I");
        caption = greater ? kCompareGreaterText : kCompareLessText;
    }
    bool operator==(const ThresholdFrame&) const = default;
};

// The option buttons of one output rule (Option2 relay 1, Option3 relay 2, Option4 buzzer), index as in
// the control array; three exclusive frames share the seven buttons.
struct RuleOptions {
    // "Affecté au:": 0 COMPTEUR, 1 TOTALISATEUR.
    static constexpr std::array<int, 2> kAssignGroup{0, 1};
    // "Action:": 2 S'OUVRE / Silencieux, 3 SE FERME / Actif.
    static constexpr std::array<int, 2> kActionGroup{2, 3};
    // "Durée d'action:": 4 Jusqu'au RAZ, 5 pulse seconds, 6 et réarmable.
    static constexpr std::array<int, 3> kDurationGroup{4, 5, 6};

    std::array<bool, 7> option{};

    bool operator[](int i) const { return option[static_cast<std::size_t>(i)]; }
    // Selects option i and deselects the others of its frame, as clicking it does.
    void select(int i);
    // Deselects option i alone.
    void deselect(int i) { option[static_cast<std::size_t>(i)] = false; }
    void clear() { option.fill(false); }
    bool operator==(const RuleOptions&) const = default;
};

inline void RuleOptions::select(int i)
{
    auto clearGroup = [this](const auto& group) {
        for (int k : group)
            option[static_cast<std::size_t>(k)] = false;
    };
    if (i <= 1)
        clearGroup(kAssignGroup);
    else if (i <= 3)
        clearGroup(kActionGroup);
    else
        clearGroup(kDurationGroup);
    option[static_cast<std::size_t>(i)] = true;
}

// A pair of exclusive option buttons (X(0) "Non"/"Immédiat", X(1) "Oui"/"Maintenu 3 Sec").
struct OptionPair {
    std::array<bool, 2> option{true, false};
    bool operator[](int i) const { return option[static_cast<std::size_t>(i)]; }
    void select(int i)
    {
        option.fill(false);
        option[static_cast<std::size_t>(i)] = true;
    }
    bool operator==(const OptionPair&) const = default;
};

// Check box values: 0 unchecked, 1 checked, 2 greyed (only 1 counts as set when programming).
enum CheckValue : int { kUnchecked = 0, kChecked = 1, kGreyed = 2 };

struct FormState {
    // Frame_trivo "TRIVO ZURED ": Option_CPT(0) PRODUCTION, Option_CPT(1) TOTALISATEUR. Neither may be
    // selected; programming then writes the totaliser mode.
    std::array<bool, 2> Option_CPT{true, false};

    // Words 1..12 as decimal text, REG_V(0)..REG_V(11).
    std::array<QString, 12> REG_V{QStringLiteral("0"), QStringLiteral("0"),  QStringLiteral("10"), QStringLiteral("25"),
                                  QStringLiteral("8"), QStringLiteral("25"), QStringLiteral("2"),  QStringLiteral("4"),
                                  QStringLiteral("6"), QStringLiteral("1"),  QStringLiteral("0"),  QStringLiteral("0")};

    // Check1(0..6): general_flags bits 0..6; Check1(7..9): display_flags bits 0..2.
    std::array<int, 10> Check1{kChecked,   kChecked,   kChecked, kChecked, kUnchecked,
                               kUnchecked, kUnchecked, kChecked, kChecked, kChecked};
    int Check_C = kChecked;  // send counter_preset (word 11) when programming
    int Check_T = kChecked;  // send totaliser_preset (word 12) when programming

    // Frame "Point décimal:": Option_pdec(n) marks digit n (0 rightmost); exclusive.
    std::array<bool, 4> Option_pdec{true, false, false, false};

    // startup_options, four exclusive pairs.
    OptionPair Option_raz;         // "Remise à zéro:" (0) Immédiat, (1) Maintenu 3 Sec
    OptionPair OptionE1;           // "Paramètres" (0) Non, (1) Oui n Sec
    OptionPair OptionE2;           // "Écran Accueil" (0) Non, (1) Oui n Sec
    bool Option_anti_non = true;   // "Anti-rebond" Non
    bool Option_anti_oui = false;  // "Anti-rebond" Oui n mS

    // Output rules: relay 1, relay 2, buzzer. Initially COMPTEUR, SE FERME / Actif, et réarmable.
    RuleOptions Option2{{true, false, false, true, false, false, true}};
    RuleOptions Option3{{true, false, false, true, false, false, true}};
    RuleOptions Option4{{true, false, false, true, false, false, true}};

    // Threshold frames: the comparison of each output rule.
    ThresholdFrame cadre_R1;   // cadre_R1(3)
    ThresholdFrame cadre_R2;   // cadre_R2(3)
    ThresholdFrame cadre_Buz;  // cadre_Buz(3)

    // Slider values (ranges in kSliderMin/kSliderMax).
    int Slider1 = 2;  // param_screen_seconds 0..10
    int Slider2 = 2;  // home_screen_seconds 0..10
    int Slider3 = 1;  // relay1_pulse_seconds 0..10
    int Slider4 = 1;  // relay2_pulse_seconds 0..10
    int Slider5 = 1;  // buzzer_pulse_seconds 0..10
    int Slider6 = 1;  // debounce_half_ms 1..250
    int Slider7 = 2;  // production_display_seconds 1..10
    int Slider8 = 2;  // balance_display_seconds 1..10
    int Slider9 = 2;  // total_display_seconds 1..10

    // Slider n (1..9) by number, for loops over the nine sliders.
    int& slider(int n);
    int slider(int n) const { return const_cast<FormState*>(this)->slider(n); }
    static int sliderMin(int n) { return (n >= 6) ? 1 : 0; }
    static int sliderMax(int n) { return n == 6 ? 250 : 10; }

    // Rule options and threshold frame of output 0 relay 1, 1 relay 2, 2 buzzer.
    RuleOptions& rule(int output) { return output == 0 ? Option2 : output == 1 ? Option3 : Option4; }
    const RuleOptions& rule(int output) const { return const_cast<FormState*>(this)->rule(output); }
    ThresholdFrame& threshold(int output) { return output == 0 ? cadre_R1 : output == 1 ? cadre_R2 : cadre_Buz; }
    const ThresholdFrame& threshold(int output) const { return const_cast<FormState*>(this)->threshold(output); }

    bool production() const { return Option_CPT[0]; }

    bool operator==(const FormState&) const = default;
};

inline int& FormState::slider(int n)
{
    switch (n) {
    case 1: return Slider1;
    case 2: return Slider2;
    case 3: return Slider3;
    case 4: return Slider4;
    case 5: return Slider5;
    case 6: return Slider6;
    case 7: return Slider7;
    case 8: return Slider8;
    default: return Slider9;
    }
}

}  // namespace trivo
