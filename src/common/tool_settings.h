#pragma once
// The operator's choices of the Outils menu that the windows act on, kept between runs in the program's
// settings (organisation and application names are set once at start-up). Both are off unless asked, so
// that "Programmer" and "Envoi" do exactly what they always did.
#include <QSettings>
#include <QString>

namespace trivo::tool_settings {

// Read the block back after "Programmer" and say in the status panel when it differs.
inline const QString kVerifyAfterProgramming = QStringLiteral("outils/verifierApresProgrammation");
// Read the home screen back after "Envoi" and show the result in the screen window.
inline const QString kVerifyScreenAfterSend = QStringLiteral("outils/relireEcranApresEnvoi");

inline bool isOn(const QString& key) { return QSettings().value(key, false).toBool(); }
inline void setOn(const QString& key, bool on) { QSettings().setValue(key, on); }

}  // namespace trivo::tool_settings
