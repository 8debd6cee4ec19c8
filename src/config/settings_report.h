#pragma once
// Every setting of a configuration as a French label and its value, grouped as the configuration window
// groups them: what the command line prints, what a verification compares and what a service sheet lists.
#include <QList>
#include <QString>
#include <QStringList>

#include "config/form_state.h"
#include "config/settings_codec.h"

namespace trivo {

struct SettingLine {
    QString group;  // the window's frame the setting stands in (one of settingGroups()), always in French
    QString label;
    QString value;
    bool operator==(const SettingLine&) const = default;
};

// In a fixed order; the same labels whatever the values. In French for what is kept or printed (the
// service sheet, the comparisons), or as shown to the operator (labels and value words translated).
QList<SettingLine> describeSettings(const FormState& form, Wording wording = Wording::French);

// The groups in the order the configuration window shows its frames: page "Général" left column, right
// column, then page "Sorties" left to right.
QStringList settingGroups();

}  // namespace trivo
