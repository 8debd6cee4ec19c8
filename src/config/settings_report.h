#pragma once
// Every setting of a configuration as a French label and its value, grouped as the configuration window
// groups them: what the command line prints, what a verification compares and what a service sheet lists.
#include <QList>
#include <QString>

#include "config/form_state.h"

namespace trivo {

struct SettingLine {
    QString group;  // the window's frame or page the setting belongs to
    QString label;
    QString value;
    bool operator==(const SettingLine&) const = default;
};

// In a fixed order; the same labels whatever the values.
QList<SettingLine> describeSettings(const FormState& form);

}  // namespace trivo
