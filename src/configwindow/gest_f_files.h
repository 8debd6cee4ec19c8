#pragma once
// GEST_F, the configuration-file procedures: save the configuration window to a *.config_CP file, and
// choose and load one into it. Both go through the Dialogs seam, start in the program's folder and
// report on status panel 2 of the main window.
#include <QString>

#include "common/language.h"
#include "config/config_file_io.h"

namespace trivo {
class ConfigWindow;
class Dialogs;
class MainServices;

// In French; shown with T() (the filter's pattern is the same in every language).
inline const QString kConfigFileFilter = FR("Fichier (*.config_CP)");
inline const QString kSaveConfigTitle = FR("Enregistre une configuration.");
inline const QString kOpenConfigTitle = FR("Onvrir une configuration.");
// The window's title once a file is loaded: %1 is the file's path.
inline const QString kLoadedCaption = FR("Configuration TRIVO CP. Fichier: %1");

enum class FileOutcome { Done, Cancelled, Failed };

// Asks for a file name and writes the window's configuration to it (saveConfiguration); shows the result.
FileOutcome SAUVE_CONFIG(ConfigWindow& cp, Dialogs& dialogs, MainServices& main);

// Asks for a file and loads it (loadConfiguration). The window is reset and filled only after the whole
// file has been read and found sound: a cancel, a wrong header or a broken file leaves it untouched.
FileOutcome OUVRIR_CONFIG(ConfigWindow& cp, Dialogs& dialogs, MainServices& main);

// Loads the file at `path` into the window (same rules as OUVRIR_CONFIG after its dialog).
FileOutcome CHARGE_CONFIG(ConfigWindow& cp, const QString& path, Dialogs& dialogs, MainServices& main);

}  // namespace trivo
