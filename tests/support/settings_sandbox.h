#pragma once
// The program's settings (the Outils menu's switches) live, for a test run, in a temporary folder of
// their own: a test never reads or changes the settings of the person running it.
#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace trivo::test {

// Call before anything reads a setting (initTestCase); every call starts from empty settings.
inline void sandboxSettings()
{
    static QTemporaryDir folder;
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("trivo-tests"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    QSettings().clear();
}

}  // namespace trivo::test
