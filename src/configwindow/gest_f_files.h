#pragma once
// GEST_F, the configuration-file procedures: save the configuration window to a *.config_CP file, and
// choose and load one into it. Both go through the Dialogs seam, start in the program's folder and
// report on status panel 2 of the main window.
#include <QString>

#include "config/config_file_io.h"

namespace trivo {
class ConfigWindow;
class Dialogs;
class MainServices;

inline const QString kConfigFileFilter = QStringLiteral("Fichier (*.config_CP)");
inline const QString kSaveConfigTitle = QStringLiteral("Enregistre une configuration.");
inline const QString kOpenConfigTitle = QStringLiteral("Onvrir une configuration.");
inline const QString kLoadedCaptionPrefix = QStringLiteral("Configuration TRIVO CP. Fichier: ");

enum class FileOutcome { Done, Cancelled, Failed };

// Asks for a file name and writes the window's configuration to it (saveConfiguration); shows the result.
FileOutcome SAUVE_CONFIG(ConfigWindow& cp, Dialogs& dialogs, MainServices& main);

// Asks for a file and loads it (loadConfiguration). The window is reset and filled only after the whole
// file has been read and found sound: a cancel, a wrong header or a broken file leaves it untouched.
FileOutcome OUVRIR_CONFIG(ConfigWindow& cp, Dialogs& dialogs, MainServices& main);

// Loads the file at `path` into the window (same rules as OUVRIR_CONFIG after its dialog).
FileOutcome CHARGE_CONFIG(ConfigWindow& cp, const QString& path, Dialogs& dialogs, MainServices& main);

}  // namespace trivo
