#pragma once
// The service sheet from the main window: "Imprimer la configuration..." shows Qt's print preview, whose
// print button leads to Qt's print dialog; "Exporter en PDF..." asks for a file and writes an A4 PDF.
#include <QString>

#include "common/language.h"

class QPrintPreviewDialog;

namespace trivo {
class MainWindow;
struct ServiceSheet;

inline const QString kExportSheetTitle = FR("Exporter la fiche d'intervention en PDF.");
inline const QString kSheetFileFilter = FR("Document PDF (*.pdf)");
// Two lines, each translated on its own (a catalogue text holds no CR).
inline const QString kSheetExistsLine = FR("%1 existe déjà.");
inline const QString kReplaceSheetLine = FR("Voulez-vous le remplacer ?");
inline const QString kReplaceSheetQuestion = kSheetExistsLine + QStringLiteral("\r\n") + kReplaceSheetLine;
inline const QString kPrintPreviewTitle = FR("Imprimer la configuration.");
// The sheet's own texts: the sheet is printed in French whatever the windows' language.
inline const QString kTypedSource =
    QStringLiteral("Fenêtre de configuration (ni lue sur l'afficheur, ni chargée d'un fichier)");
inline const QString kEditedSince = QStringLiteral(", modifiée depuis dans la fenêtre de configuration");

// The sheet of what the windows hold now: the configuration window's form (the window is opened, and so
// reads the display, when it is not open yet), where it came from (and whether it was edited since), and
// the home-screen window's picture when one was read or opened there.
ServiceSheet currentServiceSheet(MainWindow& main);

// Opens the print preview of the current sheet; it closes and deletes itself.
QPrintPreviewDialog* printServiceSheet(MainWindow& main);

// Asks for a file (a name without extension gets ".pdf", and a question if that one exists), writes the sheet to it and
// reports as the file commands do: a box on failure, the status panel on success.
void exportServiceSheet(MainWindow& main);

}  // namespace trivo
