#pragma once
// Every setting of a configuration as a French label and its value, grouped as the configuration window
// groups them: what the command line prints, what a verification compares and what a service sheet lists.
#include <QList>
#include <QString>
#include <QStringList>

#include "config/form_state.h"

namespace trivo {

struct SettingLine {
    QString group;  // the window's frame the setting stands in (one of settingGroups())
    QString label;
    QString value;
    bool operator==(const SettingLine&) const = default;
};

// In a fixed order; the same labels whatever the values.
QList<SettingLine> describeSettings(const FormState& form);

// The groups in the order the configuration window shows its frames: page "Général" left column, right
// column, then page "Sorties" left to right.
QStringList settingGroups();

}  // namespace trivo
