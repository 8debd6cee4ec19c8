#pragma once
// What the display holds against what programming a configuration would write: every setting that
// "Programmer" sends, under the labels the command line prints. Reading is all it does on the link.
#include <QList>
#include <QString>

#include "common/language.h"
#include "common/outcome.h"
#include "config/form_state.h"
#include "config/parameter_block.h"
#include "config/settings_report.h"

namespace trivo {
class Exchanger;
class Progress;

inline const QString kIdenticalText = FR("Identique.");
inline const QString kDifferentText = FR("L'afficheur ne contient pas la configuration attendue.");
inline const QString kVerifyCancelledText =
    FR("Vérification annulée : rien n'a été écrit dans le TRIVO ZURED, rien n'est vérifié.");

struct SettingDifference {
    QString label;
    QString expected;
    QString actual;  // the display's
    bool operator==(const SettingDifference&) const = default;
};

struct Comparison {
    // Every compared setting, in the order of describeSettings: label, expected, display's value.
    QList<SettingDifference> rows;
    QList<SettingDifference> differences;
    // The same two lists in the words the operator is shown (describeSettings' Wording::Shown), one for
    // one; the French ones above are what is compared and what a script gets. A comparison made without
    // them is shown in French.
    QList<SettingDifference> shownRows;
    QList<SettingDifference> shownDifferences;
    bool identical() const { return differences.isEmpty(); }
};

// Compares a block read from the display with what programming `form` writes. The presets (words 11 and
// 12) count only when Check_C / Check_T send them. Nothing is compared for a form with an invalid value:
// the caller checks formToSettings first.
Comparison compareWithBlock(const FormState& form, const ParameterBlock& display);

struct Verification : OperationResult {
    Comparison comparison;   // meaningful only when ok()
    ParameterBlock block{};  // what the display held, when ok()
};

// Reads the display's block and compares it with the form. Refused (with the invalid value's box) when
// the form cannot be programmed; the read's own failures otherwise. Never writes to the display.
Verification verifyDisplay(Exchanger& link, const FormState& form, Progress& progress);

}  // namespace trivo
